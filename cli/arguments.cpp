// Options as "--key value" or "--key=value", and the positions of a list.
#include "cli/arguments.h"

#include "core/analysis/positionlist.h"

namespace tarn {

Argument SplitArgument(std::string_view arg) {
    if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos)
        return {arg.substr(0, eq), arg.substr(eq + 1)};
    return {arg, std::nullopt};
}

std::optional<std::string_view> TakeValue(const Argument& a, int argc, char** argv, int& i) {
    if (a.value) return a.value;
    if (i + 1 >= argc || argv[i + 1] == nullptr) return std::nullopt;
    return argv[++i];
}

std::optional<std::string> StoreValue(std::optional<std::string>& slot, const Argument& a, int argc,
                                      char** argv, int& i) {
    const std::optional<std::string_view> value = TakeValue(a, argc, argv, i);
    if (!value) return std::string(a.key) + " needs a value";
    if (slot) return "cannot take " + std::string(a.key) + " twice";
    slot = std::string(*value);
    return std::nullopt;
}

std::optional<std::string> TakeDesignName(std::string_view a, std::string& design) {
    const std::string quoted = "'" + std::string(a) + "'";
    if (a.starts_with("-") && a != "-") return "cannot take " + quoted;
    if (a.empty()) return "cannot take an empty design name";
    if (!design.empty()) return "cannot take a second design " + quoted;
    design = std::string(a);
    return std::nullopt;
}

std::optional<std::string> ParsePositions(std::string_view list, const Model& m,
                                          std::vector<float>& out) {
    std::vector<PositionEntry> entries;
    std::string bad;
    if (!ParsePositionList(list, entries, bad))
        return "cannot take '" + bad + "' in --positions (numbers, or " + GearWords() + ")";
    if (entries.size() > kMaxPositions)
        return "--positions takes at most " + std::to_string(kMaxPositions) + " positions, not " +
               std::to_string(entries.size());
    out.clear();
    for (const PositionEntry& e : entries) out.push_back(PositionOn(m, e));
    return std::nullopt;
}

}  // namespace tarn
