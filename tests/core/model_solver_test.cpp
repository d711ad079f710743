// The default design at start-up, the invariants kept by "set dimension", and the solver's
// positions, ranges and guards.
#include <cfloat>
#include <cmath>
#include <random>
#include <type_traits>

#include <gtest/gtest.h>

#include "core/model/dimensions.h"
#include "core/model/model.h"
#include "core/model/solver.h"
#include "core/variation/undo.h"
#include "started_model.h"

using namespace tarn;

namespace {

void SolveAt(Model& m, float angle) {
    m.motion.CrankAngle = angle;
    SolveLinkage(m);
    SolveValveEvents(m);
}

bool AllPivotsFinite(const Model& m) {
    for (int i = 0; i <= 20; ++i)
        if (!std::isfinite(m.pivots.PivotX[i]) || !std::isfinite(m.pivots.PivotY[i])) return false;
    return true;
}

}  // namespace

TEST(StartUp, DefaultDesignAndMidGear) {
    Model m = test::StartedModel();
    EXPECT_EQ(ValveCLAboveDriver(m.design), 2.5f);
    EXPECT_EQ(m.design.LinkPivotHorz, 6.207f);
    EXPECT_EQ(m.design.LinkPivotVert, 3.267f);
    EXPECT_EQ(m.design.AnchorLinkPivotHorz, 9.207f);
    EXPECT_EQ(m.design.AnchorLinkPivotVert, -1.677f);
    EXPECT_NEAR(m.motion.RevArmPositions[0], 6.247f, 1e-5);
    EXPECT_EQ(m.motion.RevArmPositions[1], m.motion.RevArmPositions[0]);
    EXPECT_NEAR(m.motion.RevArmPositions[2], 7.847f, 1e-5);
    EXPECT_NEAR(m.motion.RevArmPositions[3], 4.647f, 1e-5);
    EXPECT_EQ(m.motion.RevArmPos, m.motion.RevArmPositions[0]);
    EXPECT_EQ(RevArmBarMax(m.design), 1800);
    EXPECT_EQ(m.motion.Direction, Direction::Forward);
    EXPECT_FLOAT_EQ(m.motion.StepAngle, 10.0f);
    EXPECT_EQ(m.view.ViewPresets[15], 350.0f);
    EXPECT_EQ(m.view.ViewPresets[16], -4800.0f);
    EXPECT_EQ(m.overlay.LineType[0], -1.0f);
    EXPECT_EQ(m.overlay.LineColor[19], -1.0f);
    EXPECT_TRUE(SlotIsEmpty(m.dyn, 1));
    EXPECT_FLOAT_EQ(m.steam.FrontSteamDensity, 20.0f);
    EXPECT_EQ(m.design.Cyl.CylSpare, 0u);
}

TEST(StartUp, CentreRevArmGuardsTheLinkRadius) {
    Model m = test::StartedModel();
    m.design.LinkRadius = 0;
    CentreRevArm(m);
    EXPECT_FLOAT_EQ(m.design.LinkRadius, 0.00001f);
    EXPECT_TRUE(std::isfinite(m.motion.RevArmPositions[0]));
    // A tiny radius divides by +-0.00001 but is kept as entered.
    m.design.LinkRadius = -0.000001f;
    CentreRevArm(m);
    EXPECT_FLOAT_EQ(m.design.LinkRadius, -0.000001f);
    EXPECT_TRUE(std::isfinite(m.motion.RevArmPos));
    // Every radius closer to 0 than 0.00001 divides by 0.00001 with its own sign; only an
    // exact 0 is stored as 0.00001.
    auto centreWith = [](float r) {
        Model k = test::StartedModel();
        k.design.LinkRadius = r;
        CentreRevArm(k);
        return k.motion.RevArmPositions[0];
    };
    EXPECT_EQ(centreWith(0.000001f), centreWith(0.0f));
    EXPECT_EQ(centreWith(-0.000001f), centreWith(-0.00001f));
    EXPECT_NE(centreWith(0.000001f), centreWith(-0.000001f));
    EXPECT_NE(centreWith(0.000001f), centreWith(0.00002f));
}

