// The table of editable dimensions: id, name, caption and default. Dialogs, dynamic variables,
// undo and the close-up all read it; "set dimension id to v" keeps the pivot invariants.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "model/model.h"

namespace tarn {

struct DimensionInfo {
    int id;                  // 1..19 frame, 101..117 cylinder
    std::string_view name;   // the program's own name of the value
    std::string_view caption;  // dynamic-variable and undo caption ("" for 17 and 18)
    float defaultValue;
};

// All 36 dimensions, frame ids first in id order, then the cylinder ids.
std::span<const DimensionInfo> Dimensions();
const DimensionInfo* FindDimension(int id);

// True for the ids that dynamic variables and undo act on: 1..16, 19, 101..117.
bool IsVariableDimension(int id);

// Current value of dimension id (0 for an unknown id).
float GetDimension(const Model& m, int id);

// Stores v into dimension id and keeps the invariants: the link and anchor pivots write their
// working copies too (5/6, 12/13) and the cylinder heights recompute PivotY[4].
// Unknown ids do nothing. No range is checked.
void SetDimension(Model& m, int id, float v);

}  // namespace tarn
