// The table of editable dimensions: one row per id holds everything keyed by it (name, caption,
// default, where the value lives in the model, its dialog cell and label, its close-up). The
// defaults, the dialogs, the file, dynamic variables, undo and the close-up all read it.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string_view>

#include "core/model/model.h"

namespace tarn {

// Which dimension dialog shows a dimension.
enum class DimDialog { Frame, Cylinder };

// How a dimension is entered: a grey field that dynamic variables and undo act on, or a white
// gear-limit field (the reverse arm's normal and largest offset) that neither touches.
enum class DimEntry { Dimension, GearLimit };

// One line of text drawn beside a field: x = Round(a * FontScaleX), y = 13 * row.
struct DimLabelLine {
    std::string_view text;  // "" for no line
    int a = 0;
    int row = 0;
};

// The place of a dimension in its dialog: field EditN and small button ButtonN.
struct DimDialogCell {
    DimDialog dialog;
    int field;      // N of EditN and ButtonN
    int col;        // 1 or 2
    int row;        // field row
    int buttonRow;  // small-button row (two-line labels put it on the first line)
    DimEntry entry;
    std::array<DimLabelLine, 2> label;  // one or two lines, drawn in table order
};

// The line a close-up draws. Si is the screen point of pivot i, Cn and Qn the cylinder and piston
// points, v the dimension's own value; a and b are the row's point numbers.
enum class CloseupLine {
    Pivots,          // Sa to Sb
    CylinderPoints,  // Ca to Cb
    PistonPoints,    // Qa to Qb
    Diameter,        // through Sa upright, v long, centred on pivot a
    Mirror,          // Sa to the mirror image of pivot a through pivot b
    DropTo,          // Sa straight up or down to the height of Sb
    AcrossTo,        // Sa straight across to Sb's x
    RunFrom,         // Sa toward the cylinders by v
    GearLimit,       // v either side of mid gear, just below the reverse arm's end
    CylinderHeight,  // upright at the cylinder's centre, from the driver's height to the crosshead's
    ValveHeight,   // upright just behind the valve bore, from the crosshead's to the stem's height
    PortToCentre,  // the rear port edge across to the cylinder's centre
    RingToJoint,   // the inside ring across to the valve stem joint
};

// The close-up of a dimension: zoom k / GraphicZoomFactor * 7.5, fixed offsets or the current
// ones, the line, and the name written beside the hourglass.
struct DimCloseup {
    float k;
    bool setOffsets;  // otherwise the offsets keep the current view's values
    float offsetX, offsetY;
    CloseupLine line;
    int a, b;
    std::string_view label = {};  // "" writes the caption
};

struct DimensionInfo {
    int id;                    // 1..19 frame, 101..117 cylinder
    std::string_view name;     // the program's own name of the value
    std::string_view caption;  // dynamic-variable and undo caption ("" for 17 and 18)
    float defaultValue;        // the built-in design
    // A length, radius, diameter, width or the stroke: a design needs it above 0. Offsets,
    // heights and pivot positions may be 0 or negative.
    bool positive;
    f32& (*at)(Design&);  // where the value lives
    DimDialogCell dialog;
    DimCloseup closeup;
};

// All 36 dimensions, frame ids first in id order, then the cylinder ids.
std::span<const DimensionInfo> Dimensions();
const DimensionInfo* FindDimension(int id);

// True for the ids that dynamic variables and undo act on: every grey dimension field.
bool IsVariableDimension(int id);

// The name a close-up writes for a dimension.
std::string_view CloseupLabel(const DimensionInfo& d);

// Current value of dimension id (0 for an unknown id).
float GetDimension(const Model& m, int id);
const f32& DimensionRef(const Model& m, const DimensionInfo& d);

// Stores v into dimension id of the design; the solver places the pivots that follow from it.
// Unknown ids do nothing. No range is checked.
void SetDimension(Model& m, int id, float v);

// Writes the default of every dimension of one dialog into m through SetDimension.
void WriteTableDefaults(Model& m, DimDialog which);

}  // namespace tarn
