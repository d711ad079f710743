// The four diagrams on the recording canvas: curves, scales, port levels, the pressure model,
// the port events, the dynamic-variable block and undo line, and the motion state written back.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "core/model/dimensions.h"
#include "core/model/model.h"
#include "core/model/numfmt.h"
#include "core/model/recordingcanvas.h"
#include "core/model/solver.h"
#include "core/plots/plots.h"
#include "core/plots/steammodel.h"
#include "core/variation/dynvars.h"
#include "core/variation/undo.h"

using namespace tarn;
using Kind = CanvasOp::Kind;

namespace {

// The default design with the three positions the centre calculation lists: centre, normal
// reverse, normal forward.
Model Started(int positions = 3) {
    Model m;
    StartUp(m);
    m.diagrams.RevArmCount = positions;
    return m;
}

std::vector<CanvasOp> Lines(const RecordingCanvas& c, Rgb colour) {
    std::vector<CanvasOp> out;
    for (const auto& op : c.OfKind(Kind::Line))
        if (op.colour == colour) out.push_back(op);
    return out;
}

std::vector<CanvasOp> Texts(const RecordingCanvas& c, const std::string& text) {
    std::vector<CanvasOp> out;
    for (const auto& op : c.OfKind(Kind::Text))
        if (op.text == text) out.push_back(op);
    return out;
}

std::vector<CanvasOp> BoldTexts(const RecordingCanvas& c) {
    std::vector<CanvasOp> out;
    for (const auto& op : c.OfKind(Kind::Text))
        if (op.font.bold) out.push_back(op);
    return out;
}

// The curves of the oval: every line drawn after the last (red) port level.
std::vector<CanvasOp> OvalCurve(const RecordingCanvas& c) {
    const auto& ops = c.Ops();
    std::size_t start = 0;
    for (std::size_t i = 0; i < ops.size(); ++i)
        if (ops[i].kind == Kind::Line && ops[i].colour == kRed) start = i + 1;
    std::vector<CanvasOp> out;
    for (std::size_t i = start; i < ops.size(); ++i)
        if (ops[i].kind == Kind::Line) out.push_back(ops[i]);
    return out;
}

// Black lines of a curve in the sine diagram: one sweep step (8 pixels) wide.
std::vector<CanvasOp> SineCurve(const RecordingCanvas& c) {
    std::vector<CanvasOp> out;
    for (const auto& op : Lines(c, kBlack))
        if (op.c[0] >= 58 && op.c[2] - op.c[0] == 8) out.push_back(op);
    return out;
}

int TravelY(const Model& m, long double base, long double v) {
    return Round(base - v * 375.0L / m.diagrams.DiagramScale);
}

constexpr DiagramKind kAll[] = {DiagramKind::Sine, DiagramKind::Oval, DiagramKind::Steam,
                                DiagramKind::Port};

}  // namespace

// ---------------------------------------------------------------- the shared frame of drawings

TEST(DiagramDrawing, CrankAngleAndRevArmPosAreWrittenBack) {
    for (DiagramKind kind : kAll) {
        Model m = Started();
        m.motion.CrankAngle = 123.5f;
        m.motion.RevArmPos = m.motion.RevArmPositions[0] - 0.7f;
        const f32 arm = m.motion.RevArmPos;
        RecordingCanvas c;
        RedrawDiagram(kind, m, c);
        EXPECT_EQ(m.motion.CrankAngle, 123.5f) << static_cast<int>(kind);
        EXPECT_EQ(m.motion.RevArmPos, arm) << static_cast<int>(kind);
    }
    Model m = Started();
    m.motion.CrankAngle = 77;
    RecordingCanvas c;
    PortBothGraphs(m, c);
    EXPECT_EQ(m.motion.CrankAngle, 77.0f);
    EXPECT_EQ(m.diagrams.PortGraphMode, PortGraphMode::Both);
    EXPECT_TRUE(m.diagrams.PortCycleLabels);
}

TEST(DiagramDrawing, RedrawErasesFirstAndDrawDoesNot) {
    for (DiagramKind kind : kAll) {
        Model m = Started();
        RecordingCanvas c;
        RedrawDiagram(kind, m, c);
        ASSERT_FALSE(c.Ops().empty());
        EXPECT_EQ(c.Ops().front().kind, Kind::Clear);
        EXPECT_EQ(c.Ops().front().colour, kWhite);
        c.Reset();
        DrawDiagram(kind, m, c);
        EXPECT_TRUE(c.OfKind(Kind::Clear).empty());
    }
}

