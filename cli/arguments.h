// An option on the command line as either "--key value" or "--key=value": the one place that
// tells the two apart.
#pragma once

#include <optional>
#include <string_view>

namespace tarn {

struct Argument {
    std::string_view key;                   // the whole argument unless it is "--key=value"
    std::optional<std::string_view> value;  // what follows the first '=' of "--key=value"
};

// "--key=value" splits at its first '='; any other argument is a key alone.
Argument SplitArgument(std::string_view arg);

// The value of the option argv[i] is: its "=value", else the next argument, which i then moves
// past; nullopt when there is none.
std::optional<std::string_view> TakeValue(const Argument& a, int argc, char** argv, int& i);

}  // namespace tarn
