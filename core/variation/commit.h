// What a dimension field does when the user leaves it: the commit of the frame and cylinder
// dimension fields, the two gear limits of the reverse arm, and the two dimension resets.
#pragma once

#include <span>
#include <string_view>

#include "core/model/model.h"

namespace tarn {

// Commits the text of the field of dimension id (1..16, 19, 101..117), in this order: when the
// text was edited, a new undo entry with the old value; the converted text stored; the dimension
// made the most recent dynamic variable; when edited, the undo entry completed with the new value
// and caption; EditChanged cleared. No range is checked.
void CommitDimensionField(Model& m, int id, std::string_view text);

// The normal offset of the reverse arm from mid gear (the "Norm" gear-limit field). A negative
// value stores 0; a value above the maximum stores the maximum and brings the listed reverse-arm
// positions within mid gear +- the normal offset. Never recorded for undo.
void CommitGearLimitNorm(Model& m, std::string_view text);

// The largest offset (the "Max" gear-limit field). A negative value stores 0; a value below the
// normal offset stores the normal offset and brings the listed positions within mid gear +- the
// normal offset. The caller then sets the reverse-arm bar's range to +-RevArmBarMax(m.design).
void CommitGearLimitMax(Model& m, std::string_view text);

// A new value for one dimension.
struct DimensionChange {
    int id = 0;
    f32 value = 0;
};

// Stores several dimensions as one change that one UnDo takes back whole: each changed value
// gets an undo entry of one group named `name` and becomes the most recent dynamic variable in
// turn (the last one ends up newest), and the mid gear is recomputed (CentreRevArm) as when a
// dimension dialog closes; the reverse arm's place before it is kept with the group, so that one
// UnDo restores it too. Values equal to the current ones are skipped. Refuses (false, nothing changed) an id that is not a variable
// dimension and more changed values than the history holds (kUndoDepth); true with nothing to
// change.
bool CommitDimensionGroup(Model& m, std::string_view name,
                          std::span<const DimensionChange> changes);

// Brings every listed (non-zero) reverse-arm position 1..9 into mid gear +- RevArmToCentNorm;
// unused (zero) positions stay zero.
void ClampListedRevArmPositions(Model& m);

// The frame reset ("ResetFrameDim" pressed): the built-in frame dimensions, the dynamic
// variables emptied and refreshed. The caller sets the reverse-arm bar's range and refills its
// fields; a completed click also clears the undo history.
void ResetFrameDimensions(Model& m);

// The cylinder reset ("ResetCylDim" pressed): the built-in cylinder dimensions (the valve centre
// line with them) and the dynamic variables emptied and refreshed.
void ResetCylDimensions(Model& m);

}  // namespace tarn