TEST(DiagramDrawing, NoPositionsDrawsOnlyTheFixedParts) {
    for (DiagramKind kind : {DiagramKind::Sine, DiagramKind::Oval, DiagramKind::Steam}) {
        Model none = Started(0);
        RecordingCanvas c0;
        DrawDiagram(kind, none, c0);
        Model one = Started(1);
        RecordingCanvas c1;
        DrawDiagram(kind, one, c1);
        // The fixed parts are the same; a position only adds to them.
        ASSERT_LT(c0.Ops().size(), c1.Ops().size());
        for (std::size_t i = 0; i < c0.Ops().size(); ++i) {
            const auto& a = c0.Ops()[i];
            const auto& b = c1.Ops()[i];
            EXPECT_EQ(a.kind, b.kind);
            EXPECT_TRUE(std::equal(a.c, a.c + 8, b.c)) << i;
            EXPECT_EQ(a.text, b.text);
        }
        EXPECT_TRUE(BoldTexts(c0).empty());
        EXPECT_EQ(c0.FindText("Lead"), nullptr);
        EXPECT_EQ(c0.FindText("Cen"), nullptr);
        EXPECT_TRUE(Lines(c0, kGreen).empty());
    }
}

TEST(DiagramDrawing, DynamicVariableBlockShowsNoticeWhileNoDimensionIsChosen) {
    Model m = Started();
    m.display.DynVarOn = true;
    RecordingCanvas c;
    DiagramControls ui = DrawSineDiagram(m, c);
    EXPECT_TRUE(ui.barsVisible);
    EXPECT_TRUE(ui.barsEnabledSet);
    for (bool e : ui.barEnabled) EXPECT_FALSE(e);
    const CanvasOp* notice = c.FindText("* First Select Dimensions *");
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->c[0], 235);
    EXPECT_EQ(notice->c[1], 12);
    EXPECT_EQ(notice->colour, kRed);
    EXPECT_EQ(Texts(c, "*******************************").size(), 2u);
    // The font colour is black again afterwards.
    c.Reset();
    m.display.DynVarOn = false;
    ui = DrawSineDiagram(m, c);
    EXPECT_FALSE(ui.barsVisible);
    EXPECT_FALSE(ui.barsEnabledSet);
    EXPECT_EQ(c.FindText("* First Select Dimensions *"), nullptr);
}

TEST(DiagramDrawing, DynamicVariableBlockListsTheSlotsAndEnablesFilledBars) {
    Model m = Started();
    m.display.DynVarOn = true;
    m.display.FontScaleX = 1.27f;
    m.display.FontScaleY = 1.22f;
    m.dyn.DynVarId[0] = 6;
    m.dyn.DynVarValue[0] = 5.0f;
    m.dyn.DynVarName[0] = "Link Radius";
    PushDynVar(m);
    m.dyn.DynVarId[0] = 2;
    m.dyn.DynVarValue[0] = 3.0f;
    m.dyn.DynVarName[0] = "Stroke";
    PushDynVar(m);
    RecordingCanvas c;
    DiagramControls ui = DrawOvalDiagram(m, c);
    EXPECT_TRUE(ui.barsVisible);
    EXPECT_EQ(ui.barEnabled, (std::array<bool, 4>{true, true, false, false}));
    const CanvasOp* stroke = c.FindText("Stroke");
    ASSERT_NE(stroke, nullptr);
    EXPECT_EQ(stroke->c[0], Round(235 * 1.27L));
    EXPECT_EQ(stroke->c[1], 2);  // the first row is not scaled
    const CanvasOp* link = c.FindText("Link Radius");
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->c[1], Round(14 * static_cast<long double>(1.22f)));
    ASSERT_NE(c.FindText(" 5.000"), nullptr);
    EXPECT_EQ(c.FindText(" 5.000")->c[0], Round(363 * static_cast<long double>(1.27f)));
    EXPECT_EQ(c.FindText("* First Select Dimensions *"), nullptr);
}

