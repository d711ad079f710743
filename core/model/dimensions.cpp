// The dimension table and the one writer that keeps the pivot invariants.
#include "core/model/dimensions.h"

#include "core/model/numfmt.h"

namespace tarn {

namespace {

// Where a value lives: a member of the design, of its frame block or cylinder record, or a pivot.
template <auto Member>
f32& Top(Model& m) {
    return m.design.*Member;
}
template <auto Member>
f32& Frm(Model& m) {
    return m.design.Frame.*Member;
}
template <auto Member>
f32& Cyl(Model& m) {
    return m.design.Cyl.*Member;
}
template <int I>
f32& PivX(Model& m) {
    return m.pivots.PivotX[I];
}
template <int I>
f32& PivY(Model& m) {
    return m.pivots.PivotY[I];
}

constexpr DimEntry Entry = DimEntry::Dimension;
// Lengths, radii, diameters, widths and the stroke cannot reach 0; offsets, heights and the
// positions of fixed pivots may be 0 or negative.
constexpr bool Positive = true;
constexpr bool Signed = false;
constexpr DimEntry Gear = DimEntry::GearLimit;

// Ditto marks under "Reverse Arm" and "to Cent", then "Max".
constexpr std::string_view kDittoMax = "\"           \"            Max";
// Ditto marks under "ValveBore" / "Valve End" and "PortWidth" / "(Outside", then "Front".
constexpr std::string_view kDittoFront = "\"             \"             Front";

// id, name, caption, default, strictly positive?, storage; the dialog cell; the close-up.
constexpr std::array<DimensionInfo, 36> kDimensions{{
    {1,
     "DriverDia",
     "Driver Dia",
     8.0f,
     Positive,
     Top<&Design::DriverDia>,
     {.dialog = DimDialog::Frame,
      .field = 1,
      .col = 1,
      .row = 0,
      .buttonRow = 0,
      .entry = Entry,
      .label = {{{.text = "Driver                    Diameter", .a = 10, .row = 0}}}},
     {.k = 30,
      .setOffsets = true,
      .offsetX = 290,
      .offsetY = 212,
      .line = CloseupLine::Diameter,
      .a = 1,
      .b = 0}},
    {2,
     "StrokeLen",
     "Stroke",
     3.0f,
     Positive,
     Top<&Design::StrokeLen>,
     {.dialog = DimDialog::Frame,
      .field = 2,
      .col = 1,
      .row = 1,
      .buttonRow = 1,
      .entry = Entry,
      .label = {{{.text = "Stroke                      Length", .a = 10, .row = 1}}}},
     {.k = 30,
      .setOffsets = true,
      .offsetX = 290,
      .offsetY = 212,
      .line = CloseupLine::Mirror,
      .a = 2,
      .b = 1}},
    {3,
     "MainRodCrankEnd",
     "Main Rod Crank End",
     6.207f,
     Positive,
     Frm<&FrameBlock::MainRodCrankEnd>,
     {.dialog = DimDialog::Frame,
      .field = 3,
      .col = 1,
      .row = 2,
      .buttonRow = 2,
      .entry = Entry,
      .label = {{{.text = "Main Rod            Crank End", .a = 10, .row = 2}}}},
     {.k = 20, .line = CloseupLine::Pivots, .a = 2, .b = 10}},
    {4,
     "MainRodPistonEnd",
     "Main Rod Piston End",
     2.793f,
     Positive,
     Frm<&FrameBlock::MainRodPistonEnd>,
     {.dialog = DimDialog::Frame,
      .field = 4,
      .col = 1,
      .row = 3,
      .buttonRow = 3,
      .entry = Entry,
      .label = {{{.text = "Main Rod           Piston End", .a = 10, .row = 3}}}},
     {.k = 20, .line = CloseupLine::Pivots, .a = 3, .b = 10}},
    {5,
     "RadiusRodLen",
     "Radius Rod",
     5.0f,
     Positive,
     Frm<&FrameBlock::RadiusRodLen>,
     {.dialog = DimDialog::Frame,
      .field = 5,
      .col = 1,
      .row = 4,
      .buttonRow = 4,
      .entry = Entry,
      .label = {{{.text = "Radius Rod              Length", .a = 10, .row = 4}}}},
     {.k = 20, .line = CloseupLine::Pivots, .a = 4, .b = 7}},
    {6,
     "LinkRadius",
     "Link Radius",
     5.0f,
     Positive,
     Top<&Design::LinkRadius>,
     {.dialog = DimDialog::Frame,
      .field = 6,
      .col = 1,
      .row = 5,
      .buttonRow = 5,
      .entry = Entry,
      .label = {{{.text = "Link                          Radius", .a = 10, .row = 5}}}},
     {.k = 20, .line = CloseupLine::Pivots, .a = 5, .b = 14}},
    {7,
     "LinkPivotVert",
     "Link Pivot Vert",
     3.267f,
     Signed,
     PivY<5>,
     {.dialog = DimDialog::Frame,
      .field = 7,
      .col = 1,
      .row = 6,
      .buttonRow = 6,
      .entry = Entry,
      .label = {{{.text = "Link Pivot                      Vert", .a = 10, .row = 6}}}},
     {.k = 40,
      .setOffsets = true,
      .offsetX = 100,
      .offsetY = 212,
      .line = CloseupLine::DropTo,
      .a = 5,
      .b = 1}},
    {8,
     "LinkPivotHorz",
     "Link Pivot Horz",
     6.207f,
     Signed,
     PivX<5>,
     {.dialog = DimDialog::Frame,
      .field = 8,
      .col = 1,
      .row = 7,
      .buttonRow = 7,
      .entry = Entry,
      .label = {{{.text = "Link Pivot                     Horz", .a = 10, .row = 7}}}},
     {.k = 40,
      .setOffsets = true,
      .offsetX = 100,
      .offsetY = 212,
      .line = CloseupLine::AcrossTo,
      .a = 5,
      .b = 1}},
    {9,
     "ValveLeverUpperLen",
     "Valve Lever Upper",
     0.717f,
     Positive,
     Frm<&FrameBlock::ValveLeverUpperLen>,
     {.dialog = DimDialog::Frame,
      .field = 9,
      .col = 2,
      .row = 0,
      .buttonRow = 0,
      .entry = Entry,
      .label = {{{.text = "Valve Lever       Upper Len", .a = 204, .row = 0}}}},
     {.k = 40,
      .setOffsets = true,
      .offsetX = 100,
      .offsetY = 212,
      .line = CloseupLine::Pivots,
      .a = 7,
      .b = 15}},
    {10,
     "ValveLeverLowerLen",
     "Valve Lever Lower",
     3.283f,
     Positive,
     Frm<&FrameBlock::ValveLeverLowerLen>,
     {.dialog = DimDialog::Frame,
      .field = 10,
      .col = 2,
      .row = 2,
      .buttonRow = 2,
      .entry = Entry,
      .label = {{{.text = "Valve Lever       Lower Len", .a = 204, .row = 2}}}},
     {.k = 40,
      .setOffsets = true,
      .offsetX = 100,
      .offsetY = 212,
      .line = CloseupLine::Pivots,
      .a = 7,
      .b = 9}},
    {11,
     "CouplerUpper",
     "Coupler Upper",
     0.824f,
     Positive,
     Frm<&FrameBlock::CouplerUpper>,
     {.dialog = DimDialog::Frame,
      .field = 11,
      .col = 1,
      .row = 8,
      .buttonRow = 8,
      .entry = Entry,
      .label = {{{.text = "Coupler                      Upper", .a = 10, .row = 8}}}},
     {.k = 40,
      .setOffsets = true,
      .offsetX = 100,
      .offsetY = 212,
      .line = CloseupLine::Pivots,
      .a = 9,
      .b = 10}},
    {12,
     "CouplerLower",
     "Coupler Lower",
     1.426f,
     Positive,
     Frm<&FrameBlock::CouplerLower>,
     {.dialog = DimDialog::Frame,
      .field = 12,
      .col = 1,
      .row = 9,
      .buttonRow = 9,
      .entry = Entry,
      .label = {{{.text = "Coupler                      Lower", .a = 10, .row = 9}}}},
     {.k = 40,
      .setOffsets = true,
      .offsetX = 100,
      .offsetY = 212,
      .line = CloseupLine::Pivots,
      .a = 9,
      .b = 11}},
    {13,
     "AnchorLinkLen",
     "Anchor Link Length",
     3.0f,
     Positive,
     Frm<&FrameBlock::AnchorLinkLen>,
     {.dialog = DimDialog::Frame,
      .field = 13,
      .col = 2,
      .row = 3,
      .buttonRow = 3,
      .entry = Entry,
      .label = {{{.text = "Anchor Link              Length", .a = 204, .row = 3}}}},
     {.k = 40,
      .setOffsets = true,
      .offsetX = 100,
      .offsetY = 212,
      .line = CloseupLine::Pivots,
      .a = 11,
      .b = 12}},
    {14,
     "AnchorLinkPivotVert",
     "Anchor Link Pivot Vert",
     -1.677f,
     Signed,
     PivY<12>,
     {.dialog = DimDialog::Frame,
      .field = 14,
      .col = 2,
      .row = 4,
      .buttonRow = 4,
      .entry = Entry,
      .label = {{{.text = "Anchor Link Pivot         Vert", .a = 204, .row = 4}}}},
     {.k = 40,
      .setOffsets = true,
      .offsetX = 100,
      .offsetY = 212,
      .line = CloseupLine::DropTo,
      .a = 12,
      .b = 0}},
    {15,
     "AnchorLinkPivotHorz",
     "Anchor Link Pivot Horz",
     9.207f,
     Signed,
     PivX<12>,
     {.dialog = DimDialog::Frame,
      .field = 15,
      .col = 2,
      .row = 5,
      .buttonRow = 5,
      .entry = Entry,
      .label = {{{.text = "Anchor Link Pivot         Horz", .a = 204, .row = 5}}}},
     {.k = 40,
      .setOffsets = true,
      .offsetX = 100,
      .offsetY = 212,
      .line = CloseupLine::AcrossTo,
      .a = 12,
      .b = 0}},
    {16,
     "ReverseArmLen",
     "Reverse Arm Length",
     3.0f,
     Positive,
     Frm<&FrameBlock::ReverseArmLen>,
     {.dialog = DimDialog::Frame,
      .field = 16,
      .col = 2,
      .row = 6,
      .buttonRow = 6,
      .entry = Entry,
      .label = {{{.text = "Reverse Arm            Length", .a = 204, .row = 6}}}},
     {.k = 28, .line = CloseupLine::Pivots, .a = 5, .b = 18}},
    {17,
     "RevArmToCentNorm",
     "",
     1.6f,
     Signed,
     Top<&Design::RevArmToCentNorm>,
     {.dialog = DimDialog::Frame,
      .field = 17,
      .col = 2,
      .row = 7,
      .buttonRow = 7,
      .entry = Gear,
      .label = {{{.text = "Reverse Arm to Cent Norm", .a = 204, .row = 7}}}},
     {.k = 28, .line = CloseupLine::GearLimit, .label = "Rev Arm to Cent Norm"}},
    {18,
     "RevArmToCentMax",
     "",
     1.8f,
     Signed,
     Top<&Design::RevArmToCentMax>,
     {.dialog = DimDialog::Frame,
      .field = 18,
      .col = 2,
      .row = 8,
      .buttonRow = 8,
      .entry = Gear,
      .label = {{{.text = kDittoMax, .a = 234, .row = 8}}}},
     {.k = 28, .line = CloseupLine::GearLimit, .label = "Rev Arm to Cent Max"}},
    {19,
     "ValveLeverUpperOffset",
     "Valve Lev Up Offset",
     0.0f,
     Signed,
     Top<&Design::ValveLeverUpperOffset>,
     {.dialog = DimDialog::Frame,
      .field = 19,
      .col = 2,
      .row = 1,
      .buttonRow = 1,
      .entry = Entry,
      .label = {{{.text = "Valve Lever   Upper Offset", .a = 204, .row = 1}}}},
     {.k = 28, .line = CloseupLine::Pivots, .a = 15, .b = 8}},
    {101,
     "CylCtrToDriverCtr",
     "Cyl ctr to Driver ctr",
     16.0f,
     Positive,
     Cyl<&CylRecord::CylCtrToDriverCtr>,
     {.dialog = DimDialog::Cylinder,
      .field = 1,
      .col = 1,
      .row = 0,
      .buttonRow = 0,
      .entry = Entry,
      .label = {{{.text = "Cylinder ctr to Driver ctr", .a = 10, .row = 0}}}},
     {.k = 18.9f, .line = CloseupLine::RunFrom, .a = 1, .b = 0}},
    {102,
     "CylCLAboveDriver",
     "Cyl CL above Driver ctr",
     0.0f,
     Signed,
     PivY<3>,
     {.dialog = DimDialog::Cylinder,
      .field = 2,
      .col = 1,
      .row = 1,
      .buttonRow = 1,
      .entry = Entry,
      .label = {{{.text = "Cylinder CL above Driver", .a = 10, .row = 1}}}},
     {.k = 55,
      .setOffsets = true,
      .offsetX = -600,
      .offsetY = 295,
      .line = CloseupLine::CylinderHeight}},
    {103,
     "CylBoreDia",
     "Cylinder Bore Dia",
     2.5f,
     Positive,
     Cyl<&CylRecord::CylBoreDia>,
     {.dialog = DimDialog::Cylinder,
      .field = 3,
      .col = 1,
      .row = 2,
      .buttonRow = 2,
      .entry = Entry,
      .label = {{{.text = "Cylinder Bore         Diameter", .a = 10, .row = 2}}}},
     {.k = 55,
      .setOffsets = true,
      .offsetX = -600,
      .offsetY = 295,
      .line = CloseupLine::CylinderPoints,
      .a = 3,
      .b = 4}},
    {104,
     "CylBoreLen",
     "Cylinder Bore Length",
     4.0f,
     Positive,
     Cyl<&CylRecord::CylBoreLen>,
     {.dialog = DimDialog::Cylinder,
      .field = 4,
      .col = 1,
      .row = 3,
      .buttonRow = 3,
      .entry = Entry,
      .label = {{{.text = "Cylinder Bore            Length", .a = 10, .row = 3}}}},
     {.k = 55,
      .setOffsets = true,
      .offsetX = -600,
      .offsetY = 295,
      .line = CloseupLine::CylinderPoints,
      .a = 3,
      .b = 6}},
    {105,
     "CylSteamPortWidth",
     "Cyl Steam Port Width",
     0.25f,
     Positive,
     Cyl<&CylRecord::CylSteamPortWidth>,
     {.dialog = DimDialog::Cylinder,
      .field = 5,
      .col = 1,
      .row = 4,
      .buttonRow = 4,
      .entry = Entry,
      .label = {{{.text = "Cylinder Steam Port    Width", .a = 10, .row = 4}}}},
     {.k = 55,
      .setOffsets = true,
      .offsetX = -600,
      .offsetY = 295,
      .line = CloseupLine::CylinderPoints,
      .a = 3,
      .b = 15}},
    {106,
     "PistonRodLen",
     "Piston ctr to Crosshead",
     7.0f,
     Positive,
     Cyl<&CylRecord::PistonRodLen>,
     {.dialog = DimDialog::Cylinder,
      .field = 6,
      .col = 1,
      .row = 6,
      .buttonRow = 5,
      .entry = Entry,
      .label = {{{.text = "Piston ctr to Crosshead ctr", .a = 10, .row = 5},
                 {.text = "(Piston Rod)", .a = 81, .row = 6}}}},
     {.k = 40,
      .setOffsets = true,
      .offsetX = -200,
      .offsetY = 260,
      .line = CloseupLine::RunFrom,
      .a = 3,
      .b = 0}},
    {107,
     "PistonWidth",
     "Piston Width",
     0.377f,
     Positive,
     Cyl<&CylRecord::PistonWidth>,
     {.dialog = DimDialog::Cylinder,
      .field = 7,
      .col = 1,
      .row = 7,
      .buttonRow = 7,
      .entry = Entry,
      .label = {{{.text = "Piston                         Width", .a = 10, .row = 7}}}},
     {.k = 55,
      .setOffsets = true,
      .offsetX = -600,
      .offsetY = 295,
      .line = CloseupLine::PistonPoints,
      .a = 1,
      .b = 4}},
    {108,
     "ValveCLToCylCL",
     "Valve CL to Cyl CL",
     2.5f,
     Signed,
     Cyl<&CylRecord::ValveCLToCylCL>,
     {.dialog = DimDialog::Cylinder,
      .field = 8,
      .col = 1,
      .row = 8,
      .buttonRow = 8,
      .entry = Entry,
      .label = {{{.text = "Valve CL to Cylinder CL", .a = 10, .row = 8}}}},
     {.k = 55,
      .setOffsets = true,
      .offsetX = -600,
      .offsetY = 295,
      .line = CloseupLine::ValveHeight}},
    {109,
     "ValveBoreDia",
     "Valve Bore Dia",
     1.25f,
     Positive,
     Cyl<&CylRecord::ValveBoreDia>,
     {.dialog = DimDialog::Cylinder,
      .field = 9,
      .col = 1,
      .row = 9,
      .buttonRow = 9,
      .entry = Entry,
      .label = {{{.text = "Valve Bore            Diameter", .a = 10, .row = 9}}}},
     {.k = 55,
      .setOffsets = true,
      .offsetX = -600,
      .offsetY = 295,
      .line = CloseupLine::CylinderPoints,
      .a = 0,
      .b = 1}},
    {110,
     "ValveBoreLen",
     "Valve Bore Length",
     4.5f,
     Positive,
     Cyl<&CylRecord::ValveBoreLen>,
     {.dialog = DimDialog::Cylinder,
      .field = 10,
      .col = 1,
      .row = 10,
      .buttonRow = 10,
      .entry = Entry,
      .label = {{{.text = "Valve Bore               Length", .a = 10, .row = 10}}}},
     {.k = 55,
      .setOffsets = true,
      .offsetX = -600,
      .offsetY = 295,
      .line = CloseupLine::CylinderPoints,
      .a = 1,
      .b = 8}},
    {111,
     "ValveBoreCtrToPort",
     "Valve Bore ctr to Port",
     1.2f,
     Positive,
     Cyl<&CylRecord::ValveBoreCtrToPort>,
     {.dialog = DimDialog::Cylinder,
      .field = 11,
      .col = 2,
      .row = 0,
      .buttonRow = 0,
      .entry = Entry,
      .label = {{{.text = "ValveBore ctr to ValvePort", .a = 204, .row = 0}}}},
     {.k = 55,
      .setOffsets = true,
      .offsetX = -600,
      .offsetY = 295,
      .line = CloseupLine::PortToCentre,
      .a = 14,
      .b = 0}},
    {112,
     "ValvePortWidthRear",
     "ValveBorePortWidthRear",
     0.297f,
     Positive,
     Cyl<&CylRecord::ValvePortWidthRear>,
     {.dialog = DimDialog::Cylinder,
      .field = 12,
      .col = 2,
      .row = 1,
      .buttonRow = 1,
      .entry = Entry,
      .label = {{{.text = "ValveBore PortWidth Rear", .a = 204, .row = 1}}}},
     {.k = 55,
      .setOffsets = true,
      .offsetX = -600,
      .offsetY = 295,
      .line = CloseupLine::CylinderPoints,
      .a = 2,
      .b = 14}},
    {113,
     "ValvePortWidthFront",
     "ValveBorePortWidthFront",
     0.297f,
     Positive,
     Cyl<&CylRecord::ValvePortWidthFront>,
     {.dialog = DimDialog::Cylinder,
      .field = 13,
      .col = 2,
      .row = 2,
      .buttonRow = 2,
      .entry = Entry,
      .label = {{{.text = kDittoFront, .a = 225, .row = 2}}}},
     {.k = 55,
      .setOffsets = true,
      .offsetX = -600,
      .offsetY = 295,
      .line = CloseupLine::CylinderPoints,
      .a = 17,
      .b = 7}},
    {114,
     "ValveCtrToInsideEdge",
     "Valve ctr to Ring",
     1.047f,
     Positive,
     Cyl<&CylRecord::ValveCtrToInsideEdge>,
     {.dialog = DimDialog::Cylinder,
      .field = 14,
      .col = 2,
      .row = 4,
      .buttonRow = 3,
      .entry = Entry,
      .label = {{{.text = "Valve ctr to Inside Edge", .a = 204, .row = 3},
                 {.text = " of Inside Ring", .a = 259, .row = 4}}}},
     {.k = 55,
      .setOffsets = true,
      .offsetX = -600,
      .offsetY = 295,
      .line = CloseupLine::RingToJoint,
      .a = 8,
      .b = 5}},
    {115,
     "ValveEndWidthRear",
     "Valve End Width  Rear",
     0.45f,
     Positive,
     Cyl<&CylRecord::ValveEndWidthRear>,
     {.dialog = DimDialog::Cylinder,
      .field = 15,
      .col = 2,
      .row = 6,
      .buttonRow = 5,
      .entry = Entry,
      .label = {{{.text = "Valve End Width (Outside", .a = 204, .row = 5},
                 {.text = "Edges of Rings) Rear", .a = 228, .row = 6}}}},
     {.k = 55,
      .setOffsets = true,
      .offsetX = -600,
      .offsetY = 295,
      .line = CloseupLine::PistonPoints,
      .a = 7,
      .b = 8}},
    {116,
     "ValveEndWidthFront",
     "Valve End Width  Front",
     0.45f,
     Positive,
     Cyl<&CylRecord::ValveEndWidthFront>,
     {.dialog = DimDialog::Cylinder,
      .field = 16,
      .col = 2,
      .row = 7,
      .buttonRow = 7,
      .entry = Entry,
      .label = {{{.text = kDittoFront, .a = 225, .row = 7}}}},
     {.k = 55,
      .setOffsets = true,
      .offsetX = -600,
      .offsetY = 295,
      .line = CloseupLine::PistonPoints,
      .a = 11,
      .b = 12}},
    {117,
     "ValveCtrToJoint",
     "Valve ctr to Joint (Stem)",
     4.794f,
     Positive,
     Cyl<&CylRecord::ValveCtrToJoint>,
     {.dialog = DimDialog::Cylinder,
      .field = 17,
      .col = 2,
      .row = 9,
      .buttonRow = 8,
      .entry = Entry,
      .label = {{{.text = "Valve ctr to Joint", .a = 204, .row = 8},
                 {.text = "  (Valve Stem)", .a = 264, .row = 9}}}},
     {.k = 50,
      .setOffsets = true,
      .offsetX = -400,
      .offsetY = 375,
      .line = CloseupLine::RunFrom,
      .a = 4,
      .b = 0}},
}};

// A row that misses its dialog cell, its label or its close-up stops the build.
constexpr bool RowsAreComplete() {
    for (std::size_t i = 0; i < kDimensions.size(); ++i) {
        const DimensionInfo& d = kDimensions[i];
        const DimDialogCell& cell = d.dialog;
        if (d.name.empty() || d.closeup.k <= 0) return false;
        if (d.positive && !(d.defaultValue > 0)) return false;
        if (cell.field < 1 || (cell.col != 1 && cell.col != 2) || cell.label[0].text.empty())
            return false;
        // Only the grey fields take part in dynamic variables and undo, and those need a caption.
        if (d.caption.empty() != (cell.entry == DimEntry::GearLimit)) return false;
        if (d.dialog.dialog != (d.id >= 100 ? DimDialog::Cylinder : DimDialog::Frame)) return false;
        for (std::size_t j = 0; j < i; ++j) {
            const DimensionInfo& e = kDimensions[j];
            if (e.id == d.id) return false;
            if (e.dialog.dialog == cell.dialog &&
                (e.dialog.field == cell.field ||
                 (e.dialog.col == cell.col && e.dialog.row == cell.row)))
                return false;
        }
    }
    return true;
}
static_assert(RowsAreComplete(), "every dimension row needs a dialog cell, a label and a close-up");

// Every named id names its own row.
constexpr bool NamedIdIsItsRow(int id, std::string_view name) {
    for (const auto& d : kDimensions)
        if (d.id == id) return d.name == name;
    return false;
}
static_assert(NamedIdIsItsRow(dim::DriverDia, "DriverDia") &&
                  NamedIdIsItsRow(dim::StrokeLen, "StrokeLen") &&
                  NamedIdIsItsRow(dim::MainRodCrankEnd, "MainRodCrankEnd") &&
                  NamedIdIsItsRow(dim::MainRodPistonEnd, "MainRodPistonEnd") &&
                  NamedIdIsItsRow(dim::RadiusRodLen, "RadiusRodLen") &&
                  NamedIdIsItsRow(dim::LinkRadius, "LinkRadius") &&
                  NamedIdIsItsRow(dim::LinkPivotVert, "LinkPivotVert") &&
                  NamedIdIsItsRow(dim::LinkPivotHorz, "LinkPivotHorz") &&
                  NamedIdIsItsRow(dim::ValveLeverUpperLen, "ValveLeverUpperLen") &&
                  NamedIdIsItsRow(dim::ValveLeverLowerLen, "ValveLeverLowerLen") &&
                  NamedIdIsItsRow(dim::CouplerUpper, "CouplerUpper") &&
                  NamedIdIsItsRow(dim::CouplerLower, "CouplerLower") &&
                  NamedIdIsItsRow(dim::AnchorLinkLen, "AnchorLinkLen") &&
                  NamedIdIsItsRow(dim::AnchorLinkPivotVert, "AnchorLinkPivotVert") &&
                  NamedIdIsItsRow(dim::AnchorLinkPivotHorz, "AnchorLinkPivotHorz") &&
                  NamedIdIsItsRow(dim::ReverseArmLen, "ReverseArmLen") &&
                  NamedIdIsItsRow(dim::RevArmToCentNorm, "RevArmToCentNorm") &&
                  NamedIdIsItsRow(dim::RevArmToCentMax, "RevArmToCentMax") &&
                  NamedIdIsItsRow(dim::ValveLeverUpperOffset, "ValveLeverUpperOffset") &&
                  NamedIdIsItsRow(dim::CylCtrToDriverCtr, "CylCtrToDriverCtr") &&
                  NamedIdIsItsRow(dim::CylCLAboveDriver, "CylCLAboveDriver") &&
                  NamedIdIsItsRow(dim::CylBoreDia, "CylBoreDia") &&
                  NamedIdIsItsRow(dim::CylBoreLen, "CylBoreLen") &&
                  NamedIdIsItsRow(dim::CylSteamPortWidth, "CylSteamPortWidth") &&
                  NamedIdIsItsRow(dim::PistonRodLen, "PistonRodLen") &&
                  NamedIdIsItsRow(dim::PistonWidth, "PistonWidth") &&
                  NamedIdIsItsRow(dim::ValveCLToCylCL, "ValveCLToCylCL") &&
                  NamedIdIsItsRow(dim::ValveBoreDia, "ValveBoreDia") &&
                  NamedIdIsItsRow(dim::ValveBoreLen, "ValveBoreLen") &&
                  NamedIdIsItsRow(dim::ValveBoreCtrToPort, "ValveBoreCtrToPort") &&
                  NamedIdIsItsRow(dim::ValvePortWidthRear, "ValvePortWidthRear") &&
                  NamedIdIsItsRow(dim::ValvePortWidthFront, "ValvePortWidthFront") &&
                  NamedIdIsItsRow(dim::ValveCtrToInsideEdge, "ValveCtrToInsideEdge") &&
                  NamedIdIsItsRow(dim::ValveEndWidthRear, "ValveEndWidthRear") &&
                  NamedIdIsItsRow(dim::ValveEndWidthFront, "ValveEndWidthFront") &&
                  NamedIdIsItsRow(dim::ValveCtrToJoint, "ValveCtrToJoint"),
              "dimensions.h names an id that is not its row's");

}  // namespace

std::span<const DimensionInfo> Dimensions() { return kDimensions; }

const DimensionInfo* FindDimension(int id) {
    for (const auto& d : kDimensions)
        if (d.id == id) return &d;
    return nullptr;
}

const DimensionInfo* FindDimensionByName(std::string_view name) {
    for (const auto& d : kDimensions)
        if (EqualsIgnoringCase(d.name, name)) return &d;
    return nullptr;
}

bool IsVariableDimension(int id) {
    const DimensionInfo* d = FindDimension(id);
    return d && d->dialog.entry == DimEntry::Dimension;
}

std::string_view CloseupLabel(const DimensionInfo& d) {
    return d.closeup.label.empty() ? d.caption : d.closeup.label;
}

const f32& DimensionRef(const Model& m, const DimensionInfo& d) {
    // The accessor only locates the value; nothing is written through it here.
    return d.at(const_cast<Model&>(m));
}

float GetDimension(const Model& m, int id) {
    const DimensionInfo* d = FindDimension(id);
    return d ? DimensionRef(m, *d) : 0.0f;
}

void SetDimension(Model& m, int id, float v) {
    const DimensionInfo* d = FindDimension(id);
    if (!d) return;
    d->at(m) = v;
    switch (id) {
        case 7: m.pivots.PivotY[6] = v; break;
        case 8: m.pivots.PivotX[6] = v; break;
        case 14: m.pivots.PivotY[13] = v; break;
        case 15: m.pivots.PivotX[13] = v; break;
        case 102:
        case 108:
            m.pivots.PivotY[4] =
                ToFloat(static_cast<ext>(m.design.Cyl.ValveCLToCylCL) + m.pivots.PivotY[3]);
            break;
        default: break;
    }
}

void WriteTableDefaults(Model& m, DimDialog which) {
    for (const auto& d : kDimensions)
        if (d.dialog.dialog == which) SetDimension(m, d.id, d.defaultValue);
}

}  // namespace tarn
