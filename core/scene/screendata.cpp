// The text layers of the main picture: the undo line, the read-outs, the geometry-error signal,
// the line-tool prompt, the cut-off percentages and the dynamic-variable names.
#include <cmath>
#include <string>

#include "core/model/numfmt.h"
#include "core/model/solver.h"
#include "core/scene/mainscene.h"
#include "core/scene/refpoints.h"
#include "core/variation/undo.h"

namespace tarn {

namespace {

// Text at a position given at the normal font scale.
void ScaledText(const Model& m, Canvas& c, int x, int y, const std::string& text) {
    c.TextOut(Round(static_cast<ext>(x) * m.display.FontScaleX),
              Round(static_cast<ext>(y) * m.display.FontScaleY), text);
}

void DrawReadouts(const Model& m, Canvas& c) {
    ScaledText(m, c, 199, 25, "Pan Vert");
    ScaledText(m, c, 199, 39, "Pan Horz");
    ScaledText(m, c, 199, 53, "Zoom");
    const ext deg = 180 / kPi;
    const struct {
        int x, y;
        const char* label;
        ext value;
        int w, d;
    } rows[] = {
        {459, 25, "Rev Arm ", m.motion.RevArmPos, 6, 3},
        {459, 39, "Driv Ang ", m.motion.CrankAngle, 6, 2},
        {459, 53, "Step Ang", m.motion.StepSetting, 6, 2},
        {545, 25, "Piston % ", ShownPistonPos(m) / 6.4L + 0.00001L, 6, 2},
        {545, 37, "ValveCen", m.solved.ValveDisp, 7, 3},
        {545, 49, "ValveFSt", m.solved.FrontSteamOpen, 7, 3},
        {545, 61, "ValveFEx", m.solved.FrontExhaustOpen, 7, 3},
        {545, 73, "ValveRSt", m.solved.RearSteamOpen, 7, 3},
        {545, 85, "ValveREx", m.solved.RearExhaustOpen, 7, 3},
        {545, 97, "ValvLevA", m.solved.LowerLeverAngle * deg, 7, 2},
    };
    for (const auto& r : rows)
        ScaledText(m, c, r.x, r.y, std::string(r.label) + Str(r.value, r.w, r.d) + "  ");
}

void GeometryErrorSignal(Model& m, SceneHost& host) {
    if (!m.solved.GeometryError) return;
    m.readouts.GeometryErrorFrames += 1;
    if (m.readouts.GeometryErrorFrames < 10) host.SetErrorIndicator(true);
    if (m.readouts.GeometryErrorFrames == 10) {
        host.SetErrorIndicator(false);
        host.Sound().PlayError();
    }
    if (m.readouts.GeometryErrorFrames > 20) {
        m.readouts.GeometryErrorFrames = 0;
        m.solved.GeometryError = false;
    }
}

void LineToolPrompt(const Model& m, Canvas& c) {
    if (!m.overlay.PivotPickPending) return;
    static constexpr const char* kOnePivot[] = {"STOP MOTION AND SELECT PIVOT 1",
                                                "USE LEFT MOUSE BUTTON",
                                                "MOVE MOTION IF NECESSARY TO CLEAR PIVOT"};
    static constexpr const char* kTwoPivots[] = {"STOP MOTION AND SELECT PIVOT 1 AND PIVOT 2",
                                                 "USE LEFT MOUSE BUTTON FIRST THEN RIGHT",
                                                 "MOVE MOTION IF NECESSARY TO CLEAR PIVOTS"};
    const auto& lines = m.overlay.PivotPickReference == 3 ? kTwoPivots : kOnePivot;
    c.SetFontColor(kRed);
    c.SetFontBold(true);
    const int ys[] = {130, 143, 156};
    for (int i = 0; i < 3; ++i) ScaledText(m, c, 10, ys[i], lines[i]);
    c.SetFontColor(kBlack);
    c.SetFontBold(false);
}

// Detects a port closing between the previous frame and this one and shows the piston
// position at the closing, interpolated linearly, for a while.
void CutoffEnd(Model& m, Canvas& c, ext piston, f32 prevOpen, f32 open, bool rear,
               std::string& text, i32& frames, int y, const char* label) {
    if (prevOpen > 0 && !(open >= 0)) {
        frames = Round(400 / (static_cast<ext>(m.motion.StepAngle) + 0.1L));
        const ext pp = m.readouts.PrevPistonPos;
        const ext cpos = pp - prevOpen * (piston - pp) / (static_cast<ext>(open) - prevOpen);
        text = Str((rear ? 640 - cpos : cpos) / 6.4L, 4, 1);
    }
    if (m.motion.StepAngle != 0 && m.motion.StepAngle < 23) {
        ScaledText(m, c, 545, y, label);
        if (frames > 0) {
            ScaledText(m, c, 600, y, text);
            frames -= 1;
        }
    }
}

void Cutoffs(Model& m, Canvas& c) {
    // PistonPos, or the crosshead's travel with the true-travel switch on.
    const f32 piston = ToFloat(ShownPistonPos(m));
    CutoffEnd(m, c, piston, m.readouts.PrevFrontSteamOpen, m.solved.FrontSteamOpen, false,
              m.readouts.FrontCutoffText, m.readouts.FrontCutoffFrames, 109, "FrontCO% ");
    CutoffEnd(m, c, piston, m.readouts.PrevRearSteamOpen, m.solved.RearSteamOpen, true,
              m.readouts.RearCutoffText, m.readouts.RearCutoffFrames, 121, "RearCO% ");
    m.readouts.PrevPistonPos = piston;
    m.readouts.PrevFrontSteamOpen = m.solved.FrontSteamOpen;
    m.readouts.PrevRearSteamOpen = m.solved.RearSteamOpen;
}

void DynVarNames(const Model& m, Canvas& c, SceneHost& host) {
    if (!m.display.DynVarOn) return;
    if (!SlotIsEmpty(m.dyn, 1)) {
        const int ys[] = {71, 83, 95, 107};
        for (int k = 1; k <= 4; ++k) {
            ScaledText(m, c, 377, ys[k - 1], m.dyn.DynVarName[k]);
            ScaledText(m, c, 498, ys[k - 1], Str(static_cast<ext>(m.dyn.DynVarValue[k]), 6, 3));
        }
    } else {
        c.SetFontColor(kRed);
        ScaledText(m, c, 377, 71, "*******************************");
        ScaledText(m, c, 377, 81, "* First Select Dimensions *");
        ScaledText(m, c, 377, 95, "*******************************");
        c.SetFontColor(kBlack);
    }
    for (int k = 1; k <= 4; ++k) host.SetDynVarBarEnabled(k, !SlotIsEmpty(m.dyn, k));
}

}  // namespace

void DrawUndoLine(Model& m, Canvas& c, SceneHost& host) {
    if (!(m.display.ScreenData && m.display.UndoOn)) {
        host.SetUndoButton(false, 0);
        return;
    }
    m.readouts.UndoLine = BuildUndoLine(m);
    // Both co-ordinates follow the horizontal scale.
    const ext s = m.display.FontScaleX;
    const int x = Round(320 * s);
    if (m.display.DynVarOn) {
        c.TextOut(x, Round(128 * s), m.readouts.UndoLine);
        host.SetUndoButton(true, Round(127 * s));
    } else {
        c.TextOut(x, Round(73 * s), m.readouts.UndoLine);
        host.SetUndoButton(true, Round(72 * s));
    }
}

void DrawScreenData(Model& m, Canvas& c, SceneHost& host) {
    DrawReadouts(m, c);
    GeometryErrorSignal(m, host);
    if (m.display.PivotDataOn) DrawPivotDataRows(m, c);
    LineToolPrompt(m, c);
    Cutoffs(m, c);
    if (m.display.RefPointsOn) DrawReferencePoints(m, c);
    DynVarNames(m, c, host);
}

}  // namespace tarn
