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
    m.CrankAngle = 0;
    m.StepAngle = 10;
    for (int i : {0, 1, 5, 12, 19, 20}) {
        m.PivotX[i] = 0;
        m.PivotY[i] = 0;
    }
    m.PivotY[3] = 0;
    m.RevArmPositions.fill(0);
    m.DefaultZoom = 27;
    m.DefaultOffsetX = 115;
    m.DefaultOffsetY = 270;
    m.DesignName = "Nominal";
    m.Increment = 0.001f;
    m.LineIndex = 1;
    m.LineType.fill(-1);
    m.LineColor.fill(-1);
    m.LineRef.fill(-1);
    m.GraphicPosId = 0;
    m.DiagramScale = 1.5f;
    m.GraphicZoomFactor = 7.5f;
    m.ShowSteam = false;
    m.FrontCutoffText.clear();
    m.RearCutoffText.clear();
    m.Direction = "Fwd";
    m.DiagramStale = false;
    m.ViewPresets = kStartPresets;
    m.FontScaleX = 1.0f;
    m.FontScaleY = 1.0f;
    ClearDynVarSlots(m);
    m.RevArmCount = 0;
    m.BeepOnError = true;
    m.PrevFrontSteamOpen = 0;
    m.PrevRearSteamOpen = 0;
    // The densities start at 20 and are raised to the 25.0 floor by the first frame.
    m.FrontSteamDensity = 20.0f;
    m.RearSteamDensity = 20.0f;
}

void InitView(Model& m) {
    m.Zoom = m.ZoomBase = m.NormZoom = m.DefaultZoom;
    m.OffsetX = m.ZoomBaseX = m.NormOffsetX = m.DefaultOffsetX;
    m.OffsetY = m.ZoomBaseY = m.NormOffsetY = m.DefaultOffsetY;
}

void SetFrameDefaults(Model& m) {
    // The values come from the dimension table; this only lays them out as the record keeps them.
    Model t;
    WriteTableDefaults(t, DimDialog::Frame);
    WriteTableDefaults(t, DimDialog::Cylinder);
    auto& d = m.FrameDefaults;
    d.StrokeLen = t.StrokeLen;
    d.DriverDia = t.DriverDia;
    d.Block = t.Frame;
    d.LinkRadius = t.LinkRadius;
    d.RevArmToCentNorm = t.RevArmToCentNorm;
    d.RevArmToCentMax = t.RevArmToCentMax;
    d.LinkPivotHorz = t.PivotX[5];
    d.LinkPivotVert = t.PivotY[5];
    d.AnchorLinkPivotHorz = t.PivotX[12];
    d.AnchorLinkPivotVert = t.PivotY[12];
    d.DefCylCLAboveDriver = t.PivotY[3];
    d.ValveLeverUpperOffset = t.ValveLeverUpperOffset;
    m.PivotX[6] = m.PivotX[5];
    m.PivotY[6] = m.PivotY[5];
    m.PivotX[13] = m.PivotX[12];
    m.PivotY[13] = m.PivotY[12];
}

void SetCylDefaults(Model& m) {
    // The values come from the dimension table; CylSpare starts at 0.
    Model t;
    WriteTableDefaults(t, DimDialog::Cylinder);
    m.CylDefaults = t.Cyl;
    m.CylDefaults.CylSpare = 0;
    m.DefCylCLAboveDriver = t.PivotY[3];
    m.PivotY[4] = ToFloat(static_cast<ext>(m.Cyl.ValveCLToCylCL) + m.PivotY[3]);
}

void ApplyFrameDefaults(Model& m) {
    const auto& d = m.FrameDefaults;
    m.StrokeLen = d.StrokeLen;
    m.DriverDia = d.DriverDia;
    m.Frame = d.Block;
    m.LinkRadius = d.LinkRadius;
    m.RevArmToCentNorm = d.RevArmToCentNorm;
    m.RevArmToCentMax = d.RevArmToCentMax;
    m.PivotX[5] = m.PivotX[6] = d.LinkPivotHorz;
    m.PivotY[5] = m.PivotY[6] = d.LinkPivotVert;
    m.PivotX[12] = m.PivotX[13] = d.AnchorLinkPivotHorz;
    m.PivotY[12] = m.PivotY[13] = d.AnchorLinkPivotVert;
    m.ValveLeverUpperOffset = d.ValveLeverUpperOffset;
}

