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
