// The dimension table and its readers and writer.
#include "core/model/dimensions.h"

namespace tarn {

namespace {

// Where a value lives: a member of the design, of its frame block or of its cylinder record.
template <auto Member>
f32& Top(Design& d) {
    return d.*Member;
}
template <auto Member>
f32& Frm(Design& d) {
    return d.Frame.*Member;
}
template <auto Member>
f32& Cyl(Design& d) {
    return d.Cyl.*Member;
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

// id, name, caption, default, strictly positive?, storage;
//  dialog, field, column, row, button row, entry, label lines (text, a, row);
//  close-up k, fixed offsets?, offset x, offset y, line, a, b[, name when not the caption].
constexpr std::array<DimensionInfo, 36> kDimensions{{
    {1,
     "DriverDia",
     "Driver Dia",
     8.0f,
     Positive,
     Top<&Design::DriverDia>,
     {DimDialog::Frame, 1, 1, 0, 0, Entry, {{{"Driver                    Diameter", 10, 0}}}},
     {30, true, 290, 212, CloseupLine::Diameter, 1, 0}},
    {2,
     "StrokeLen",
     "Stroke",
     3.0f,
     Positive,
     Top<&Design::StrokeLen>,
     {DimDialog::Frame, 2, 1, 1, 1, Entry, {{{"Stroke                      Length", 10, 1}}}},
     {30, true, 290, 212, CloseupLine::Mirror, 2, 1}},
    {3,
     "MainRodCrankEnd",
     "Main Rod Crank End",
     6.207f,
     Positive,
     Frm<&FrameBlock::MainRodCrankEnd>,
     {DimDialog::Frame, 3, 1, 2, 2, Entry, {{{"Main Rod            Crank End", 10, 2}}}},
     {20, false, 0, 0, CloseupLine::Pivots, 2, 10}},
    {4,
     "MainRodPistonEnd",
     "Main Rod Piston End",
     2.793f,
     Positive,
     Frm<&FrameBlock::MainRodPistonEnd>,
     {DimDialog::Frame, 4, 1, 3, 3, Entry, {{{"Main Rod           Piston End", 10, 3}}}},
     {20, false, 0, 0, CloseupLine::Pivots, 3, 10}},
    {5,
     "RadiusRodLen",
     "Radius Rod",
     5.0f,
     Positive,
     Frm<&FrameBlock::RadiusRodLen>,
     {DimDialog::Frame, 5, 1, 4, 4, Entry, {{{"Radius Rod              Length", 10, 4}}}},
     {20, false, 0, 0, CloseupLine::Pivots, 4, 7}},
    {6,
     "LinkRadius",
     "Link Radius",
     5.0f,
     Positive,
     Top<&Design::LinkRadius>,
     {DimDialog::Frame, 6, 1, 5, 5, Entry, {{{"Link                          Radius", 10, 5}}}},
     {20, false, 0, 0, CloseupLine::Pivots, 5, 14}},
    {7,
     "LinkPivotVert",
     "Link Pivot Vert",
     3.267f,
     Signed,
     Top<&Design::LinkPivotVert>,
     {DimDialog::Frame, 7, 1, 6, 6, Entry, {{{"Link Pivot                      Vert", 10, 6}}}},
     {40, true, 100, 212, CloseupLine::DropTo, 5, 1}},
    {8,
     "LinkPivotHorz",
     "Link Pivot Horz",
     6.207f,
     Signed,
     Top<&Design::LinkPivotHorz>,
     {DimDialog::Frame, 8, 1, 7, 7, Entry, {{{"Link Pivot                     Horz", 10, 7}}}},
     {40, true, 100, 212, CloseupLine::AcrossTo, 5, 1}},
    {9,
     "ValveLeverUpperLen",
     "Valve Lever Upper",
     0.717f,
     Positive,
     Frm<&FrameBlock::ValveLeverUpperLen>,
     {DimDialog::Frame, 9, 2, 0, 0, Entry, {{{"Valve Lever       Upper Len", 204, 0}}}},
     {40, true, 100, 212, CloseupLine::Pivots, 7, 15}},
    {10,
     "ValveLeverLowerLen",
     "Valve Lever Lower",
     3.283f,
     Positive,
     Frm<&FrameBlock::ValveLeverLowerLen>,
     {DimDialog::Frame, 10, 2, 2, 2, Entry, {{{"Valve Lever       Lower Len", 204, 2}}}},
     {40, true, 100, 212, CloseupLine::Pivots, 7, 9}},
    {11,
     "CouplerUpper",
     "Coupler Upper",
     0.824f,
     Positive,
     Frm<&FrameBlock::CouplerUpper>,
     {DimDialog::Frame, 11, 1, 8, 8, Entry, {{{"Coupler                      Upper", 10, 8}}}},
     {40, true, 100, 212, CloseupLine::Pivots, 9, 10}},
    {12,
     "CouplerLower",
     "Coupler Lower",
     1.426f,
     Positive,
     Frm<&FrameBlock::CouplerLower>,
     {DimDialog::Frame, 12, 1, 9, 9, Entry, {{{"Coupler                      Lower", 10, 9}}}},
     {40, true, 100, 212, CloseupLine::Pivots, 9, 11}},
    {13,
     "AnchorLinkLen",
     "Anchor Link Length",
     3.0f,
     Positive,
     Frm<&FrameBlock::AnchorLinkLen>,
     {DimDialog::Frame, 13, 2, 3, 3, Entry, {{{"Anchor Link              Length", 204, 3}}}},
     {40, true, 100, 212, CloseupLine::Pivots, 11, 12}},
    {14,
     "AnchorLinkPivotVert",
     "Anchor Link Pivot Vert",
     -1.677f,
     Signed,
     Top<&Design::AnchorLinkPivotVert>,
     {DimDialog::Frame, 14, 2, 4, 4, Entry, {{{"Anchor Link Pivot         Vert", 204, 4}}}},
     {40, true, 100, 212, CloseupLine::DropTo, 12, 0}},
    {15,
     "AnchorLinkPivotHorz",
     "Anchor Link Pivot Horz",
     9.207f,
     Signed,
     Top<&Design::AnchorLinkPivotHorz>,
     {DimDialog::Frame, 15, 2, 5, 5, Entry, {{{"Anchor Link Pivot         Horz", 204, 5}}}},
     {40, true, 100, 212, CloseupLine::AcrossTo, 12, 0}},
    {16,
     "ReverseArmLen",
     "Reverse Arm Length",
     3.0f,
     Positive,
     Frm<&FrameBlock::ReverseArmLen>,
     {DimDialog::Frame, 16, 2, 6, 6, Entry, {{{"Reverse Arm            Length", 204, 6}}}},
     {28, false, 0, 0, CloseupLine::Pivots, 5, 18}},
    {17,
     "RevArmToCentNorm",
     "",
     1.6f,
     Signed,
     Top<&Design::RevArmToCentNorm>,
     {DimDialog::Frame, 17, 2, 7, 7, Gear, {{{"Reverse Arm to Cent Norm", 204, 7}}}},
     {28, false, 0, 0, CloseupLine::GearLimit, 0, 0, "Rev Arm to Cent Norm"}},
    {18,
     "RevArmToCentMax",
     "",
     1.8f,
     Signed,
     Top<&Design::RevArmToCentMax>,
     {DimDialog::Frame, 18, 2, 8, 8, Gear, {{{kDittoMax, 234, 8}}}},
     {28, false, 0, 0, CloseupLine::GearLimit, 0, 0, "Rev Arm to Cent Max"}},
    {19,
     "ValveLeverUpperOffset",
     "Valve Lev Up Offset",
     0.0f,
     Signed,
     Top<&Design::ValveLeverUpperOffset>,
     {DimDialog::Frame, 19, 2, 1, 1, Entry, {{{"Valve Lever   Upper Offset", 204, 1}}}},
     {28, false, 0, 0, CloseupLine::Pivots, 15, 8}},
    {101,
     "CylCtrToDriverCtr",
     "Cyl ctr to Driver ctr",
     16.0f,
     Positive,
     Cyl<&CylRecord::CylCtrToDriverCtr>,
     {DimDialog::Cylinder, 1, 1, 0, 0, Entry, {{{"Cylinder ctr to Driver ctr", 10, 0}}}},
     {18.9f, false, 0, 0, CloseupLine::RunFrom, 1, 0}},
    {102,
     "CylCLAboveDriver",
     "Cyl CL above Driver ctr",
     0.0f,
     Signed,
     Top<&Design::CylCLAboveDriver>,
     {DimDialog::Cylinder, 2, 1, 1, 1, Entry, {{{"Cylinder CL above Driver", 10, 1}}}},
     {55, true, -600, 295, CloseupLine::CylinderHeight, 0, 0}},
    {103,
     "CylBoreDia",
     "Cylinder Bore Dia",
     2.5f,
     Positive,
     Cyl<&CylRecord::CylBoreDia>,
     {DimDialog::Cylinder, 3, 1, 2, 2, Entry, {{{"Cylinder Bore         Diameter", 10, 2}}}},
     {55, true, -600, 295, CloseupLine::CylinderPoints, 3, 4}},
    {104,
     "CylBoreLen",
     "Cylinder Bore Length",
     4.0f,
     Positive,
     Cyl<&CylRecord::CylBoreLen>,
     {DimDialog::Cylinder, 4, 1, 3, 3, Entry, {{{"Cylinder Bore            Length", 10, 3}}}},
     {55, true, -600, 295, CloseupLine::CylinderPoints, 3, 6}},
    {105,
     "CylSteamPortWidth",
     "Cyl Steam Port Width",
     0.25f,
     Positive,
     Cyl<&CylRecord::CylSteamPortWidth>,
     {DimDialog::Cylinder, 5, 1, 4, 4, Entry, {{{"Cylinder Steam Port    Width", 10, 4}}}},
     {55, true, -600, 295, CloseupLine::CylinderPoints, 3, 15}},
    {106,
     "PistonRodLen",
     "Piston ctr to Crosshead",
     7.0f,
     Positive,
     Cyl<&CylRecord::PistonRodLen>,
     {DimDialog::Cylinder,
      6,
      1,
      6,
      5,
      Entry,
      {{{"Piston ctr to Crosshead ctr", 10, 5}, {"(Piston Rod)", 81, 6}}}},
     {40, true, -200, 260, CloseupLine::RunFrom, 3, 0}},
    {107,
     "PistonWidth",
     "Piston Width",
     0.377f,
     Positive,
     Cyl<&CylRecord::PistonWidth>,
     {DimDialog::Cylinder, 7, 1, 7, 7, Entry, {{{"Piston                         Width", 10, 7}}}},
     {55, true, -600, 295, CloseupLine::PistonPoints, 1, 4}},
    {108,
     "ValveCLToCylCL",
     "Valve CL to Cyl CL",
     2.5f,
     Signed,
     Cyl<&CylRecord::ValveCLToCylCL>,
     {DimDialog::Cylinder, 8, 1, 8, 8, Entry, {{{"Valve CL to Cylinder CL", 10, 8}}}},
     {55, true, -600, 295, CloseupLine::ValveHeight, 0, 0}},
    {109,
     "ValveBoreDia",
     "Valve Bore Dia",
     1.25f,
     Positive,
     Cyl<&CylRecord::ValveBoreDia>,
     {DimDialog::Cylinder, 9, 1, 9, 9, Entry, {{{"Valve Bore            Diameter", 10, 9}}}},
     {55, true, -600, 295, CloseupLine::CylinderPoints, 0, 1}},
    {110,
     "ValveBoreLen",
     "Valve Bore Length",
     4.5f,
     Positive,
     Cyl<&CylRecord::ValveBoreLen>,
     {DimDialog::Cylinder, 10, 1, 10, 10, Entry, {{{"Valve Bore               Length", 10, 10}}}},
     {55, true, -600, 295, CloseupLine::CylinderPoints, 1, 8}},
    {111,
     "ValveBoreCtrToPort",
     "Valve Bore ctr to Port",
     1.2f,
     Positive,
     Cyl<&CylRecord::ValveBoreCtrToPort>,
     {DimDialog::Cylinder, 11, 2, 0, 0, Entry, {{{"ValveBore ctr to ValvePort", 204, 0}}}},
     {55, true, -600, 295, CloseupLine::PortToCentre, 14, 0}},
    {112,
     "ValvePortWidthRear",
     "ValveBorePortWidthRear",
     0.297f,
     Positive,
     Cyl<&CylRecord::ValvePortWidthRear>,
     {DimDialog::Cylinder, 12, 2, 1, 1, Entry, {{{"ValveBore PortWidth Rear", 204, 1}}}},
     {55, true, -600, 295, CloseupLine::CylinderPoints, 2, 14}},
    {113,
     "ValvePortWidthFront",
     "ValveBorePortWidthFront",
     0.297f,
     Positive,
     Cyl<&CylRecord::ValvePortWidthFront>,
     {DimDialog::Cylinder, 13, 2, 2, 2, Entry, {{{kDittoFront, 225, 2}}}},
     {55, true, -600, 295, CloseupLine::CylinderPoints, 17, 7}},
    {114,
     "ValveCtrToInsideEdge",
     "Valve ctr to Ring",
     1.047f,
     Positive,
     Cyl<&CylRecord::ValveCtrToInsideEdge>,
     {DimDialog::Cylinder,
      14,
      2,
      4,
      3,
      Entry,
      {{{"Valve ctr to Inside Edge", 204, 3}, {" of Inside Ring", 259, 4}}}},
     {55, true, -600, 295, CloseupLine::RingToJoint, 8, 5}},
    {115,
     "ValveEndWidthRear",
     "Valve End Width  Rear",
     0.45f,
     Positive,
     Cyl<&CylRecord::ValveEndWidthRear>,
     {DimDialog::Cylinder,
      15,
      2,
      6,
      5,
      Entry,
      {{{"Valve End Width (Outside", 204, 5}, {"Edges of Rings) Rear", 228, 6}}}},
     {55, true, -600, 295, CloseupLine::PistonPoints, 7, 8}},
    {116,
     "ValveEndWidthFront",
     "Valve End Width  Front",
     0.45f,
     Positive,
     Cyl<&CylRecord::ValveEndWidthFront>,
     {DimDialog::Cylinder, 16, 2, 7, 7, Entry, {{{kDittoFront, 225, 7}}}},
     {55, true, -600, 295, CloseupLine::PistonPoints, 11, 12}},
    {117,
     "ValveCtrToJoint",
     "Valve ctr to Joint (Stem)",
     4.794f,
     Positive,
     Cyl<&CylRecord::ValveCtrToJoint>,
     {DimDialog::Cylinder,
      17,
      2,
      9,
      8,
      Entry,
      {{{"Valve ctr to Joint", 204, 8}, {"  (Valve Stem)", 264, 9}}}},
     {50, true, -400, 375, CloseupLine::RunFrom, 4, 0}},
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

}  // namespace

std::span<const DimensionInfo> Dimensions() { return kDimensions; }

const DimensionInfo* FindDimension(int id) {
    for (const auto& d : kDimensions)
        if (d.id == id) return &d;
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
    return d.at(const_cast<Design&>(m.design));
}

float GetDimension(const Model& m, int id) {
    const DimensionInfo* d = FindDimension(id);
    return d ? DimensionRef(m, *d) : 0.0f;
}

void SetDimension(Model& m, int id, float v) {
    const DimensionInfo* d = FindDimension(id);
    if (!d) return;
    d->at(m.design) = v;
}

void WriteTableDefaults(Model& m, DimDialog which) {
    for (const auto& d : kDimensions)
        if (d.dialog.dialog == which) SetDimension(m, d.id, d.defaultValue);
}

}  // namespace tarn