void ApplyCylDefaults(Model& m) {
    m.PivotY[3] = m.DefCylCLAboveDriver;
    m.Cyl = m.CylDefaults;
    m.PivotY[4] = ToFloat(static_cast<ext>(m.Cyl.ValveCLToCylCL) + m.PivotY[3]);
}

void CentreRevArm(Model& m) {
    // The reverse arm is turned so that the link's centre of curvature lies at the height of the
    // valve stem plus the upper lever, then moved 0.01 toward the cylinders.
    if (m.LinkRadius == 0.0f) m.LinkRadius = 0.00001f;
    ext r = m.LinkRadius;
    if (std::fabs(r) < 0.00001L) r = (r < 0) ? -0.00001L : 0.00001L;
    const ext c = static_cast<ext>(m.PivotX[6]) + 0.01L -
                  (static_cast<ext>(m.PivotY[4]) - m.PivotY[6] + m.Frame.ValveLeverUpperLen) *
                      m.Frame.ReverseArmLen / r;
    const f32 cf = ToFloat(c);
    m.PivotX[18] = cf;
    m.RevArmPositions[0] = cf;
    m.RevArmPositions[1] = cf;
    m.RevArmPositions[2] = ToFloat(static_cast<ext>(cf) + m.RevArmToCentNorm);
    m.RevArmPositions[3] = ToFloat(static_cast<ext>(cf) - m.RevArmToCentNorm);
    m.RevArmPos = cf;
}

void StartUp(Model& m) {
    InitModelState(m);
    InitView(m);
    SetFrameDefaults(m);
    SetCylDefaults(m);
    ApplyFrameDefaults(m);
    ApplyCylDefaults(m);
    CentreRevArm(m);
}

void NormalView(Model& m) {
    m.DefaultZoom = m.Zoom;
    m.DefaultOffsetX = m.OffsetX;
    m.DefaultOffsetY = m.OffsetY;
    m.OffsetY = m.NormOffsetY;
    m.OffsetX = m.NormOffsetX;
    m.Zoom = m.NormZoom;
}

void ClearDynVarSlots(Model& m) {
    for (int i = 0; i < 5; ++i) {
        m.DynVarId[i] = 0;
        m.DynVarValue[i] = 0;
        m.DynVarName[i] = EmptyCaption;
    }
}

bool SlotIsEmpty(const Model& m, int slot) {
    return slot < 0 || slot > 4 || m.DynVarName[slot] == EmptyCaption;
}

void ClearUndoStack(Model& m) {
    for (int i = 0; i <= kUndoDepth; ++i) {
        m.UndoId[i] = 0;
        m.UndoOld[i] = 0;
        m.UndoNew[i] = 0;
        m.UndoName[i].clear();
    }
    m.UndoCount = 0;
    m.UndoButtonsEnabled = false;
}

i32 RevArmBarMax(const Model& m) { return Round(static_cast<ext>(m.RevArmToCentMax) * 1000); }

void ResetAllModel(Model& m) {
    // Frame reset, then cylinder reset: defaults, slots emptied and the increment cleared.
    ApplyFrameDefaults(m);
    ClearDynVarSlots(m);
    m.Increment = 0;
    ApplyCylDefaults(m);
    ClearDynVarSlots(m);
    m.Increment = 0;
    CentreRevArm(m);
    // "Cen": the arm at mid gear.
    m.RevArmPos = m.RevArmPositions[0];
    NormalView(m);
    m.DesignName = "Nominal";
    m.DiagramScale = 1.5f;
    m.DynVarOn = false;
    ClearUndoStack(m);
    m.UndoOn = false;
}

}  // namespace tarn
