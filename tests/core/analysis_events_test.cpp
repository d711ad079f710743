// The valve-events analysis against the crosshead's travel worked by hand, the main window's
// cut-off read-out, the physical order of the events, and designs whose linkage cannot close or
// whose ports never open.
#include <cmath>
#include <optional>

#include <gtest/gtest.h>

#include "core/analysis/eventsgrid.h"
#include "core/analysis/valveevents.h"
#include "core/io/dimensionfile.h"
#include "core/model/dimensions.h"
#include "core/model/model.h"
#include "core/model/numfmt.h"
#include "core/model/recordingcanvas.h"
#include "core/model/solver.h"
#include "core/scene/mainscene.h"
#include "scene_fakehost.h"
#include "started_model.h"

using namespace tarn;

namespace {

struct ReadOut {
    std::optional<double> front, rear;
};

// The main window's cut-off read-out, drawn by the screen data, with the crank stepping 1
// degree per tick from 0 for two revolutions: the closing is interpolated linearly between the
// two frames around it and shown with one decimal.
ReadOut TickCutoffs(Model m, float revArmPos, bool trueTravel) {
    m.display.TruePistonTravel = trueTravel;
    m.motion.RevArmPos = revArmPos;
    m.motion.Direction =
        revArmPos > m.motion.RevArmPositions[0] ? Direction::Reverse : Direction::Forward;
    m.motion.CrankAngle = 0;
    m.motion.StepAngle = 1;
    tarn::testing::FakeHost host;
    RecordingCanvas canvas;
    for (int tick = 0; tick < 720; ++tick) {
        SolveLinkage(m);
        SolveValveEvents(m);
        canvas.Reset();
        DrawScreenData(m, canvas, host);
        AdvanceCrank(m);
    }
    auto shown = [](const std::string& text) {
        return text.empty() ? std::nullopt
                            : std::optional<double>(static_cast<double>(ParseNumber(text)));
    };
    return {shown(m.readouts.FrontCutoffText), shown(m.readouts.RearCutoffText)};
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

TEST(ValveEvents, TravelIsTheCrossheadsOwnBetweenItsDeadCentres) {
    // Worked by hand: crank radius r = 1.5, the whole main rod L = 6.207 + 2.793 = 9, the
    // cylinder's centre line a height h above the driver centre. At crank angle a the crank pin
    // is at (r cos a, -r sin a) and the crosshead at x = r cos a + sqrt(L^2 - (h + r sin a)^2).
    // The dead centres are x's largest and smallest values, found here by a fine sweep.
    for (float h : {0.0f, 0.25f}) {
        SCOPED_TRACE(h);
        Model m = test::StartedModel();
        SetDimension(m, 102, h);  // Cyl CL above Driver ctr
        const ext r = 1.5L, L = 9.0L, deg = kPi / 180.0L;
        auto crosshead = [&](ext a) {
            return r * std::cos(a * deg) +
                   std::sqrt(L * L - std::pow(h + r * std::sin(a * deg), 2));
        };
        // The extreme over whole degrees, then narrowed by thirds to a millionth of a degree.
        auto extreme = [&](int sign) {
            int best = 0;
            for (int a = 1; a < 360; ++a)
                if (sign * crosshead(a) > sign * crosshead(best)) best = a;
            ext lo = best - 1.0L, hi = best + 1.0L;
            while (hi - lo > 1e-6L) {
                const ext a = lo + (hi - lo) / 3, b = hi - (hi - lo) / 3;
                if (sign * crosshead(a) < sign * crosshead(b)) lo = a;
                else hi = b;
            }
            return crosshead((lo + hi) / 2);
        };
        const ext front = extreme(+1), rear = extreme(-1);
        const ValveEventsResult ev = AnalyseValveEvents(m, GearRevArmPos(m, Gear::NormalForward));
        ASSERT_TRUE(ev.ok());
        for (const EndEvents* e : {&ev.front, &ev.rear}) {
            for (const auto* v : {&e->admission, &e->cutoff, &e->release, &e->compression}) {
                ASSERT_TRUE(v->has_value());
                const ext x = crosshead((*v)->crankAngle);
                const ext fromEnd = e == &ev.front ? front - x : x - rear;
                EXPECT_NEAR((*v)->mark, static_cast<double>(fromEnd), 2e-5);
                EXPECT_NEAR((*v)->percent, static_cast<double>(fromEnd / (front - rear) * 100),
                            2e-4);
            }
        }
        if (h != 0) continue;
        // Normal forward on the built-in design: the crosshead is at 82.36 % of its stroke when
        // the front port cuts off (the piston read-out's formula would say 83.60) and at 55.83 %
        // at the rear cut-off (53.97). At the cut-off's crank angle, 126.359 degrees, the
        // crosshead stands 10.5 - (1.5 cos a + sqrt(81 - (1.5 sin a)^2)) = 2.47070 from the front
        // dead centre: the fitter's mark (82.36 % of 3 would round it to 2.4708).
        EXPECT_NEAR(ev.front.cutoff->percent, 82.36, 0.01);
        EXPECT_NEAR(ev.rear.cutoff->percent, 55.83, 0.01);
        EXPECT_NEAR(ev.front.cutoff->crankAngle, 126.359, 0.0005);
        EXPECT_NEAR(ev.front.cutoff->mark, 2.47070, 0.00001);
        const EventsGrid grid = BuildEventsGrid(m, std::span(&ev, 1), 2.0);
        EXPECT_EQ(grid.columns[0].cells[static_cast<int>(EventRow::CutoffMark)][0].text, "2.4707");
    }
}

TEST(ValveEvents, CutoffAgreesWithTheMainWindowReadOutWhenItFollowsTheCrosshead) {
    const Model m = test::StartedModel();
    for (Gear g : {Gear::Mid, Gear::NormalForward, Gear::NormalReverse}) {
        SCOPED_TRACE(std::string(GearName(g)));
        const float pos = GearRevArmPos(m, g);
        const ValveEventsResult r = AnalyseValveEvents(m, pos);
        const ReadOut shown = TickCutoffs(m, pos, true);
        ASSERT_TRUE(r.ok());
        ASSERT_TRUE(r.front.cutoff && r.rear.cutoff);
        ASSERT_TRUE(shown.front && shown.rear);
        EXPECT_NEAR(r.front.cutoff->percent, *shown.front, 0.2);
        EXPECT_NEAR(r.rear.cutoff->percent, *shown.rear, 0.2);
    }
    // With the switch off the read-out keeps PistonPos, whose shorter rod puts normal forward's
    // front cut-off at 83.6.
    const ReadOut formula = TickCutoffs(m, GearRevArmPos(m, Gear::NormalForward), false);
    ASSERT_TRUE(formula.front && formula.rear);
    EXPECT_DOUBLE_EQ(*formula.front, 83.6);
    EXPECT_DOUBLE_EQ(*formula.rear, 54.0);
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
        // Percent is counted from each end's own dead centre: the front release and the rear
        // compression happen together, so their travels make the whole stroke.
        ASSERT_NEAR(r.front.release->crankAngle, r.rear.compression->crankAngle, 1e-3);
        EXPECT_NEAR(r.front.release->percent + r.rear.compression->percent, 100.0, 1e-3);
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
    EXPECT_FLOAT_EQ(GearRevArmPos(m, Gear::FullForward), 6.247f - 1.8f);
    EXPECT_FLOAT_EQ(GearRevArmPos(m, Gear::NormalReverse), 6.247f + 1.6f);
    EXPECT_EQ(GearAt(m, GearRevArmPos(m, Gear::NormalReverse)), Gear::NormalReverse);
    EXPECT_FALSE(GearAt(m, 5.0f).has_value());
    // With the normal offset as large as the largest, the bar's normal button names the place.
    Model same = m;
    same.design.RevArmToCentNorm = same.design.RevArmToCentMax;
    EXPECT_EQ(GearAt(same, GearRevArmPos(same, Gear::FullForward)), Gear::NormalForward);
    EXPECT_EQ(GearAt(same, GearRevArmPos(same, Gear::FullReverse)), Gear::NormalReverse);
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