TEST(DiagramDrawing, UndoLineIsRebuiltThenPaintedOnceOldToNew) {
    Model m = Started();
    m.undo.EditChanged = true;
    PushUndo(m);
    m.undo.UndoId[1] = 6;
    m.undo.UndoOld[1] = 5.0f;
    m.undo.UndoNew[1] = 5.25f;
    m.undo.UndoName[1] = "Link Radius";
    m.undo.EditChanged = false;
    m.display.UndoOn = true;
    for (DiagramKind kind : kAll) {
        m.readouts.UndoLine = "stale";
        RecordingCanvas c;
        DiagramControls ui = RedrawDiagram(kind, m, c);
        EXPECT_TRUE(ui.undoVisible);
        const std::string expected = " 1- Link Radius  5.000 to  5.250" + std::string(46, ' ');
        EXPECT_EQ(m.readouts.UndoLine, expected);
        const auto painted = Texts(c, expected);
        // Both graphs of the port diagram paint it once each.
        EXPECT_EQ(
            painted.size(),
            m.diagrams.PortGraphMode == PortGraphMode::Both && kind == DiagramKind::Port ? 2u : 1u);
        ASSERT_FALSE(painted.empty());
        EXPECT_EQ(painted[0].c[0], 150);
        EXPECT_EQ(painted[0].c[1], 55);
        EXPECT_EQ(c.FindText("stale"), nullptr);
    }
    m.display.UndoOn = false;
    RecordingCanvas c;
    EXPECT_FALSE(DrawSineDiagram(m, c).undoVisible);
}

TEST(DiagramDrawing, UndoLineKeepsItsPaddingAndLengthLimits) {
    Model m = Started();
    m.undo.UndoCount = 3;
    m.undo.UndoName[1] = "Cyl ctr to Driver ctr";
    m.undo.UndoOld[1] = 16.0f;
    m.undo.UndoNew[1] = 16.5f;
    EXPECT_EQ(DiagramUndoLine(m), BuildUndoLine(m) + std::string(46, ' '));
    // Values that print far wider than their fields: the line is cut at 72 before the padding
    // and at 118 in all.
    m.undo.UndoOld[1] = 3.0e38f;
    m.undo.UndoNew[1] = -3.0e38f;
    const std::string line = DiagramUndoLine(m);
    EXPECT_EQ(line.size(), 118u);
    EXPECT_EQ(line.substr(0, 72), BuildUndoLine(m).substr(0, 72));
    EXPECT_EQ(line.substr(72), std::string(46, ' '));
}

// ---------------------------------------------------------------- sine diagram

TEST(SineDiagram, SweepAnglesRunThrough360) {
    EXPECT_EQ(SineSweepAngle(7), 328.0f);
    EXPECT_EQ(SineSweepAngle(11), 360.0f);
    EXPECT_EQ(SineSweepAngle(12), 8.0f);
    EXPECT_EQ(SineSweepAngle(73), 136.0f);
}

TEST(SineDiagram, CurvesRunFrom58To586WithSixtySevenSteps) {
    Model m = Started();
    RecordingCanvas c;
    DrawSineDiagram(m, c);
    const auto curve = SineCurve(c);
    ASSERT_EQ(curve.size(), 3u * 66u);
    for (int n = 0; n < 3; ++n) {
        const auto* first = &curve[66 * n];
        EXPECT_EQ(first[0].c[0], 58);
        EXPECT_EQ(first[65].c[2], 586);
        for (int s = 1; s < 66; ++s) {
            EXPECT_EQ(first[s].c[0], first[s - 1].c[2]);
            EXPECT_EQ(first[s].c[1], first[s - 1].c[3]);
        }
    }
    // The curve of position 2 is the valve's travel against crank angle: y = 215 is the valve at
    // its centre, the valve ahead of centre draws above it, and the curve's height is the full
    // travel at 375 pixels an inch shrunk by the diagram scale of 1.5, i.e. 250 a unit.
    Model probe = Started();
    probe.motion.RevArmPos = probe.motion.RevArmPositions[2];
    const auto* second = &curve[66];
    double lo = 1e9, hi = -1e9;
    int top = 1000, bottom = -1000, highStep = 0;
    for (int j = 8; j <= 73; ++j) {
        probe.motion.CrankAngle = SineSweepAngle(j);
        SolveLinkage(probe);
        const double v = probe.solved.ValveDisp;
        const int y = second[j - 8].c[3];
        const bool above = y<215, ahead = v> 0;
        if (std::fabs(v) > 0.01) {
            EXPECT_EQ(above, ahead) << j;
        }
        if (v > hi) hi = v, highStep = j;
        lo = std::min(lo, v);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    EXPECT_NEAR(bottom - top, (hi - lo) * 250.0, 1.0);
    EXPECT_EQ(second[highStep - 8].c[3], top);  // highest where the valve is furthest forward
    // Each curve carries its number in bold at its start.
    const auto bold = BoldTexts(c);
    ASSERT_EQ(bold.size(), 3u);
    EXPECT_EQ(bold[1].text, " 2");
    EXPECT_EQ(bold[1].c[0], 45);
    EXPECT_EQ(bold[1].c[1], second[0].c[1]);
}

TEST(SineDiagram, ScaleKeepsEveryTickAt375AndThinsAbove) {
    auto ticks = [](float scale, int x1) {
        Model m = Started(0);
        m.diagrams.DiagramScale = scale;
        RecordingCanvas c;
        DrawSineDiagram(m, c);
        int n = 0;
        for (const auto& op : Lines(c, kBlack))
            if (op.c[0] == x1 && op.c[2] == 44 && op.c[1] == op.c[3]) ++n;
        return n;
    };
    EXPECT_EQ(ticks(3.75f, 39), 151);  // h = -75..75
    EXPECT_EQ(ticks(3.75f, 36), 31);
    EXPECT_EQ(ticks(3.76f, 39), 31);
    EXPECT_EQ(ticks(3.76f, 36), 7);
    // Labels: every major tick carries one, reading in units with positive above the centre.
    Model m = Started(0);
    RecordingCanvas c;
    DrawSineDiagram(m, c);
    const CanvasOp* top = c.FindText("0.6");
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->c[0], 14);
    EXPECT_EQ(top->c[1], Round(210 - 6 * 37.5L / 1.5L));
    ASSERT_NE(c.FindText("-0.6"), nullptr);
}

