// The valve-events analysis against the main window's cut-off read-out, the physical order of the
// events, and designs whose linkage cannot close or whose ports never open.
#include <cmath>
#include <optional>

#include <gtest/gtest.h>

#include "core/analysis/valveevents.h"
#include "core/io/dimensionfile.h"
#include "core/model/dimensions.h"
#include "core/model/model.h"
#include "core/model/numfmt.h"
#include "core/model/solver.h"
#include "started_model.h"

using namespace tarn;

namespace {

struct ReadOut {
    std::optional<double> front, rear;
};

// The main window's cut-off read-out with the crank stepping 1 degree per tick from 0 for two
// revolutions: the closing is interpolated linearly between the two frames around it and shown
// with one decimal.
ReadOut TickCutoffs(Model m, float revArmPos) {
    m.motion.RevArmPos = revArmPos;
    m.motion.Direction = revArmPos > m.motion.RevArmPositions[0] ? "Rev" : "Fwd";
    m.motion.CrankAngle = 0;
    m.motion.StepAngle = 1;
    float prevPiston = 0, prevFront = 0, prevRear = 0;
    ReadOut out;
    for (int tick = 0; tick < 720; ++tick) {
        SolveLinkage(m);
        SolveValveEvents(m);
        m.motion.CrankAngle +=
            (m.motion.Direction == "Fwd") ? m.motion.StepAngle : -m.motion.StepAngle;
        if (m.motion.CrankAngle > 360.1f) m.motion.CrankAngle -= 360;
        if (m.motion.CrankAngle < 0) m.motion.CrankAngle += 360;
        if (prevFront > 0 && !(m.solved.FrontSteamOpen >= 0)) {
            const ext c = prevPiston - static_cast<ext>(prevFront) *
                                           (m.solved.PistonPos - prevPiston) /
                                           (static_cast<ext>(m.solved.FrontSteamOpen) - prevFront);
            out.front = static_cast<double>(ParseNumber(Str(c / 6.4L, 4, 1)));
        }
        if (prevRear > 0 && !(m.solved.RearSteamOpen >= 0)) {
            const ext c = prevPiston - static_cast<ext>(prevRear) *
                                           (m.solved.PistonPos - prevPiston) /
                                           (static_cast<ext>(m.solved.RearSteamOpen) - prevRear);
            out.rear = static_cast<double>(ParseNumber(Str((640.0L - c) / 6.4L, 4, 1)));
        }
        prevPiston = m.solved.PistonPos;
        prevFront = m.solved.FrontSteamOpen;
        prevRear = m.solved.RearSteamOpen;
    }
    return out;
}

// The opening of one port at a crank angle, solved on a copy.
float OpeningAt(Model m, float revArmPos, double angle, bool front, bool steam) {
    m.motion.RevArmPos = revArmPos;
    m.motion.CrankAngle = static_cast<float>(std::fmod(angle + 360.0, 360.0));
    SolveLinkage(m);
    SolveValveEvents(m);
    if (front) return steam ? m.solved.FrontSteamOpen : m.solved.FrontExhaustOpen;
    return steam ? m.solved.RearSteamOpen : m.solved.RearExhaustOpen;
}

void ExpectFiniteAndEmptyOnError(const ValveEventsResult& r) {
    for (const EndEvents* e : {&r.front, &r.rear}) {
        for (const auto* ev : {&e->admission, &e->cutoff, &e->release, &e->compression}) {
            if (r.geometryError) {
                EXPECT_FALSE(ev->has_value());
            }
            if (*ev) {
                EXPECT_TRUE(std::isfinite((*ev)->crankAngle));
                EXPECT_TRUE(std::isfinite((*ev)->percent));
            }
        }
        EXPECT_TRUE(std::isfinite(e->lead));
        EXPECT_TRUE(std::isfinite(e->maxSteamOpening));
        EXPECT_TRUE(std::isfinite(e->maxExhaustOpening));
    }
    EXPECT_TRUE(std::isfinite(r.errorAngle));
}

}  // namespace

TEST(ValveEvents, CutoffAgreesWithTheMainWindowReadOut) {
    const Model m = test::StartedModel();
    for (Gear g : {Gear::Mid, Gear::NormalForward, Gear::NormalReverse}) {
        SCOPED_TRACE(std::string(GearName(g)));
        const float pos = GearRevArmPos(m, g);
        const ValveEventsResult r = AnalyseValveEvents(m, pos);
        const ReadOut shown = TickCutoffs(m, pos);
        ASSERT_TRUE(r.ok());
        ASSERT_TRUE(r.front.cutoff && r.rear.cutoff);
        ASSERT_TRUE(shown.front && shown.rear);
        EXPECT_NEAR(r.front.cutoff->percent, *shown.front, 0.2);
        EXPECT_NEAR(r.rear.cutoff->percent, *shown.rear, 0.2);
    }
}