TEST(Dimensions, TableCoversEveryIdWithItsCaption) {
    EXPECT_EQ(Dimensions().size(), 36u);
    EXPECT_EQ(FindDimension(115)->caption, "Valve End Width  Rear");
    EXPECT_EQ(FindDimension(17)->caption, "");
    EXPECT_FALSE(IsVariableDimension(17));
    EXPECT_FALSE(IsVariableDimension(18));
    EXPECT_TRUE(IsVariableDimension(19));
    EXPECT_FALSE(IsVariableDimension(118));
    Model m = test::StartedModel();
    for (const auto& d : Dimensions())
        EXPECT_FLOAT_EQ(GetDimension(m, d.id), d.defaultValue) << d.id;
}

// A typed name matches in any case, but only whole: "Radius" is no dimension.
TEST(Dimensions, FoundByTheirNameInAnyCase) {
    EXPECT_EQ(FindDimensionByName("radiusRODlen"), FindDimension(5));
    EXPECT_EQ(FindDimensionByName("ValvePortWidthFront"), FindDimension(113));
    EXPECT_EQ(FindDimensionByName("Radius"), nullptr);
    EXPECT_EQ(FindDimensionByName("RadiusRodLen "), nullptr);
    EXPECT_EQ(FindDimensionByName(""), nullptr);
}

TEST(Dimensions, ADimensionChangesTheDesignAndNothingElse) {
    // What follows from a dimension (the fixed pivots among it) is worked out when the design is
    // solved, so designs that compare equal solve alike.
    const Model start = test::StartedModel();
    for (const DimensionInfo& d : Dimensions()) {
        Model m = start;
        SetDimension(m, d.id, GetDimension(m, d.id) + 0.5f);
        EXPECT_FALSE(m.design == start.design) << d.id;
        m.design = start.design;
        EXPECT_TRUE(m == start) << d.id;
    }
}

TEST(Solver, PlacesTheFixedPivotsFromTheDesignAtEverySolve) {
    // Solved once with the built-in design, then changed: a solve, and a sweep's too, places the
    // link's and the anchor link's pivots with the copies the arm and the link turn about, and
    // the heights of the crosshead and of the valve stem.
    for (const bool sweep : {false, true}) {
        Model m = test::StartedModel();
        SolveLinkage(m);
        SetDimension(m, 7, 4.0f);
        SetDimension(m, 8, 6.0f);
        SetDimension(m, 14, -2.0f);
        SetDimension(m, 15, 9.0f);
        SetDimension(m, 102, 0.5f);
        SetDimension(m, 108, 3.0f);
        SetDimension(m, 999, 1.0f);  // unknown ids do nothing
        if (sweep) LinkageSweep(SolverPartsOf(m)).Solve();
        else SolveLinkage(m);
        const auto& X = m.pivots.PivotX;
        const auto& Y = m.pivots.PivotY;
        for (const int i : {5, 6}) {
            EXPECT_EQ(X[i], 6.0f) << i;
            EXPECT_EQ(Y[i], 4.0f) << i;
        }
        for (const int i : {12, 13}) {
            EXPECT_EQ(X[i], 9.0f) << i;
            EXPECT_EQ(Y[i], -2.0f) << i;
        }
        EXPECT_EQ(Y[3], 0.5f);
        EXPECT_EQ(Y[4], 3.5f);
        // The reverse arm stands on the new pivot 6.
        EXPECT_NEAR(std::hypot(X[18] - X[6], Y[18] - Y[6]), m.design.Frame.ReverseArmLen, 1e-5);
    }
}