TEST(SineDiagram, ExtremeScalesStayInsideTheWindowAndEnd) {
    for (float scale : {0.1f, 1000.0f}) {
        Model m = Started();
        m.diagrams.DiagramScale = scale;
        RecordingCanvas c;
        DrawSineDiagram(m, c);
        for (const auto& op : Lines(c, kBlack))
            if (op.c[2] == 44 && op.c[1] == op.c[3]) {
                EXPECT_GE(op.c[1], 0);
                EXPECT_LT(op.c[1], 414);
            }
    }
}

TEST(SineDiagram, PortLevelsFollowTheDimensionsAtOnce) {
    Model m = Started(0);
    // The laps change with the valve and are drawn from this drawing's own solve.
    m.design.Cyl.ValveCtrToInsideEdge = 1.0f;
    RecordingCanvas c;
    DrawSineDiagram(m, c);
    const auto green = Lines(c, kLime);
    const auto red = Lines(c, kRed);
    ASSERT_EQ(green.size(), 3u);
    ASSERT_EQ(red.size(), 3u);
    const long double lap = 1.2L - 1.0f;  // ValveBoreCtrToPort - ValveCtrToInsideEdge
    EXPECT_EQ(green[0].c[1], Round(215 - static_cast<f32>(lap) * 375.0L / 1.5L));
    EXPECT_EQ(green[0].c[0], 15);
    EXPECT_EQ(green[0].c[2], 583);
    EXPECT_EQ(red[0].c[1], Round(215 + static_cast<f32>(lap) * 375.0L / 1.5L));
    const CanvasOp* t = c.FindText("Front Steam Port Open");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->c[0], 60);
    EXPECT_EQ(t->c[1], Round(199 - m.solved.FrontSteamLap * 375.0L / 1.5L));
}

