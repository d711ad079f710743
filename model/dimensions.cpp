// The dimension table and the one writer that keeps the pivot invariants.
#include "model/dimensions.h"

#include <array>

#include "model/numfmt.h"

namespace tarn {

namespace {

constexpr std::array<DimensionInfo, 36> kDimensions{{
    {1, "DriverDia", "Driver Dia", 8.0f},
    {2, "StrokeLen", "Stroke", 3.0f},
    {3, "MainRodCrankEnd", "Main Rod Crank End", 6.207f},
    {4, "MainRodPistonEnd", "Main Rod Piston End", 2.793f},
    {5, "RadiusRodLen", "Radius Rod", 5.0f},
    {6, "LinkRadius", "Link Radius", 5.0f},
    {7, "LinkPivotVert", "Link Pivot Vert", 3.267f},
    {8, "LinkPivotHorz", "Link Pivot Horz", 6.207f},
    {9, "ValveLeverUpperLen", "Valve Lever Upper", 0.717f},
    {10, "ValveLeverLowerLen", "Valve Lever Lower", 3.283f},
    {11, "CouplerUpper", "Coupler Upper", 0.824f},
    {12, "CouplerLower", "Coupler Lower", 1.426f},
    {13, "AnchorLinkLen", "Anchor Link Length", 3.0f},
    {14, "AnchorLinkPivotVert", "Anchor Link Pivot Vert", -1.677f},
    {15, "AnchorLinkPivotHorz", "Anchor Link Pivot Horz", 9.207f},
    {16, "ReverseArmLen", "Reverse Arm Length", 3.0f},
    {17, "RevArmToCentNorm", "", 1.6f},
    {18, "RevArmToCentMax", "", 1.8f},
    {19, "ValveLeverUpperOffset", "Valve Lev Up Offset", 0.0f},
    {101, "CylCtrToDriverCtr", "Cyl ctr to Driver ctr", 16.0f},
    {102, "CylCLAboveDriver", "Cyl CL above Driver ctr", 0.0f},
    {103, "CylBoreDia", "Cylinder Bore Dia", 2.5f},
    {104, "CylBoreLen", "Cylinder Bore Length", 4.0f},
    {105, "CylSteamPortWidth", "Cyl Steam Port Width", 0.25f},
    {106, "PistonRodLen", "Piston ctr to Crosshead", 7.0f},
    {107, "PistonWidth", "Piston Width", 0.377f},
    {108, "ValveCLToCylCL", "Valve CL to Cyl CL", 2.5f},
    {109, "ValveBoreDia", "Valve Bore Dia", 1.25f},
    {110, "ValveBoreLen", "Valve Bore Length", 4.5f},
    {111, "ValveBoreCtrToPort", "Valve Bore ctr to Port", 1.2f},
    {112, "ValvePortWidthRear", "ValveBorePortWidthRear", 0.297f},
    {113, "ValvePortWidthFront", "ValveBorePortWidthFront", 0.297f},
    {114, "ValveCtrToInsideEdge", "Valve ctr to Ring", 1.047f},
    {115, "ValveEndWidthRear", "Valve End Width  Rear", 0.45f},
    {116, "ValveEndWidthFront", "Valve End Width  Front", 0.45f},
    {117, "ValveCtrToJoint", "Valve ctr to Joint (Stem)", 4.794f},
}};

// The storage of dimension id, or nullptr for the pivot-held ones and unknown ids.
float* Slot(Model& m, int id) {
    switch (id) {
        case 1: return &m.DriverDia;
        case 2: return &m.StrokeLen;
        case 3: return &m.Frame.MainRodCrankEnd;
        case 4: return &m.Frame.MainRodPistonEnd;
        case 5: return &m.Frame.RadiusRodLen;
        case 6: return &m.LinkRadius;
        case 7: return &m.PivotY[5];
        case 8: return &m.PivotX[5];
        case 9: return &m.Frame.ValveLeverUpperLen;
        case 10: return &m.Frame.ValveLeverLowerLen;
        case 11: return &m.Frame.CouplerUpper;
        case 12: return &m.Frame.CouplerLower;
        case 13: return &m.Frame.AnchorLinkLen;
        case 14: return &m.PivotY[12];
        case 15: return &m.PivotX[12];
        case 16: return &m.Frame.ReverseArmLen;
        case 17: return &m.RevArmToCentNorm;
        case 18: return &m.RevArmToCentMax;
        case 19: return &m.ValveLeverUpperOffset;
        case 101: return &m.Cyl.CylCtrToDriverCtr;
        case 102: return &m.PivotY[3];
        case 103: return &m.Cyl.CylBoreDia;
        case 104: return &m.Cyl.CylBoreLen;
        case 105: return &m.Cyl.CylSteamPortWidth;
        case 106: return &m.Cyl.PistonRodLen;
        case 107: return &m.Cyl.PistonWidth;
        case 108: return &m.Cyl.ValveCLToCylCL;
        case 109: return &m.Cyl.ValveBoreDia;
        case 110: return &m.Cyl.ValveBoreLen;
        case 111: return &m.Cyl.ValveBoreCtrToPort;
        case 112: return &m.Cyl.ValvePortWidthRear;
        case 113: return &m.Cyl.ValvePortWidthFront;
        case 114: return &m.Cyl.ValveCtrToInsideEdge;
        case 115: return &m.Cyl.ValveEndWidthRear;
        case 116: return &m.Cyl.ValveEndWidthFront;
        case 117: return &m.Cyl.ValveCtrToJoint;
        default: return nullptr;
    }
}

}  // namespace

std::span<const DimensionInfo> Dimensions() { return kDimensions; }

const DimensionInfo* FindDimension(int id) {
    for (const auto& d : kDimensions)
        if (d.id == id) return &d;
    return nullptr;
}

bool IsVariableDimension(int id) {
    return (id >= 1 && id <= 16) || id == 19 || (id >= 101 && id <= 117);
}

float GetDimension(const Model& m, int id) {
    float* p = Slot(const_cast<Model&>(m), id);
    return p ? *p : 0.0f;
}

void SetDimension(Model& m, int id, float v) {
    float* p = Slot(m, id);
    if (!p) return;
    *p = v;
    switch (id) {
        case 7: m.PivotY[6] = v; break;
        case 8: m.PivotX[6] = v; break;
        case 14: m.PivotY[13] = v; break;
        case 15: m.PivotX[13] = v; break;
        case 102:
        case 108: m.PivotY[4] = ToFloat(static_cast<ext>(m.Cyl.ValveCLToCylCL) +
                                                   m.PivotY[3]);
            break;
        default: break;
    }
}

}  // namespace tarn