TEST(ResetAll, RestoresBuiltInDesignButKeepsAnnotations) {
    Model m = test::StartedModel();
    SetDimension(m, 2, 4.0f);
    SetDimension(m, 102, 1.0f);
    SetDimension(m, 8, 6.5f);  // the link pivot
    m.design.DesignName = "Loaded";
    m.diagrams.DiagramScale = 3;
    m.view.ViewPresets[3] = 99;
    m.overlay.LineType[2] = 1;
    m.overlay.LineColor[2] = 255;
    m.overlay.LineRef[2] = 1;
    m.overlay.LineH1[3] = 1.25f;
    m.overlay.LinePivot1[3] = 9;
    m.overlay.LineIndex = 7;
    m.motion.RevArmPositions[2] = 1.0f;
    m.motion.RevArmPositions[5] = 5.5f;
    m.motion.RevArmPositions[9] = -2.5f;
    m.display.DynVarOn = true;
    m.dyn.DynVarId[1] = 2;
    m.dyn.DynVarValue[1] = 4.0f;
    m.dyn.DynVarName[1] = "Stroke";
    m.dyn.Increment = 0.01f;
    m.display.UndoOn = true;
    m.undo.UndoId[1] = 2;
    m.undo.UndoCount = 1;
    m.view.Zoom = 100;
    m.view.OffsetX = 10;
    m.closeup.GraphicZoomFactor = 20;
    m.motion.CrankAngle = 77;
    m.motion.StepSetting = 45;
    ResetAllModel(m);
    EXPECT_EQ(m.design.StrokeLen, 3.0f);
    EXPECT_EQ(m.design.CylCLAboveDriver, 0.0f);
    EXPECT_EQ(ValveCLAboveDriver(m.design), 2.5f);
    EXPECT_EQ(m.design.DesignName, "Nominal");
    EXPECT_EQ(m.diagrams.DiagramScale, 1.5f);
    EXPECT_FALSE(m.display.DynVarOn);
    EXPECT_FALSE(m.display.UndoOn);
    EXPECT_EQ(m.undo.UndoCount, 0);
    EXPECT_EQ(m.undo.UndoId[1], 0);
    EXPECT_EQ(m.view.Zoom, 27.0f);
    EXPECT_EQ(m.motion.RevArmPos, m.motion.RevArmPositions[0]);
    EXPECT_EQ(m.view.ViewPresets[3], 99.0f);
    EXPECT_EQ(m.overlay.LineType[2], 1.0f);
    EXPECT_EQ(m.overlay.LineIndex, 7);
    EXPECT_EQ(m.motion.RevArmPositions[5], 5.5f);
    // The rest of what it restores: the link pivot, mid gear from the built-in design, empty
    // slots, the "Norm" view (the view it left becomes the default).
    EXPECT_EQ(m.design.LinkPivotHorz, 6.207f);
    EXPECT_NEAR(m.motion.RevArmPositions[0], 6.247f, 1e-5);
    EXPECT_NEAR(m.motion.RevArmPositions[2], 7.847f, 1e-5);
    EXPECT_EQ(m.motion.RevArmPositions[1], m.motion.RevArmPositions[0]);
    for (int k = 0; k <= 4; ++k) {
        EXPECT_TRUE(SlotIsEmpty(m.dyn, k)) << k;
        EXPECT_EQ(m.dyn.DynVarId[k], 0) << k;
        EXPECT_EQ(m.dyn.DynVarValue[k], 0.0f) << k;
    }
    EXPECT_EQ(m.dyn.Increment, 0.0f);
    EXPECT_FALSE(UndoAvailable(m.undo));
    EXPECT_EQ(m.view.OffsetX, 115.0f);
    EXPECT_EQ(m.view.DefaultZoom, 100.0f);
    EXPECT_EQ(m.view.DefaultOffsetX, 10.0f);
    // And what it leaves: the user's annotations, settings and the motion.
    EXPECT_EQ(m.overlay.LineColor[2], 255.0f);
    EXPECT_EQ(m.overlay.LineRef[2], 1.0f);
    EXPECT_EQ(m.overlay.LineH1[3], 1.25f);
    EXPECT_EQ(m.overlay.LinePivot1[3], 9.0f);
    EXPECT_EQ(m.motion.RevArmPositions[9], -2.5f);
    EXPECT_EQ(m.closeup.GraphicZoomFactor, 20.0f);
    EXPECT_EQ(m.motion.CrankAngle, 77.0f);
    EXPECT_EQ(m.motion.StepSetting, 45.0f);
}

TEST(Solver, PivotsAtZeroAndNinetyDegrees) {
    Model m = test::StartedModel();
    SolveAt(m, 0);
    EXPECT_NEAR(m.pivots.PivotX[2], 1.5f, 1e-6);
    EXPECT_NEAR(m.pivots.PivotY[2], 0.0f, 1e-6);
    EXPECT_NEAR(m.pivots.PivotX[3], 10.5f, 1e-5);
    EXPECT_NEAR(m.pivots.PivotY[3], 0.0f, 1e-6);
    EXPECT_NEAR(m.pivots.PivotX[10], 7.707f, 1e-5);
    EXPECT_NEAR(m.pivots.PivotY[10], 0.0f, 1e-6);
    EXPECT_FALSE(m.solved.GeometryError);
    EXPECT_NEAR(m.solved.PistonPos, 0.0f, 1e-3);
    SolveAt(m, 90);
    EXPECT_NEAR(m.pivots.PivotX[2], 0.0f, 1e-6);
    EXPECT_NEAR(m.pivots.PivotY[2], -1.5f, 1e-6);
    EXPECT_NEAR(m.pivots.PivotX[3], 8.874f, 1e-3);
    EXPECT_FALSE(m.solved.GeometryError);
    SolveAt(m, 180);
    EXPECT_NEAR(m.solved.PistonPos, 640.0f, 1e-3);
    EXPECT_EQ(m.pivots.PivotX[18], m.motion.RevArmPos);
}