TEST(SineDiagram, PositionListAndMidGearColumn) {
    Model m = Started();
    // Position 3 lies within 0.05 of the centre but not on it.
    m.motion.RevArmPositions[3] = m.motion.RevArmPositions[0] + 0.01f;
    RecordingCanvas c;
    DrawSineDiagram(m, c);
    const auto cen = Texts(c, "Cen");
    ASSERT_EQ(cen.size(), 1u);
    EXPECT_EQ(cen[0].c[0], 533);
    EXPECT_EQ(cen[0].c[1], 24);
    EXPECT_EQ(Texts(c, "Rev").size(), 2u);
    EXPECT_EQ(Texts(c, "Lead").size(), 4u);  // two per mid-gear position
    // The values of the first (exact centre) column: the extremes of the valve stem joint
    // over the sweep, front lead from the largest.
    Model probe = Started();
    probe.motion.RevArmPos = probe.motion.RevArmPositions[1];
    f32 lo = 1e9f, hi = -1e9f;
    for (int j = 7; j <= 73; ++j) {
        probe.motion.CrankAngle = SineSweepAngle(j);
        SolveLinkage(probe);
        lo = std::min(lo, probe.pivots.PivotX[4]);
        hi = std::max(hi, probe.pivots.PivotX[4]);
    }
    std::vector<std::string> at592;
    for (const auto& op : c.OfKind(Kind::Text))
        if (op.c[0] == 592) at592.push_back(op.text);
    ASSERT_EQ(at592.size(), 12u);
    // The default valve is narrower than the ring distance: the "otherwise" case.
    const long double mid = (static_cast<long double>(lo) + hi) / 2;
    EXPECT_EQ(at592[0], Str(probe.solved.FrontAdmitNeg + static_cast<long double>(hi), 6, 3));
    EXPECT_EQ(at592[1], Str(probe.solved.FrontAdmitAt - mid, 6, 3));
    EXPECT_EQ(at592[5], Str(probe.solved.RearAdmitAt - static_cast<long double>(lo), 6, 3));
    // Lead is small and positive at mid gear for the default design.
    const double lead = static_cast<double>(ParseNumber(at592[0]));
    EXPECT_GT(lead, 0.0);
    EXPECT_LT(lead, 0.1);
}

// ---------------------------------------------------------------- oval diagram

TEST(OvalDiagram, CurvesAreClosedAndLabelledAt300And334) {
    EXPECT_EQ(OvalSweepAngle(7), 32.0f);
    EXPECT_EQ(OvalSweepAngle(11), 0.0f);
    EXPECT_EQ(OvalSweepAngle(12), 352.0f);
    EXPECT_EQ(OvalSweepAngle(52), 32.0f);
    Model m = Started();
    RecordingCanvas c;
    DrawOvalDiagram(m, c);
    const auto curve = OvalCurve(c);
    ASSERT_EQ(curve.size(), 3u * 45u);
    for (int n = 0; n < 3; ++n) {
        const auto& first = curve[45 * n];
        const auto& last = curve[45 * n + 44];
        EXPECT_EQ(first.c[0], last.c[2]);
        EXPECT_EQ(first.c[1], last.c[3]);
        for (const auto* op = &first; op <= &last; ++op) {
            EXPECT_GE(std::min(op->c[0], op->c[2]), 44);
            EXPECT_LE(std::max(op->c[0], op->c[2]), 584);
        }
    }
    const auto bold = BoldTexts(c);
    ASSERT_EQ(bold.size(), 6u);
    Model probe = Started();
    probe.motion.RevArmPos = probe.motion.RevArmPositions[1];
    probe.motion.CrankAngle = 280;
    SolveLinkage(probe);
    EXPECT_EQ(bold[0].c[0], 300);
    EXPECT_EQ(bold[0].c[1],
              TravelY(probe, 213, probe.solved.ValveDisp));  // narrow valve: 213 first
    probe.motion.CrankAngle = 88;
    SolveLinkage(probe);
    EXPECT_EQ(bold[1].c[0], 334);
    EXPECT_EQ(bold[1].c[1], TravelY(probe, 204, probe.solved.ValveDisp));
}

TEST(OvalDiagram, PistonAxisRunsFrom584To44) {
    Model m = Started(1);
    RecordingCanvas c;
    DrawOvalDiagram(m, c);
    int lo = 1000, hi = -1;
    for (const auto& op : OvalCurve(c)) {
        lo = std::min({lo, op.c[0], op.c[2]});
        hi = std::max({hi, op.c[0], op.c[2]});
    }
    EXPECT_EQ(hi, 584);  // crank angle 0 is a sweep step
    EXPECT_EQ(lo, 44);   // and so is 180
}

TEST(OvalDiagram, PortLevelsFollowTheDimensionsAtOnce) {
    Model m = Started(0);
    m.design.Cyl.ValveCtrToInsideEdge = 1.0f;  // not solved since: the drawing solves first
    RecordingCanvas c;
    DrawOvalDiagram(m, c);
    const auto green = Lines(c, kLime);
    ASSERT_EQ(green.size(), 3u);
    EXPECT_EQ(green[0].c[1], Round(215 - static_cast<f32>(1.2L - 1.0f) * 375.0L / 1.5L));
}

