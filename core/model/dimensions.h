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
    bool setOffsets = false;  // otherwise the offsets keep the current view's values
    float offsetX = 0, offsetY = 0;
    CloseupLine line;
    int a = 0, b = 0;
    std::string_view label = {};  // "" writes the caption
};

// The id of each dimension under its table name, for code that means one dimension
// (SetDimension(m, dim::RadiusRodLen, v)). Files and undo store the numbers: they never change.
namespace dim {
inline constexpr int DriverDia = 1;
inline constexpr int StrokeLen = 2;
inline constexpr int MainRodCrankEnd = 3;
inline constexpr int MainRodPistonEnd = 4;
inline constexpr int RadiusRodLen = 5;
inline constexpr int LinkRadius = 6;
inline constexpr int LinkPivotVert = 7;
inline constexpr int LinkPivotHorz = 8;
inline constexpr int ValveLeverUpperLen = 9;
inline constexpr int ValveLeverLowerLen = 10;
inline constexpr int CouplerUpper = 11;
inline constexpr int CouplerLower = 12;
inline constexpr int AnchorLinkLen = 13;
inline constexpr int AnchorLinkPivotVert = 14;
inline constexpr int AnchorLinkPivotHorz = 15;
inline constexpr int ReverseArmLen = 16;
inline constexpr int RevArmToCentNorm = 17;
inline constexpr int RevArmToCentMax = 18;
inline constexpr int ValveLeverUpperOffset = 19;
inline constexpr int CylCtrToDriverCtr = 101;
inline constexpr int CylCLAboveDriver = 102;
inline constexpr int CylBoreDia = 103;
inline constexpr int CylBoreLen = 104;
inline constexpr int CylSteamPortWidth = 105;
inline constexpr int PistonRodLen = 106;
inline constexpr int PistonWidth = 107;
inline constexpr int ValveCLToCylCL = 108;
inline constexpr int ValveBoreDia = 109;
inline constexpr int ValveBoreLen = 110;
inline constexpr int ValveBoreCtrToPort = 111;
inline constexpr int ValvePortWidthRear = 112;
inline constexpr int ValvePortWidthFront = 113;
inline constexpr int ValveCtrToInsideEdge = 114;
inline constexpr int ValveEndWidthRear = 115;
inline constexpr int ValveEndWidthFront = 116;
inline constexpr int ValveCtrToJoint = 117;
}  // namespace dim

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
// The dimension whose table name (e.g. "RadiusRodLen") is `name`, in any case; null for none.
const DimensionInfo* FindDimensionByName(std::string_view name);

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