TEST(Solver, ValveTravelOverARevolution) {
    struct Case {
        float offset, lo, hi;
    };
    for (Case c : {Case{0.0f, 11.036f, 11.377f}, Case{-1.6f, 10.926f, 11.546f},
                   Case{1.6f, 10.900f, 11.486f}}) {
        Model m = test::StartedModel();
        m.motion.RevArmPos = m.motion.RevArmPositions[0] + c.offset;
        float lo = 1e9f, hi = -1e9f;
        for (int a = 0; a < 360; ++a) {
            SolveAt(m, static_cast<float>(a));
            lo = std::min(lo, m.pivots.PivotX[4]);
            hi = std::max(hi, m.pivots.PivotX[4]);
        }
        EXPECT_NEAR(lo, c.lo, 2e-3) << c.offset;
        EXPECT_NEAR(hi, c.hi, 2e-3) << c.offset;
        EXPECT_FALSE(m.solved.GeometryError) << c.offset;
    }
}

TEST(Solver, LapsOfTheDefaultCylinder) {
    Model m = test::StartedModel();
    SolveAt(m, 0);
    EXPECT_NEAR(m.solved.FrontSteamLap, 0.153f, 1e-6);
    EXPECT_NEAR(m.solved.RearSteamLap, 0.153f, 1e-6);
    EXPECT_NEAR(m.solved.FrontExhaustLap, 0.0f, 1e-6);
    EXPECT_NEAR(m.solved.RearExhaustLap, 0.0f, 1e-6);
    // At start the front port is open with lead.
    EXPECT_GT(m.solved.FrontSteamOpen, 0.0f);
}

// Each angle is worked out once while it keeps its place; with two places, one of three angles
// must lose its place to another, and must then be worked out again, never given the other's.
TEST(CrankAngleCache, WorksAnAngleOutOnlyWhenItIsNotKept) {
    CrankAngleCache<float, 2> cache;
    int made = 0;
    auto at = [&](float angle) {
        return cache.At(angle, [&] {
            ++made;
            return angle + 1;
        });
    };
    for (float a : {0.0f, 90.0f, 37.5f}) {
        const int before = made;
        EXPECT_EQ(at(a), a + 1);
        EXPECT_EQ(at(a), a + 1);
        EXPECT_EQ(made, before + 1) << a;
    }
    for (float a : {0.0f, 90.0f, 37.5f}) EXPECT_EQ(at(a), a + 1);
    EXPECT_GE(made, 4);
}

TEST(SolverGuards, ReverseArmBeyondItsLength) {
    for (bool beep : {true, false}) {
        Model m = test::StartedModel();
        m.display.BeepOnError = beep;
        m.motion.RevArmPos = m.design.LinkPivotHorz + 5.0f;  // farther than the 3.0 arm
        SolveAt(m, 0);
        EXPECT_NEAR(m.pivots.PivotY[18], std::sqrt(25.0f - 9.0f) + m.pivots.PivotY[6], 1e-5);
        EXPECT_EQ(m.solved.GeometryError, beep);
        EXPECT_TRUE(AllPivotsFinite(m));
    }
}

TEST(SolverGuards, AnchorLinkTooShortIsClampedAndFlagged) {
    for (bool beep : {true, false}) {
        Model m = test::StartedModel();
        m.display.BeepOnError = beep;
        SetDimension(m, 13, 0.5f);
        SetDimension(m, 11, 0.2f);
        SetDimension(m, 12, 0.2f);
        SolveAt(m, 0);
        EXPECT_EQ(m.solved.GeometryError, beep);
        EXPECT_TRUE(AllPivotsFinite(m));
    }
}

TEST(SolverGuards, ZeroLeverLengthsAreReplacedSilently) {
    Model m = test::StartedModel();
    m.design.Frame.ValveLeverLowerLen = 0;
    m.design.Frame.ValveLeverUpperLen = 0;
    SolveAt(m, 30);
    EXPECT_FLOAT_EQ(m.design.Frame.ValveLeverLowerLen, 0.00001f);
    EXPECT_FLOAT_EQ(m.design.Frame.ValveLeverUpperLen, 0.00001f);
    EXPECT_TRUE(AllPivotsFinite(m));
}

