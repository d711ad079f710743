// An option on the command line as either "--key value" or "--key=value": the one place that
// tells the two apart; and the --positions list the commands share.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/model.h"

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

// Stores the value of option argv[i] (split as a) in slot, as TakeValue takes it; what to say
// when it has none or the option came before.
std::optional<std::string> StoreValue(std::optional<std::string>& slot, const Argument& a, int argc,
                                      char** argv, int& i);

// Takes argument a, which is no option of the command, as the design's name; what to say when it
// looks like an option, is empty, or a design was named before.
std::optional<std::string> TakeDesignName(std::string_view a, std::string& design);

// The reverse-arm positions a --positions list puts on the design; on a list it cannot take, what
// to say about it.
std::optional<std::string> ParsePositions(std::string_view list, const Model& m,
                                          std::vector<float>& out);

}  // namespace tarn
