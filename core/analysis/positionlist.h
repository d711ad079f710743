// Reverse-arm positions as a user types them, on the command line and in the windows: lists of
// gear names and numbers, and whole decimal numbers read the same under every locale.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/analysis/valveevents.h"
#include "core/model/model.h"

namespace tarn {

// A whole decimal number: optional sign, digits with an optional point, optional exponent; nothing
// before or after. A number beyond the range of any real comes back infinite.
bool ParseWholeNumber(std::string_view s, long double& v);

// One entry of a position list: a gear's word (Min, Fwd, Cen, Rev, Max in any case: full forward,
// normal forward, mid gear, normal reverse, full reverse) or a number.
struct PositionEntry {
    std::optional<Gear> gear;
    long double number = 0;
};

// The most positions a list may hold: each takes a whole analysis, and a hundred already make a
// table no one reads.
inline constexpr std::size_t kMaxPositions = 100;

// The comma-separated entries of a list (blanks around an entry are dropped); false on an entry
// that is neither a gear name nor a number, which `bad` then holds.
bool ParsePositionList(std::string_view list, std::vector<PositionEntry>& out, std::string& bad);

// The gears' words for a message: "Min, Fwd, Cen, Rev, Max".
std::string GearWords();

// Where an entry puts the reverse arm on a design: its gear's position, or the number kept within
// full forward and full reverse.
float PositionOn(const Model& design, const PositionEntry& e);

}  // namespace tarn
