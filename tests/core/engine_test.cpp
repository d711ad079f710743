// The engine model against facts worked outside it: the ideal indicator card that the valve
// events draw at a crawl, the conservation of mass and energy over a revolution, answers that
// do not hang on the integrator's tolerance, the table's step or the state it starts from, and
// the fall of mean effective pressure with speed.
#include <cmath>
#include <initializer_list>

#include <gtest/gtest.h>

#include "core/analysis/valveevents.h"
#include "core/model/model.h"
#include "core/performance/engine.h"
#include "started_model.h"

using namespace tarn;

namespace {

constexpr double kPsi = 6894.757293168361;  // Pa

// Rev/min for a mean piston speed in ft/min, from the crosshead's travel in inches.
double RevPerMinAt(double feetPerMinute, double strokeInches) {
    return feetPerMinute * 12 / (2 * strokeInches);
}

double StrokeOf(const ValveEventsResult& ev) {
    const ValveEvent& c = *ev.front.cutoff;
    return c.mark / (c.percent / 100);
}

// The work per unit piston area of the ideal card: chest pressure from admission to cut-off,
// isentropic expansion to release, back pressure from release to compression, isentropic
// compression to admission. Volumes per unit area are the clearance plus the travel.
double IdealMep(const EndEvents& e, double clearance, double stroke, double pc, double pb,
                double gamma) {
    const auto volume = [&](const std::optional<ValveEvent>& v) {
        return clearance + stroke * v->percent / 100;
    };
    const double va = volume(e.admission), vc = volume(e.cutoff), vr = volume(e.release),
                 vk = volume(e.compression);
    const auto isentropic = [gamma](double p0, double v0, double v1) {
        return p0 * std::pow(v0, gamma) * (std::pow(v1, 1 - gamma) - std::pow(v0, 1 - gamma)) /
               (1 - gamma);
    };
    const double work =
        pc * (vc - va) + isentropic(pc, vc, vr) + pb * (vk - vr) + isentropic(pb, vk, va);
    return work / stroke;
}

EngineConditions IdealGas() {
    EngineConditions c;
    c.model = SteamModel::IdealGas;
    c.passagePercent = 0;
    return c;
}

}  // namespace

// At a crawl the ports keep up with the piston: each end's card is the ideal one its events
// draw. Worked for the two forward gears of the built-in design.
TEST(EngineModel, CrawlingCardIsTheIdealCycleOfTheEvents) {
    const Model m = test::StartedModel();
    EngineConditions c = IdealGas();
    const double clearance =
        (static_cast<double>(m.design.Cyl.CylBoreLen) - static_cast<double>(m.design.StrokeLen) -
         static_cast<double>(m.design.Cyl.PistonWidth)) /
        2;
    const double pc = c.chestPressure + c.atmosphericPressure;
    const double pb = c.backPressure + c.atmosphericPressure;
    for (Gear gear : {Gear::FullForward, Gear::NormalForward}) {
        SCOPED_TRACE(std::string(GearName(gear)));
        const float pos = GearRevArmPos(m, gear);
        const ValveEventsResult ev = AnalyseValveEvents(m, pos);
        ASSERT_TRUE(ev.front.cutoff && ev.rear.release && ev.rear.compression);
        const double stroke = StrokeOf(ev);
        c.revPerMin = RevPerMinAt(1, stroke);  // 1 ft/min
        const EnginePerformance r = SimulateEngine(m, c, pos);
        ASSERT_TRUE(r.ok) << r.problem;
        const double front = IdealMep(ev.front, clearance, stroke, pc, pb, 1.3);
        const double rear = IdealMep(ev.rear, clearance, stroke, pc, pb, 1.3);
        EXPECT_NEAR(r.front.mep / front, 1, 0.015) << r.front.mep / kPsi << " " << front / kPsi;
        EXPECT_NEAR(r.rear.mep / rear, 1, 0.015) << r.rear.mep / kPsi << " " << rear / kPsi;
    }
}

// Over a converged revolution each end passes on the steam it takes, and with adiabatic walls
// the work on the piston is the enthalpy the steam brings in less what it carries out.
TEST(EngineModel, ARevolutionBalancesMassAndEnergy) {
    const Model m = test::StartedModel();
    for (SteamModel fluid : {SteamModel::If97, SteamModel::IdealGas})
        for (Gear gear : {Gear::FullForward, Gear::NormalForward, Gear::Mid}) {
            SCOPED_TRACE(std::string(GearName(gear)) +
                         (fluid == SteamModel::If97 ? " steam" : " ideal gas"));
            EngineConditions c;
            c.model = fluid;
            c.revPerMin = 250;
            const EnginePerformance r = SimulateEngine(m, c, GearRevArmPos(m, gear));
            ASSERT_TRUE(r.ok) << r.problem;
            for (const EndPerformance* e : {&r.front, &r.rear}) {
                EXPECT_GT(e->massIn, 0);
                EXPECT_NEAR(e->massOut / e->massIn, 1, 0.001);
                EXPECT_NEAR((e->enthalpyIn - e->enthalpyOut) / e->work, 1, 0.005);
            }
        }
}

// Halving the integrator's tolerance or the linkage table's step moves no end's mean effective
// pressure by 0.2 %, from a crawl to a fast run; nor does starting the revolution with the
// cylinder full of exhaust instead of chest steam.
TEST(EngineModel, AnswerDoesNotHangOnToleranceStepOrStart) {
    const Model m = test::StartedModel();
    const float pos = GearRevArmPos(m, Gear::NormalForward);
    const double stroke = StrokeOf(AnalyseValveEvents(m, pos));
    EngineConditions c;
    for (double speed : {10.0, 100.0, 1000.0}) {
        SCOPED_TRACE(speed);
        c.revPerMin = RevPerMinAt(speed, stroke);
        const EnginePerformance base = SimulateEngine(m, c, pos);
        ASSERT_TRUE(base.ok) << base.problem;
        EngineSolverOptions finer;
        finer.relativeTolerance /= 2;
        EngineSolverOptions denser;
        denser.samplesPerRev *= 2;
        EngineSolverOptions exhaust;
        exhaust.startFromExhaust = true;
        for (const EngineSolverOptions& o : {finer, denser, exhaust}) {
            const EnginePerformance r = SimulateEngine(m, c, pos, o);
            ASSERT_TRUE(r.ok) << r.problem;
            EXPECT_NEAR(r.front.mep / base.front.mep, 1, 0.002);
            EXPECT_NEAR(r.rear.mep / base.rear.mep, 1, 0.002);
        }
    }
}

// Past a walking pace the ports throttle the steam more the faster the engine runs.
TEST(EngineModel, MeanEffectivePressureFallsWithSpeed) {
    const Model m = test::StartedModel();
    EngineConditions c;
    for (Gear gear : {Gear::FullForward, Gear::NormalForward}) {
        const float pos = GearRevArmPos(m, gear);
        const double stroke = StrokeOf(AnalyseValveEvents(m, pos));
        double last = HUGE_VAL;
        for (double speed : {250.0, 500.0, 1000.0, 2000.0}) {
            c.revPerMin = RevPerMinAt(speed, stroke);
            const EnginePerformance r = SimulateEngine(m, c, pos);
            ASSERT_TRUE(r.ok) << r.problem;
            EXPECT_LT(r.mepMean, last) << GearName(gear) << " at " << speed << " ft/min";
            last = r.mepMean;
        }
    }
}