TEST(OvalDiagram, ACrankEndShorterThanHalfTheStrokeTurnsTheRadicand) {
    Model m = Started(1);
    m.design.Frame.MainRodCrankEnd = 1.0f;  // half the stroke is 1.5
    m.solved.GeometryError = false;
    RecordingCanvas c;
    DrawOvalDiagram(m, c);
    EXPECT_TRUE(m.solved.GeometryError);
    const auto curve = OvalCurve(c);
    ASSERT_EQ(curve.size(), 45u);
    // At crank angle 88 the radicand 1 - (1.5 sin 88)^2 is used with its sign turned.
    const long double r = 88 * kPi / 180, half = std::sin(r) * 1.5L;
    const int x88 =
        Round(314 + 270.5L * (std::cos(r) + 2 * std::sqrt(half * half - 1) / 3 - 2.0L / 3));
    bool found = false;
    for (const auto& op : curve) found = found || op.c[0] == x88 || op.c[2] == x88;
    EXPECT_TRUE(found) << x88;
}

// ---------------------------------------------------------------- steam diagram

TEST(SteamModel, AdmissionFloorsTheOpeningAndCapsThePressure) {
    Model m = Started();
    SteamEnd e;
    e.front = true;
    e.phase = SteamPhase::Compression;
    e.pressure = 10;
    m.solved.FrontSteamOpen = 0.001f;
    StepSteamEnd(m, e, 100, 100);
    EXPECT_EQ(m.solved.FrontSteamOpen, 0.005f);
    EXPECT_NEAR(e.pressure, 10 + 0.005f * 100000.0 / 145, 1e-4);
    EXPECT_EQ(e.phase, SteamPhase::Admission);
    m.solved.FrontSteamOpen = 1.0f;
    StepSteamEnd(m, e, 100, 100);
    EXPECT_EQ(e.pressure, 303.0f);
    // The rear end mirrors the piston position.
    SteamEnd r;
    r.front = false;
    r.phase = SteamPhase::Admission;
    m.solved.RearSteamOpen = 0.004f;
    StepSteamEnd(m, r, 600, 600);
    EXPECT_EQ(m.solved.RearSteamOpen, 0.005f);
    EXPECT_NEAR(r.pressure, 0.005f * 100000.0 / 85, 1e-4);
}

TEST(SteamModel, ExhaustFloorsAtFiveAndExpansionFollowsThePiston) {
    Model m = Started();
    SteamEnd e;
    e.phase = SteamPhase::Expansion;
    e.pressure = 200;
    m.solved.FrontSteamOpen = -0.1f;
    m.solved.FrontExhaustOpen = -0.1f;
    StepSteamEnd(m, e, 200, 100);
    EXPECT_NEAR(e.pressure, 200.0 * 200 / 300 * 0.96, 1e-3);
    m.solved.FrontExhaustOpen = 0.1f;
    StepSteamEnd(m, e, 300, 200);
    EXPECT_EQ(e.phase, SteamPhase::Exhaust);
    EXPECT_NEAR(e.release, 128.0, 1e-3);
    for (int i = 0; i < 40; ++i) StepSteamEnd(m, e, 400, 300);
    EXPECT_EQ(e.pressure, 5.0f);
    // Compression once the exhaust closes.
    m.solved.FrontExhaustOpen = -0.01f;
    StepSteamEnd(m, e, 99, 100);
    EXPECT_EQ(e.phase, SteamPhase::Compression);
    EXPECT_NEAR(e.pressure, 5 + std::pow(1.0 + 0.3, 4), 1e-4);
}

TEST(SteamModel, PistonPositionsOutsideTheStrokeAreClamped) {
    EXPECT_EQ(ClampToStroke(-3), 0.0f);
    EXPECT_EQ(ClampToStroke(700), 640.0f);
    EXPECT_EQ(ClampToStroke(std::nanf("")), 0.0f);
    EXPECT_EQ(ClampToStroke(320), 320.0f);
}

TEST(SteamDiagram, PressuresStayBetweenFiveAnd303) {
    for (float stroke : {3.0f, 2.0f, 5.0f}) {
        Model m = Started();
        m.design.StrokeLen = stroke;
        RecordingCanvas c;
        DrawSteamDiagram(m, c);
        auto lines = Lines(c, kGreen);
        const auto red = Lines(c, kRed);
        lines.insert(lines.end(), red.begin(), red.end());
        ASSERT_FALSE(lines.empty());
        for (const auto& op : lines) {
            EXPECT_GE(std::min(op.c[1], op.c[3]), Round(343 - 0.9L * 303));
            EXPECT_LE(std::max(op.c[1], op.c[3]), Round(343 - 0.9L * 5));
            EXPECT_GE(std::min(op.c[0], op.c[2]), 44);
            EXPECT_LE(std::max(op.c[0], op.c[2]), 584);
        }
    }
}