TEST(ValveEvents, EventsFollowInPhysicalOrderWithinTravel) {
    const Model m = test::StartedModel();
    for (Gear g : kStandardGears) {
        SCOPED_TRACE(std::string(GearName(g)));
        const ValveEventsResult r = AnalyseValveEvents(m, GearRevArmPos(m, g));
        ASSERT_TRUE(r.ok());
        EXPECT_EQ(r.reverse, g == Gear::NormalReverse || g == Gear::FullReverse);
        for (const EndEvents* e : {&r.front, &r.rear}) {
            ASSERT_TRUE(e->admission && e->cutoff && e->release && e->compression);
            EXPECT_EQ(e->steamOpenings, 1);
            EXPECT_EQ(e->exhaustOpenings, 1);
            const double start = TurnAngle(r, e->admission->crankAngle);
            auto after = [&](const ValveEvent& ev) {
                return std::fmod(TurnAngle(r, ev.crankAngle) - start + 360.0, 360.0);
            };
            EXPECT_LT(after(*e->cutoff), after(*e->release));
            EXPECT_LT(after(*e->release), after(*e->compression));
            EXPECT_GT(after(*e->cutoff), 0.0);
            for (const auto* ev : {&e->admission, &e->cutoff, &e->release, &e->compression}) {
                EXPECT_GE((*ev)->percent, 0.0);
                EXPECT_LE((*ev)->percent, 100.0);
                EXPECT_GE((*ev)->crankAngle, 0.0);
                EXPECT_LT((*ev)->crankAngle, 360.0);
            }
            EXPECT_GE(e->maxSteamOpening, e->lead);
        }
        // Percent is counted from each end's own dead centre.
        EXPECT_NEAR(r.front.cutoff->percent, r.front.cutoff->pistonPos / 6.4, 1e-9);
        EXPECT_NEAR(r.rear.cutoff->percent, (640 - r.rear.cutoff->pistonPos) / 6.4, 1e-9);
    }
}

TEST(ValveEvents, EachEventSitsOnItsPortEdgeInTheTurningDirection) {
    const Model m = test::StartedModel();
    for (Gear g : {Gear::NormalForward, Gear::NormalReverse}) {
        SCOPED_TRACE(std::string(GearName(g)));
        const float pos = GearRevArmPos(m, g);
        const ValveEventsResult r = AnalyseValveEvents(m, pos);
        ASSERT_TRUE(r.ok());
        const double d = r.reverse ? -0.001 : 0.001;  // a thousandth of a degree later in time
        for (bool front : {true, false}) {
            const EndEvents& e = front ? r.front : r.rear;
            EXPECT_LE(OpeningAt(m, pos, e.admission->crankAngle - d, front, true), 0.0f);
            EXPECT_GT(OpeningAt(m, pos, e.admission->crankAngle + d, front, true), 0.0f);
            EXPECT_GT(OpeningAt(m, pos, e.cutoff->crankAngle - d, front, true), 0.0f);
            EXPECT_LE(OpeningAt(m, pos, e.cutoff->crankAngle + d, front, true), 0.0f);
            EXPECT_LE(OpeningAt(m, pos, e.release->crankAngle - d, front, false), 0.0f);
            EXPECT_GT(OpeningAt(m, pos, e.release->crankAngle + d, front, false), 0.0f);
            EXPECT_GT(OpeningAt(m, pos, e.compression->crankAngle - d, front, false), 0.0f);
            EXPECT_LE(OpeningAt(m, pos, e.compression->crankAngle + d, front, false), 0.0f);
        }
        EXPECT_FLOAT_EQ(static_cast<float>(r.front.lead), OpeningAt(m, pos, 0, true, true));
        EXPECT_FLOAT_EQ(static_cast<float>(r.rear.lead), OpeningAt(m, pos, 180, false, true));
    }
}

TEST(ValveEvents, LargestOpeningsMatchASweep) {
    const Model m = test::StartedModel();
    const float pos = GearRevArmPos(m, Gear::FullForward);
    const ValveEventsResult r = AnalyseValveEvents(m, pos);
    float sweepMax = -1;
    for (int i = 0; i < 3600; ++i)
        sweepMax = std::max(sweepMax, OpeningAt(m, pos, i / 10.0, true, true));
    EXPECT_GE(r.front.maxSteamOpening, sweepMax - 1e-6);
    EXPECT_NEAR(r.front.maxSteamOpening, sweepMax, 1e-5);
    EXPECT_FLOAT_EQ(static_cast<float>(r.front.maxSteamOpening),
                    OpeningAt(m, pos, r.front.maxSteamAngle, true, true));
}

TEST(ValveEvents, TheCallersModelIsNotTouched) {
    Model m = test::StartedModel();
    m.motion.CrankAngle = 123.0f;
    m.display.BeepOnError = false;
    SetDimension(m, 10, 0.0f);  // the solver would set a zero lever length to 0.00001
    const auto image = EncodeDimensionFile(m);
    const Model before = m;
    AnalyseValveEvents(m, GearRevArmPos(m, Gear::FullReverse));
    EXPECT_EQ(EncodeDimensionFile(m), image);
    EXPECT_EQ(m.motion.CrankAngle, before.motion.CrankAngle);
    EXPECT_EQ(m.motion.RevArmPos, before.motion.RevArmPos);
    EXPECT_EQ(m.motion.Direction, before.motion.Direction);
    EXPECT_EQ(m.pivots.PivotX, before.pivots.PivotX);
    EXPECT_EQ(m.design.Frame.ValveLeverLowerLen, 0.0f);
    EXPECT_FALSE(m.solved.GeometryError);
}

