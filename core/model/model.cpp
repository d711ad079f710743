// Start-up values, the built-in default design and the mid-gear position of the reverse arm.
#include "core/model/model.h"

#include <cmath>

#include "core/model/dimensions.h"
#include "core/model/numfmt.h"

namespace tarn {

namespace {

// The start values of the view presets: "P" and 1..6, each (zoom, offset x, offset y).
constexpr std::array<f32, 21> kStartPresets{0,    0,   0,     62,   380, 237,   62,
                                            -150, 395, 62,    -150, 200, 80,    -950,
                                            335,  350, -4800, 900,  350, -5800, 900};

}  // namespace

void InitModelState(Model& m) {
    m.motion.CrankAngle = 0;
    m.motion.StepAngle = 10;
    for (int i : {0, 1, 19, 20}) {
        m.pivots.PivotX[i] = 0;
        m.pivots.PivotY[i] = 0;
    }
    m.design.LinkPivotHorz = m.design.LinkPivotVert = 0;
    m.design.AnchorLinkPivotHorz = m.design.AnchorLinkPivotVert = 0;
    m.design.CylCLAboveDriver = 0;
    m.motion.RevArmPositions.fill(0);
    m.view.DefaultZoom = 27;
    m.view.DefaultOffsetX = 115;
    m.view.DefaultOffsetY = 270;
    m.design.DesignName = "Nominal";
    m.dyn.Increment = 0.001f;
    m.overlay.LineIndex = 1;
    m.overlay.LineType.fill(-1);
    m.overlay.LineColor.fill(-1);
    m.overlay.LineRef.fill(-1);
    m.closeup.GraphicPosId = 0;
    m.diagrams.DiagramScale = 1.5f;
    m.closeup.GraphicZoomFactor = 7.5f;
    m.display.ShowSteam = false;
    m.readouts.FrontCutoffText.clear();
    m.readouts.RearCutoffText.clear();
    m.motion.Direction = Direction::Forward;
    m.diagrams.DiagramStale = false;
    m.view.ViewPresets = kStartPresets;
    m.display.FontScaleX = 1.0f;
    m.display.FontScaleY = 1.0f;
    ClearDynVarSlots(m.dyn);
    m.diagrams.RevArmCount = 0;
    m.display.BeepOnError = true;
    m.readouts.PrevFrontSteamOpen = 0;
    m.readouts.PrevRearSteamOpen = 0;
    // The densities start at 20 and are raised to the 25.0 floor by the first frame.
    m.steam.FrontSteamDensity = 20.0f;
    m.steam.RearSteamDensity = 20.0f;
}

std::string_view DirectionText(Direction d) {
    switch (d) {
        case Direction::Forward: return "Fwd";
        case Direction::Reverse: return "Rev";
    }
    return "Fwd";
}

f32 ValveCLAboveDriver(const Design& d) {
    return ToFloat(static_cast<ext>(d.Cyl.ValveCLToCylCL) + d.CylCLAboveDriver);
}

void InitView(ViewState& v) {
    v.Zoom = v.ZoomBase = v.NormZoom = v.DefaultZoom;
    v.OffsetX = v.ZoomBaseX = v.NormOffsetX = v.DefaultOffsetX;
    v.OffsetY = v.ZoomBaseY = v.NormOffsetY = v.DefaultOffsetY;
}

void SetFrameDefaults(Model& m) {
    // The values come from the dimension table; this only lays them out as the record keeps them.
    Model t;
    WriteTableDefaults(t, DimDialog::Frame);
    WriteTableDefaults(t, DimDialog::Cylinder);
    auto& d = m.defaults.FrameDefaults;
    d.StrokeLen = t.design.StrokeLen;
    d.DriverDia = t.design.DriverDia;
    d.Block = t.design.Frame;
    d.LinkRadius = t.design.LinkRadius;
    d.RevArmToCentNorm = t.design.RevArmToCentNorm;
    d.RevArmToCentMax = t.design.RevArmToCentMax;
    d.LinkPivotHorz = t.design.LinkPivotHorz;
    d.LinkPivotVert = t.design.LinkPivotVert;
    d.AnchorLinkPivotHorz = t.design.AnchorLinkPivotHorz;
    d.AnchorLinkPivotVert = t.design.AnchorLinkPivotVert;
    d.DefCylCLAboveDriver = t.design.CylCLAboveDriver;
    d.ValveLeverUpperOffset = t.design.ValveLeverUpperOffset;
}

void SetCylDefaults(Model& m) {
    // The values come from the dimension table; CylSpare starts at 0.
    Model t;
    WriteTableDefaults(t, DimDialog::Cylinder);
    m.defaults.CylDefaults = t.design.Cyl;
    m.defaults.CylDefaults.CylSpare = 0;
    m.defaults.DefCylCLAboveDriver = t.design.CylCLAboveDriver;
}

void ApplyFrameDefaults(Model& m) {
    const auto& d = m.defaults.FrameDefaults;
    m.design.StrokeLen = d.StrokeLen;
    m.design.DriverDia = d.DriverDia;
    m.design.Frame = d.Block;
    m.design.LinkRadius = d.LinkRadius;
    m.design.RevArmToCentNorm = d.RevArmToCentNorm;
    m.design.RevArmToCentMax = d.RevArmToCentMax;
    m.design.LinkPivotHorz = d.LinkPivotHorz;
    m.design.LinkPivotVert = d.LinkPivotVert;
    m.design.AnchorLinkPivotHorz = d.AnchorLinkPivotHorz;
    m.design.AnchorLinkPivotVert = d.AnchorLinkPivotVert;
    m.design.ValveLeverUpperOffset = d.ValveLeverUpperOffset;
}

void ApplyCylDefaults(Model& m) {
    m.design.CylCLAboveDriver = m.defaults.DefCylCLAboveDriver;
    m.design.Cyl = m.defaults.CylDefaults;
}

void CentreRevArm(Model& m) {
    // The reverse arm is turned so that the link's centre of curvature lies at the height of the
    // valve stem plus the upper lever, then moved 0.01 toward the cylinders.
    if (m.design.LinkRadius == 0.0f) m.design.LinkRadius = 0.00001f;
    ext r = m.design.LinkRadius;
    if (std::fabs(r) < 0.00001L) r = (r < 0) ? -0.00001L : 0.00001L;
    const Design& d = m.design;
    const ext c =
        static_cast<ext>(d.LinkPivotHorz) + 0.01L -
        (static_cast<ext>(ValveCLAboveDriver(d)) - d.LinkPivotVert + d.Frame.ValveLeverUpperLen) *
            d.Frame.ReverseArmLen / r;
    const f32 cf = ToFloat(c);
    m.pivots.PivotX[18] = cf;
    m.motion.RevArmPositions[0] = cf;
    m.motion.RevArmPositions[1] = cf;
    m.motion.RevArmPositions[2] = ToFloat(static_cast<ext>(cf) + m.design.RevArmToCentNorm);
    m.motion.RevArmPositions[3] = ToFloat(static_cast<ext>(cf) - m.design.RevArmToCentNorm);
    m.motion.RevArmPos = cf;
}

void StartUp(Model& m) {
    InitModelState(m);
    InitView(m.view);
    SetFrameDefaults(m);
    SetCylDefaults(m);
    ApplyFrameDefaults(m);
    ApplyCylDefaults(m);
    CentreRevArm(m);
}

void NormalView(ViewState& v) {
    v.DefaultZoom = v.Zoom;
    v.DefaultOffsetX = v.OffsetX;
    v.DefaultOffsetY = v.OffsetY;
    v.OffsetY = v.NormOffsetY;
    v.OffsetX = v.NormOffsetX;
    v.Zoom = v.NormZoom;
}

void ClearDynVarSlots(DynamicVariables& d) {
    for (int i = 0; i < 5; ++i) {
        d.DynVarId[i] = 0;
        d.DynVarValue[i] = 0;
        d.DynVarName[i] = EmptyCaption;
    }
}

bool SlotIsEmpty(const DynamicVariables& d, int slot) {
    return slot < 0 || slot > 4 || d.DynVarName[slot] == EmptyCaption;
}

void ClearUndoStack(UndoStack& u) {
    for (int i = 0; i <= kUndoDepth; ++i) {
        u.UndoId[i] = 0;
        u.UndoOld[i] = 0;
        u.UndoNew[i] = 0;
        u.UndoName[i].clear();
        u.UndoGroup[i] = 0;
        u.UndoArm[i] = {};
    }
    u.UndoCount = 0;
}

i32 RevArmBarMax(const Design& d) { return Round(static_cast<ext>(d.RevArmToCentMax) * 1000); }

i32 RevArmBarPosition(const MotionState& motion) {
    const ext offset = static_cast<ext>(motion.RevArmPositions[0]) - motion.RevArmPos;
    return std::isfinite(offset) ? Round(offset * 1000) : 0;
}

void ResetAllModel(Model& m) {
    // Frame reset, then cylinder reset: defaults, slots emptied and the increment cleared.
    ApplyFrameDefaults(m);
    ClearDynVarSlots(m.dyn);
    m.dyn.Increment = 0;
    ApplyCylDefaults(m);
    ClearDynVarSlots(m.dyn);
    m.dyn.Increment = 0;
    CentreRevArm(m);
    // "Cen": the arm at mid gear.
    m.motion.RevArmPos = m.motion.RevArmPositions[0];
    NormalView(m.view);
    m.design.DesignName = "Nominal";
    m.diagrams.DiagramScale = 1.5f;
    m.display.DynVarOn = false;
    ClearUndoStack(m.undo);
    m.display.UndoOn = false;
}

}  // namespace tarn