TEST(SteamDiagram, CutOffRowsAndCurveNumbers) {
    Model m = Started(1);
    RecordingCanvas c;
    DrawSteamDiagram(m, c);
    const auto cut = Texts(c, "%CutOff");
    ASSERT_GE(cut.size(), 2u);
    bool frontSeen = false, rearSeen = false;
    for (const auto& op : cut) {
        if (op.c[0] == 587 && op.c[1] == 231 && op.colour == kGreen) frontSeen = true;
        if (op.c[0] == 2 && op.c[1] == 231 && op.colour == kRed) rearSeen = true;
    }
    EXPECT_TRUE(frontSeen);
    EXPECT_TRUE(rearSeen);
    // Position 1's cut-off figures stand in the row at y 246, in black.
    std::vector<CanvasOp> right, left;
    for (const auto& op : c.OfKind(Kind::Text)) {
        if (op.c[1] != 246) continue;
        EXPECT_EQ(op.colour, kBlack);
        if (op.c[0] == 600) right.push_back(op);
        if (op.c[0] == 15) left.push_back(op);
    }
    ASSERT_FALSE(right.empty());
    ASSERT_FALSE(left.empty());
    // At mid gear the cut-off is early in the stroke at both ends.
    const double front = static_cast<double>(ParseNumber(right.back().text));
    const double rear = static_cast<double>(ParseNumber(left.back().text));
    EXPECT_GT(front, 0.0);
    EXPECT_LT(front, 50.0);
    EXPECT_GT(rear, 0.0);
    EXPECT_LT(rear, 50.0);
    ASSERT_NE(c.FindText("1"), nullptr);
}

TEST(SteamDiagram, NormalGearCutsOffLaterThanMidGear) {
    // Position 1 is mid gear; 2 is normal reverse, 3 normal forward.
    Model m = Started();
    RecordingCanvas c;
    DrawSteamDiagram(m, c);
    auto last = [&](int x, int y) {
        std::string t;
        for (const auto& op : c.OfKind(Kind::Text))
            if (op.c[0] == x && op.c[1] == y) t = op.text;
        return t.empty() ? -1.0 : static_cast<double>(ParseNumber(t));
    };
    EXPECT_GT(last(600, 13 * 3 + 233), last(600, 13 * 1 + 233));
    EXPECT_GT(last(600, 13 * 2 + 233), last(600, 13 * 1 + 233));
}

TEST(SteamDiagram, LeavesTheMainWindowsCutOffMemoryAlone) {
    Model m = Started();
    m.readouts.PrevPistonPos = 111;
    m.readouts.PrevFrontSteamOpen = 0.25f;
    m.readouts.PrevRearSteamOpen = -0.5f;
    RecordingCanvas c;
    DrawSteamDiagram(m, c);
    DrawPortDiagram(m, c);
    EXPECT_EQ(m.readouts.PrevPistonPos, 111.0f);
    EXPECT_EQ(m.readouts.PrevFrontSteamOpen, 0.25f);
    EXPECT_EQ(m.readouts.PrevRearSteamOpen, -0.5f);
}

// ---------------------------------------------------------------- port diagram

TEST(PortDiagram, EachSegmentSpansOneRowAndRowZeroOnlySeeds) {
    for (const bool forward : {true, false}) {
        Model m = Started();
        m.diagrams.PortGraphMode = forward ? PortGraphMode::Forward : PortGraphMode::Reverse;
        m.diagrams.PortCycleLabels = false;  // the annotation takes the last event's colour
        RecordingCanvas c;
        DrawPortDiagram(m, c);
        const Rgb colours[2] = {forward ? kTeal : kGreen, forward ? kRed : kMaroon};
        for (Rgb colour : colours) {
            const auto lines = Lines(c, colour);
            ASSERT_GE(lines.size(), 4u * 18u) << forward;
            for (const auto& op : lines) {
                EXPECT_EQ(op.c[1] - op.c[3], 16);
                EXPECT_LE(op.c[3], 343 - 16);  // nothing ends on row 0
                EXPECT_GE(op.c[3], 343 - 16 * 18);
                EXPECT_GE(std::min(op.c[0], op.c[2]), 9);
                EXPECT_LE(std::max(op.c[0], op.c[2]), 549);
            }
        }
    }
}

