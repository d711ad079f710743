// Options as "--key value" or "--key=value".
#include "cli/arguments.h"

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

}  // namespace tarn