TEST(ValveEvents, ImpossibleDesignsReportAGeometryErrorNeverNaN) {
    Model m = test::StartedModel();
    m.display.BeepOnError = false;  // the analysis watches for errors on its own copy all the same
    SetDimension(m, 13, 0.1f);      // anchor link far too short to reach
    ValveEventsResult r = AnalyseValveEvents(m, GearRevArmPos(m, Gear::NormalForward));
    EXPECT_TRUE(r.geometryError);
    ExpectFiniteAndEmptyOnError(r);

    Model n = test::StartedModel();
    n.design.Cyl.ValveCtrToJoint = std::nanf("");
    r = AnalyseValveEvents(n, GearRevArmPos(n, Gear::Mid));
    EXPECT_TRUE(r.geometryError);
    ExpectFiniteAndEmptyOnError(r);

    Model far = test::StartedModel();
    r = AnalyseValveEvents(
        far, far.motion.RevArmPositions[0] + 10.0f);  // beyond the reverse arm's reach
    EXPECT_TRUE(r.geometryError);
    ExpectFiniteAndEmptyOnError(r);
}

TEST(ValveEvents, APortThatNeverOpensHasNoEvents) {
    Model m = test::StartedModel();
    SetDimension(m, 114, 0.6f);  // steam lap 0.6, far beyond the valve travel
    const ValveEventsResult r = AnalyseValveEvents(m, GearRevArmPos(m, Gear::NormalForward));
    ASSERT_TRUE(r.ok());
    for (const EndEvents* e : {&r.front, &r.rear}) {
        EXPECT_FALSE(e->admission.has_value());
        EXPECT_FALSE(e->cutoff.has_value());
        EXPECT_EQ(e->steamOpenings, 0);
        EXPECT_LT(e->maxSteamOpening, 0.0);
        EXPECT_LT(e->lead, 0.0);
    }
    ExpectFiniteAndEmptyOnError(r);
}

TEST(ValveEvents, GearPositionsFollowTheReverseArmBar) {
    const Model m = test::StartedModel();
    EXPECT_EQ(GearRevArmPos(m, Gear::Mid), m.motion.RevArmPositions[0]);
    EXPECT_FLOAT_EQ(GearRevArmPos(m, Gear::NormalForward), 6.247f - 1.6f);
    EXPECT_FLOAT_EQ(GearRevArmPos(m, Gear::FullReverse), 6.247f + 1.8f);
    EXPECT_EQ(GearAt(m, GearRevArmPos(m, Gear::NormalReverse)), Gear::NormalReverse);
    EXPECT_FALSE(GearAt(m, 5.0f).has_value());
    EXPECT_FLOAT_EQ(ClampRevArmPos(m, 100.0f), 6.247f + 1.8f);
    // Mid gear turns forward, anything beyond it backward.
    EXPECT_FALSE(AnalyseValveEvents(m, m.motion.RevArmPositions[0]).reverse);
    EXPECT_TRUE(AnalyseValveEvents(m, m.motion.RevArmPositions[0] + 0.001f).reverse);
}

TEST(ValveEvents, MidGearAsShownIsMidGear) {
    // The centre is 6.24699974; "6.247" as typed is the float above it, which is what the three
    // decimals show: mid gear, turning forward.
    const Model m = test::StartedModel();
    ASSERT_NE(6.247f, m.motion.RevArmPositions[0]);
    ASSERT_GT(6.247f, m.motion.RevArmPositions[0]);
    const ValveEventsResult typed = AnalyseValveEvents(m, 6.247f);
    EXPECT_FALSE(typed.reverse);
    EXPECT_EQ(GearAt(m, 6.247f), Gear::Mid);
    const ValveEventsResult centre = AnalyseValveEvents(m, m.motion.RevArmPositions[0]);
    ASSERT_TRUE(typed.front.cutoff && centre.front.cutoff);
    // Turned backward, admission and cut-off would swap places.
    EXPECT_NEAR(typed.front.cutoff->crankAngle, centre.front.cutoff->crankAngle, 0.01);
    EXPECT_NEAR(typed.front.admission->crankAngle, centre.front.admission->crankAngle, 0.01);
    // A thousandth away is a position of its own, on its own side.
    EXPECT_FALSE(GearAt(m, 6.248f).has_value());
    EXPECT_TRUE(AnalyseValveEvents(m, 6.248f).reverse);
    EXPECT_FALSE(GearAt(m, 6.246f).has_value());
    EXPECT_FALSE(AnalyseValveEvents(m, 6.246f).reverse);
}