TEST(PortDiagram, FirstFiringDrawsNothing) {
    // With no travel at all every row is the centre setting: events fire in each row, the first
    // firing only seeds, and every later one draws a segment from the row below.
    Model m = Started();
    m.design.RevArmToCentMax = 0;
    m.design.RevArmToCentNorm = 0;
    m.diagrams.PortCycleLabels = false;
    RecordingCanvas c;
    DrawPortDiagram(m, c);
    const auto teal = Lines(c, kTeal);
    ASSERT_FALSE(teal.empty());
    // Rows 1..18 each draw the same segments (a vertical line per event), row 0 none.
    EXPECT_EQ(teal.size() % 18, 0u);
    for (const auto& op : teal) EXPECT_EQ(op.c[0], op.c[2]);
    // The normal line lies on the top row with no 0/0.
    const auto blue = Lines(c, kBlue);
    ASSERT_EQ(blue.size(), 1u);
    EXPECT_EQ(blue[0].c[1], 55);
}

TEST(PortDiagram, LabelsLegendAndNormalLine) {
    Model m = Started();
    RecordingCanvas c;
    DrawPortDiagram(m, c);
    EXPECT_EQ(Lines(c, kBlue)[0].c[1], Round(343 - 288 * (1.6L / 1.8L)));
    ASSERT_NE(c.FindText("Forward"), nullptr);
    ASSERT_NE(c.FindText("Fwd."), nullptr);
    EXPECT_EQ(c.FindText("Front Port")->colour, kTeal);
    EXPECT_EQ(c.FindText("Maximum")->colour, kRed);
    EXPECT_EQ(c.FindText("Normal")->colour, kBlue);
    // The row values: centre at row 0, centre - max at row 18.
    EXPECT_NE(c.FindText(Str(m.motion.RevArmPositions[0], 7, 3)), nullptr);
    const CanvasOp* top =
        c.FindText(Str(static_cast<f32>(m.motion.RevArmPositions[0] - 1.8L), 7, 3));
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->c[0], 556);
    EXPECT_EQ(top->c[1], 336 - 16 * 18);
    // The cycle annotation, in bold.
    for (const char* t : {"Exp", "Exh", "Com", "Adm"}) {
        const CanvasOp* op = c.FindText(t);
        ASSERT_NE(op, nullptr) << t;
        EXPECT_TRUE(op->font.bold);
    }
}

TEST(PortDiagram, BothGraphsDrawsReverseOverForwardWithoutSecondAnnotation) {
    Model m = Started();
    RecordingCanvas c;
    PortBothGraphs(m, c);
    EXPECT_EQ(c.OfKind(Kind::Clear).size(), 1u);
    EXPECT_FALSE(Lines(c, kTeal).empty());
    EXPECT_FALSE(Lines(c, kMaroon).empty());
    EXPECT_EQ(Texts(c, "Exp").size(), 1u);
    EXPECT_NE(c.FindText("Rev."), nullptr);
    EXPECT_EQ(m.diagrams.PortGraphMode, PortGraphMode::Both);
    // A port redraw in mode Both draws both again.
    c.Reset();
    RedrawDiagram(DiagramKind::Port, m, c);
    EXPECT_FALSE(Lines(c, kMaroon).empty());
    EXPECT_FALSE(Lines(c, kTeal).empty());
}

TEST(PortDiagram, RowValuesOfAHugeGearLimitStayFinite) {
    // Mid gear at the far end of the float range and a gear limit as large: every row shows the
    // largest float of that sign, never an infinity.
    for (const bool forward : {true, false}) {
        Model m = Started();
        SetDimension(m, 8, forward ? -FLT_MAX : FLT_MAX);  // LinkPivotHorz carries mid gear
        CentreRevArm(m);
        m.design.RevArmToCentMax = FLT_MAX;
        m.design.RevArmToCentNorm = 1;
        m.diagrams.PortGraphMode = forward ? PortGraphMode::Forward : PortGraphMode::Reverse;
        RecordingCanvas c;
        DrawPortDiagram(m, c);
        for (const auto& op : c.OfKind(Kind::Text))
            EXPECT_EQ(op.text.find("Inf"), std::string::npos)
                << forward << " \"" << op.text << "\"";
        EXPECT_EQ(Texts(c, Str(forward ? -FLT_MAX : FLT_MAX, 7, 3)).size(), 19u) << forward;
    }
}