TEST(SolverGuards, DegenerateDesignsStayFinite) {
    // Coincident pivots (triangle sides of zero), zero lengths, negative and huge values.
    Model base = test::StartedModel();
    {
        Model m = base;
        for (const auto& d : Dimensions()) SetDimension(m, d.id, 0.0f);
        for (float a : {0.0f, 45.0f, 90.0f, 180.0f, 270.0f}) {
            SolveAt(m, a);
            EXPECT_TRUE(AllPivotsFinite(m)) << a;
            EXPECT_TRUE(std::isfinite(m.solved.PistonPos));
        }
        EXPECT_TRUE(m.solved.GeometryError);
    }
    {
        Model m = base;
        for (const auto& d : Dimensions()) SetDimension(m, d.id, FLT_MAX);
        m.motion.RevArmPos = -FLT_MAX;
        SolveAt(m, 123.0f);
        EXPECT_TRUE(AllPivotsFinite(m));
    }
    std::mt19937 rng(12345);
    std::uniform_real_distribution<float> small(-20.0f, 20.0f);
    std::uniform_int_distribution<int> pick(0, 9);
    for (int trial = 0; trial < 300; ++trial) {
        Model m = base;
        for (const auto& d : Dimensions()) {
            const int k = pick(rng);
            float v = small(rng);
            if (k == 0) v = 0;
            if (k == 1) v = (trial % 2) ? 3e38f : -3e38f;
            if (k == 2) v = 1e-7f;
            SetDimension(m, d.id, v);
        }
        m.motion.RevArmPos = small(rng);
        SolveAt(m, small(rng) * 18.0f);
        ASSERT_TRUE(AllPivotsFinite(m)) << "trial " << trial;
        ASSERT_TRUE(std::isfinite(m.solved.PistonPos)) << "trial " << trial;
        ASSERT_TRUE(std::isfinite(m.solved.FrontSteamOpen)) << "trial " << trial;
    }
}

TEST(SolverGuards, OppositeLeverLengthsDivideByTheGuardedSum) {
    // Lower and upper lever cancel: the offset angle would be atan(0 / 0).
    Model m = test::StartedModel();
    m.design.Frame.ValveLeverUpperLen = 1.0f;
    m.design.Frame.ValveLeverLowerLen = -1.0f;
    m.design.ValveLeverUpperOffset = 0.0f;
    SolveAt(m, 30);
    EXPECT_TRUE(std::isfinite(m.solved.SolveAngle));
    EXPECT_TRUE(AllPivotsFinite(m));
    EXPECT_TRUE(m.solved.GeometryError);
}

TEST(SolverGuards, ScratchValuesAreStoredAsFloatsAndThenGuarded) {
    static_assert(std::is_same_v<decltype(SolverOutputs::SolveValue), float>);
    static_assert(std::is_same_v<decltype(SolverOutputs::SolveDivisor), float>);
    static_assert(std::is_same_v<decltype(SolverOutputs::SolveAngle), float>);
    // A divisor a shade below 0.00001 is the float 0.00001 once stored: it passes unguarded.
    Model m = test::StartedModel();
    EXPECT_EQ(GuardedDivisor(m, 0.0000099999999L), static_cast<long double>(0.00001f));
    EXPECT_FALSE(m.solved.GeometryError);
    EXPECT_EQ(GuardedDivisor(m, 0.0000099L), static_cast<long double>(0.00001f));
    EXPECT_TRUE(m.solved.GeometryError);
}

TEST(SolverGuards, GuardsSubstituteAsWritten) {
    Model m = test::StartedModel();
    m.solved.SolveDivisor = 0;
    GuardDivisor(SolverPartsOf(m));
    EXPECT_EQ(m.solved.SolveDivisor, 0.00001f);
    m.solved.SolveDivisor = -0.000001f;
    GuardDivisor(SolverPartsOf(m));
    EXPECT_EQ(m.solved.SolveDivisor, -0.00001f);
    m.solved.SolveValue = 1.5f;
    GuardCos(SolverPartsOf(m));
    EXPECT_EQ(m.solved.SolveValue, 0.999999f);
    m.solved.SolveValue = -4;
    GuardRadicand(SolverPartsOf(m));
    EXPECT_EQ(m.solved.SolveValue, 4.0f);
    EXPECT_TRUE(m.solved.GeometryError);
}
