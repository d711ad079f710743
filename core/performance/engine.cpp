// The cylinder model. Each end is a control volume of steam with two ports: the steam edge to
// the chest and the exhaust edge to the blast pipe, both at constant pressure. Its mass and
// internal energy follow from the flows through the ports, quasi-steady compressible flow
// through an orifice, and from the work the steam does on the piston; the walls are adiabatic.
// The linkage, the openings and the volumes depend on the crank angle alone: they are solved
// once per reverse-arm position at even steps of the turn and interpolated, and the
// integrator (SUNDIALS CVODES, variable-order BDF for the stiff port transients) sees only
// those tables and the steam.
#include "core/performance/engine.h"

#include <cvodes/cvodes.h>
#include <nvector/nvector_serial.h>
#include <sunlinsol/sunlinsol_dense.h>
#include <sunmatrix/sunmatrix_dense.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

#include "core/analysis/valveevents.h"
#include "core/common/parallel.h"
#include "core/steam/if97.h"

namespace tarn {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The ideal gas of the teaching model.
constexpr double kIdealGamma = 1.3;
constexpr double kIdealR = 461.5;  // J/(kg K)
constexpr double kIdealCv = kIdealR / (kIdealGamma - 1);
constexpr double kIdealCp = kIdealCv * kIdealGamma;

// Below this pressure ratio across a port the flow is taken as proportional to the pressure
// difference, to the value the orifice law gives at the ratio itself: the law's infinite slope
// at equal pressures would stall the integrator on every port that is open with no flow.
constexpr double kLinearFlowRatio = 0.998;

// What the port flows and the energy balance need of a state.
struct Steam {
    double p = 0, h = 0, rho = 0, kappa = 1.3;
    steam::State s;  // the IF97 state, the next call's starting guess
    bool ok = true;
};

// The isentropic exponent for the orifice law: Zeuner's 1.035 + 0.1 x for wet steam, rising
// to 1.3 over the first 30 K of superheat so that it stays continuous at the saturation line.
double SteamKappa(const steam::State& s) {
    if (s.phase == steam::Phase::Wet) return 1.035 + 0.1 * s.x;
    const double superheat = s.T - steam::SaturationTemperature(s.p);
    if (!(superheat > 0)) return 1.135;
    return 1.135 + 0.165 * std::min(1.0, superheat / 30.0);
}

// The working fluid: IAPWS-IF97 steam or the ideal gas.
class Fluid {
public:
    explicit Fluid(bool ideal) : ideal_(ideal) {}

    Steam FromVU(double v, double u, const Steam* guess) const {
        Steam out;
        if (ideal_) {
            const double T = u / kIdealCv;
            out.ok = T > 0 && v > 0 && std::isfinite(T) && std::isfinite(v);
            out.rho = 1 / v;
            out.p = out.rho * kIdealR * T;
            out.h = kIdealCp * T;
            out.kappa = kIdealGamma;
            return out;
        }
        return Wrap(steam::FromVU(v, u, guess && guess->s.valid ? &guess->s : nullptr));
    }

    Steam FromPT(double p, double T) const {
        Steam out;
        if (ideal_) {
            out.p = p;
            out.rho = p / (kIdealR * T);
            out.h = kIdealCp * T;
            out.kappa = kIdealGamma;
            out.ok = T > 0 && p > 0;
            return out;
        }
        return Wrap(steam::FromPT(p, T));
    }
    Steam SaturatedVapour(double p) const {
        if (ideal_) return FromPT(p, steam::SaturationTemperature(p));
        return Wrap(steam::FromPX(p, 1));
    }
    // The state reached from `from` by an isentropic change to pressure p.
    Steam Isentropic(const Steam& from, double p) const {
        if (ideal_) {
            const double T = from.h / kIdealCp;
            return FromPT(p, T * std::pow(p / from.p, (kIdealGamma - 1) / kIdealGamma));
        }
        return Wrap(steam::FromPS(p, from.s.s));
    }
    double InternalEnergy(const Steam& st) const { return st.h - st.p / st.rho; }

private:
    static Steam Wrap(const steam::State& s) {
        Steam out;
        out.s = s;
        out.ok = s.valid;
        out.p = s.p;
        out.h = s.h;
        out.rho = 1 / s.v;
        out.kappa = SteamKappa(s);
        return out;
    }
    bool ideal_;
};

// Mass flow per unit of effective area from a reservoir (p0, rho0) into pressure p1 <= p0.
double OrificeFlux(double p0, double rho0, double p1, double kappa) {
    const double k = kappa;
    const double critical = std::pow(2 / (k + 1), k / (k - 1));
    double r = p1 / p0;
    if (!(r > critical)) return std::sqrt(k * p0 * rho0 * std::pow(2 / (k + 1), (k + 1) / (k - 1)));
    const auto subsonic = [&](double ratio) {
        const double f = std::pow(ratio, 2 / k) - std::pow(ratio, (k + 1) / k);
        return std::sqrt(2 * p0 * rho0 * k / (k - 1) * std::max(f, 0.0));
    };
    if (r < kLinearFlowRatio) return subsonic(r);
    r = std::min(r, 1.0);
    return subsonic(kLinearFlowRatio) * (1 - r) / (1 - kLinearFlowRatio);
}

// Flow into the cylinder (negative: out of it) through an effective area between the cylinder
// and a reservoir.
double PortFlow(double area, const Steam& cylinder, const Steam& reservoir) {
    if (!(area > 0)) return 0;
    if (reservoir.p >= cylinder.p)
        return area * OrificeFlux(reservoir.p, reservoir.rho, cylinder.p, reservoir.kappa);
    return -area * OrificeFlux(cylinder.p, cylinder.rho, reservoir.p, cylinder.kappa);
}

// A periodic cubic spline through values at even steps of the turn: smooth to the second
// derivative, so that the integrator meets no corner between the samples and keeps its steps
// long where nothing happens.
struct PeriodicSpline {
    std::vector<double> y, m;  // values, and second differences per step squared

    void Fit(std::vector<double> values) {
        y = std::move(values);
        const std::size_t n = y.size();
        m.assign(n, 0.0);
        // m[i-1] + 4 m[i] + m[i+1] = 6 (y[i+1] - 2 y[i] + y[i-1]): strongly diagonal, so
        // Gauss-Seidel halves the error at each sweep.
        double scale = 0;
        for (double v : y) scale = std::max(scale, std::abs(v));
        for (int sweep = 0; sweep < 80; ++sweep) {
            double change = 0;
            for (std::size_t i = 0; i < n; ++i) {
                const std::size_t a = (i + n - 1) % n, b = (i + 1) % n;
                const double next = (6 * (y[b] - 2 * y[i] + y[a]) - m[a] - m[b]) / 4;
                change = std::max(change, std::abs(next - m[i]));
                m[i] = next;
            }
            if (!(change > 1e-14 * scale)) break;
        }
    }
};

// Where a turn angle falls among the samples.
struct Lookup {
    std::size_t i0 = 0, i1 = 0;
    double t = 0;
};

// The spline's value, and its slope per step.
double Value(const PeriodicSpline& s, const Lookup& k) {
    const double t = k.t, u = 1 - t;
    return u * s.y[k.i0] + t * s.y[k.i1] +
           ((u * u * u - u) * s.m[k.i0] + (t * t * t - t) * s.m[k.i1]) / 6;
}
double Slope(const PeriodicSpline& s, const Lookup& k) {
    const double t = k.t, u = 1 - t;
    return s.y[k.i1] - s.y[k.i0] + (-(3 * u * u - 1) * s.m[k.i0] + (3 * t * t - 1) * s.m[k.i1]) / 6;
}

// Where in step k (0..1) the spline crosses level, when its ends lie on either side; -1 when
// they do not. Bisection to the last bit: the integrator ends a step there.
double Crossing(const PeriodicSpline& s, int k, double level) {
    Lookup at;
    at.i0 = static_cast<std::size_t>(k);
    at.i1 = static_cast<std::size_t>(k + 1) % s.y.size();
    const bool above = s.y[at.i0] > level;
    if ((s.y[at.i1] > level) == above) return -1;
    double lo = 0, hi = 1;
    for (int i = 0; i < 60 && hi - lo > 1e-15; ++i) {
        at.t = (lo + hi) / 2;
        ((Value(s, at) > level) == above ? lo : hi) = at.t;
    }
    return hi;
}

// One end over the turn, in SI: its volume from the crosshead's travel, and its two port
// openings, interpolated as they come from the linkage and only then shut below 0 and limited
// by the port's width.
struct EndTables {
    PeriodicSpline share;                   // of the stroke, from this end's dead centre
    PeriodicSpline steamOpen, exhaustOpen;  // m; < 0 lapped
    double swept = 0;                       // m^3
    double clearance = 0;                   // m^3, with the passages
    double portWidth = 0;                   // m
    double areaPerOpening = 0;              // effective area per metre of opening
    bool front = true;
    // The turn angles (0..2 pi) where a port opens or shuts or its edge passes the port's far
    // side: the flows turn a corner there, and the integrator ends a step on each.
    std::vector<double> corners;

    double Volume(std::size_t k) const { return clearance + swept * share.y[k]; }
    double Area(const PeriodicSpline& open, const Lookup& k) const {
        return areaPerOpening * std::clamp(Value(open, k), 0.0, portWidth);
    }
};

// Everything that depends on the crank angle and the conditions' scale, not on the speed.
struct Geometry {
    std::string problem;
    int n = 0;
    double step = 0;  // radians of turn between samples
    std::array<EndTables, 2> ends;
    double stroke = 0;     // m, the crosshead's travel
    double driverDia = 0;  // m
    ValveEventsResult events;
    bool reverse = false;
};

double Scaled(float v, double metres) { return static_cast<double>(v) * metres; }

Geometry PrepareGeometry(const Model& design, const EngineConditions& c, float revArmPos,
                         int samples) {
    Geometry g;
    const double L = MetresPerUnit(c.lengthUnit);
    const Design& d = design.design;
    const CylRecord& cyl = d.Cyl;
    const RevolutionSamples rev = SampleRevolution(design, revArmPos, samples);
    if (rev.geometryError) {
        g.problem = "the linkage cannot close at crank angle " +
                    std::to_string(static_cast<int>(std::lround(rev.errorAngle)));
        return g;
    }
    g.reverse = rev.reverse;
    g.events = AnalyseValveEvents(design, revArmPos);
    g.n = static_cast<int>(rev.at.size());
    g.step = kTwoPi / g.n;
    g.stroke = rev.crossheadTravel * L;
    g.driverDia = Scaled(d.DriverDia, L);
    const double bore = Scaled(cyl.CylBoreDia, L);
    const double rod = c.rodDiameter * L;
    if (!(bore > 0) || !(g.stroke > 0)) {
        g.problem = "the cylinder has no bore or no stroke";
        return g;
    }
    if (!(rod < bore)) {
        g.problem = "the piston rod is as thick as the bore";
        return g;
    }
    const double clearanceLen =
        std::max(0.0, (static_cast<double>(cyl.CylBoreLen) - static_cast<double>(d.StrokeLen) -
                       static_cast<double>(cyl.PistonWidth)) /
                          2) *
        L;
    const double bushCircumference = kPi * Scaled(cyl.ValveBoreDia, L);
    const double areaPerOpening = c.dischargeCoefficient * c.portBarShare * bushCircumference;
    for (int e = 0; e < 2; ++e) {
        EndTables& t = g.ends[e];
        t.front = e == 0;
        const double area = kPi / 4 * (bore * bore - (t.front ? 0.0 : rod * rod));
        t.swept = area * g.stroke;
        t.clearance = area * clearanceLen + c.passagePercent / 100 * t.swept;
        t.portWidth = std::max(0.0, std::min(static_cast<double>(t.front ? cyl.ValvePortWidthFront
                                                                         : cyl.ValvePortWidthRear),
                                             static_cast<double>(cyl.CylSteamPortWidth)) *
                                        L);
        t.areaPerOpening = areaPerOpening;
        const std::size_t steamPort = t.front ? 0 : 2, exhaustPort = t.front ? 1 : 3;
        std::vector<double> share, steam, exhaust;
        for (const RevolutionSample& s : rev.at) {
            share.push_back(t.front ? s.fromFront : 1 - s.fromFront);
            steam.push_back(s.open[steamPort] * L);
            exhaust.push_back(s.open[exhaustPort] * L);
        }
        t.share.Fit(std::move(share));
        t.steamOpen.Fit(std::move(steam));
        t.exhaustOpen.Fit(std::move(exhaust));
        for (const PeriodicSpline* open : {&t.steamOpen, &t.exhaustOpen})
            for (const double level : {0.0, t.portWidth})
                for (int k = 0; k < g.n; ++k) {
                    const double at = Crossing(*open, k, level);
                    if (at >= 0) t.corners.push_back((k + at) * g.step);
                }
        std::sort(t.corners.begin(), t.corners.end());
        // A port as wide as nothing shuts and fills at one corner: each corner once.
        t.corners.erase(std::unique(t.corners.begin(), t.corners.end()), t.corners.end());
    }
    return g;
}

Lookup Locate(const Geometry& g, double theta) {
    double pos = theta / g.step;
    pos -= std::floor(pos / g.n) * g.n;
    const int i = std::clamp(static_cast<int>(pos), 0, g.n - 1);
    Lookup k;
    k.t = pos - i;
    k.i0 = static_cast<std::size_t>(i);
    k.i1 = static_cast<std::size_t>((i + 1) % g.n);
    return k;
}

// The balances integrated beside the state, each per revolution. Flows are counted into the
// cylinder, so a port's net flow is what it gave in the revolution.
enum Quad { kWork, kChestMass, kExhaustMass, kChestEnthalpy, kExhaustEnthalpy, kQuads };

// One end in the integrator.
struct EndProblem {
    const Geometry* g = nullptr;
    const EndTables* t = nullptr;
    const Fluid* fluid = nullptr;
    Steam chest, exhaust;
    double omega = 0;          // rad/s
    mutable Steam last;        // the latest state met: the next one's starting guess
    double scale[2] = {1, 1};  // typical mass and energy: the tolerances' and differences' scale

    struct Rates {
        double dm = 0, dU = 0;
        double q[kQuads] = {};
        Steam st;
    };

    Rates At(double theta, double m, double U) const {
        Rates r;
        const Lookup k = Locate(*g, theta);
        const double V = t->clearance + t->swept * Value(t->share, k);
        const double dV = t->swept * Slope(t->share, k) / g->step;
        r.st = fluid->FromVU(V / m, U / m, &last);
        if (!r.st.ok || !(m > 0)) {
            r.st.ok = false;
            return r;
        }
        last = r.st;
        const double flowSteam = PortFlow(t->Area(t->steamOpen, k), r.st, chest);
        const double flowExhaust = PortFlow(t->Area(t->exhaustOpen, k), r.st, exhaust);
        const double hs = flowSteam > 0 ? chest.h : r.st.h;
        const double he = flowExhaust > 0 ? exhaust.h : r.st.h;
        r.dm = (flowSteam + flowExhaust) / omega;
        r.dU = (flowSteam * hs + flowExhaust * he) / omega - r.st.p * dV;
        r.q[kWork] = r.st.p * dV;
        r.q[kChestMass] = flowSteam / omega;
        r.q[kExhaustMass] = flowExhaust / omega;
        r.q[kChestEnthalpy] = flowSteam * hs / omega;
        r.q[kExhaustEnthalpy] = flowExhaust * he / omega;
        return r;
    }
};

// The state: the end's mass and internal energy, then the balances (integrated beside them so
// that they share the error test: they are results too).
constexpr int kMass = 0, kEnergy = 1, kStates = 2 + kQuads;

int Rhs(sunrealtype theta, N_Vector y, N_Vector ydot, void* data) {
    auto* e = static_cast<EndProblem*>(data);
    const sunrealtype* yv = N_VGetArrayPointer(y);
    sunrealtype* d = N_VGetArrayPointer(ydot);
    const EndProblem::Rates r = e->At(theta, yv[kMass], yv[kEnergy]);
    if (!r.st.ok) return 1;  // recoverable: CVODE retries with a smaller step
    d[kMass] = r.dm;
    d[kEnergy] = r.dU;
    for (int q = 0; q < kQuads; ++q) d[2 + q] = r.q[q];
    return 0;
}

// The Jacobian by differences in the mass and the energy alone: nothing depends on the
// balances, so their columns are zero.
int Jacobian(sunrealtype theta, N_Vector y, N_Vector fy, SUNMatrix J, void* data, N_Vector tmp1,
             N_Vector, N_Vector) {
    auto* e = static_cast<EndProblem*>(data);
    const sunrealtype* yv = N_VGetArrayPointer(y);
    const sunrealtype* f0 = N_VGetArrayPointer(fy);
    SUNMatZero(J);
    for (int j : {kMass, kEnergy}) {
        const double delta = std::sqrt(std::numeric_limits<double>::epsilon()) *
                             std::max(std::abs(yv[j]), e->scale[j]);
        N_VScale(1, y, tmp1);
        N_VGetArrayPointer(tmp1)[j] += delta;
        const sunrealtype* t = N_VGetArrayPointer(tmp1);
        const EndProblem::Rates r = e->At(theta, t[kMass], t[kEnergy]);
        if (!r.st.ok) return 1;
        sunrealtype* col = SUNDenseMatrix_Column(J, j);
        col[kMass] = (r.dm - f0[kMass]) / delta;
        col[kEnergy] = (r.dU - f0[kEnergy]) / delta;
        for (int q = 0; q < kQuads; ++q) col[2 + q] = (r.q[q] - f0[2 + q]) / delta;
    }
    return 0;
}

// CVODE's objects for one end, freed together.
class Integrator {
public:
    Integrator() { SUNContext_Create(nullptr, &ctx_); }
    ~Integrator() {
        if (mem_) CVodeFree(&mem_);
        if (ls_) SUNLinSolFree(ls_);
        if (A_) SUNMatDestroy(A_);
        if (y_) N_VDestroy(y_);
        if (ctx_) SUNContext_Free(&ctx_);
    }
    Integrator(const Integrator&) = delete;
    Integrator& operator=(const Integrator&) = delete;

    bool Init(EndProblem& p, double m, double U, double rtol, double maxStep) {
        y_ = N_VNew_Serial(kStates, ctx_);
        mem_ = CVodeCreate(CV_BDF, ctx_);
        if (!y_ || !mem_) return false;
        N_VConst(0, y_);
        N_VGetArrayPointer(y_)[kMass] = m;
        N_VGetArrayPointer(y_)[kEnergy] = U;
        N_Vector atol = N_VNew_Serial(kStates, ctx_);
        for (int i = 0; i < kStates; ++i) {
            const bool mass = i == kMass || i == 2 + kChestMass || i == 2 + kExhaustMass;
            N_VGetArrayPointer(atol)[i] = rtol * (mass ? p.scale[kMass] : p.scale[kEnergy]);
        }
        bool ok = CVodeInit(mem_, Rhs, 0, y_) == CV_SUCCESS &&
                  CVodeSVtolerances(mem_, rtol, atol) == CV_SUCCESS &&
                  CVodeSetUserData(mem_, &p) == CV_SUCCESS &&
                  CVodeSetMaxStep(mem_, maxStep) == CV_SUCCESS &&
                  CVodeSetMaxNumSteps(mem_, 200000) == CV_SUCCESS;
        N_VDestroy(atol);
        A_ = SUNDenseMatrix(kStates, kStates, ctx_);
        ls_ = SUNLinSol_Dense(y_, A_, ctx_);
        ok = ok && A_ && ls_ && CVodeSetLinearSolver(mem_, ls_, A_) == CV_SUCCESS &&
             CVodeSetJacFn(mem_, Jacobian) == CV_SUCCESS;
        return ok;
    }

    // Integrates to theta, ending a step on every corner of the turn on the way; false when
    // CVODE gives up. The corners repeat each revolution.
    bool To(double theta, const std::vector<double>& corners) {
        sunrealtype reached = 0;
        for (;;) {
            const double corner = NextCorner(corners);
            if (corner > theta) {
                return CVodeSetStopTime(mem_, corner) == CV_SUCCESS &&
                       CVode(mem_, theta, y_, &reached, CV_NORMAL) >= 0;
            }
            if (CVodeSetStopTime(mem_, corner) != CV_SUCCESS ||
                CVode(mem_, corner, y_, &reached, CV_NORMAL) < 0)
                return false;
            ++corner_;
        }
    }
    double m() const { return N_VGetArrayPointer(y_)[kMass]; }
    double U() const { return N_VGetArrayPointer(y_)[kEnergy]; }
    // The balances since the start.
    void Quadratures(double out[kQuads]) {
        for (int q = 0; q < kQuads; ++q) out[q] = N_VGetArrayPointer(y_)[2 + q];
    }

private:
    double NextCorner(const std::vector<double>& corners) const {
        if (corners.empty()) return HUGE_VAL;
        const std::size_t n = corners.size();
        const std::size_t revolutions = corner_ / n;  // whole revolutions passed
        return static_cast<double>(revolutions) * kTwoPi + corners[corner_ % n];
    }

    std::size_t corner_ = 0;  // corners passed since the start
    SUNContext ctx_ = nullptr;
    void* mem_ = nullptr;
    N_Vector y_ = nullptr;
    SUNMatrix A_ = nullptr;
    SUNLinearSolver ls_ = nullptr;
};

// The turn angle (radians from the front dead centre) of an event, or NaN without one.
double EventTurn(const ValveEventsResult& ev, const std::optional<ValveEvent>& e) {
    if (!e) return kNaN;
    return TurnAngle(ev, e->crankAngle) * kPi / 180;
}

// The card's pressure at a turn angle, by straight lines between its points.
double PressureAt(const std::vector<CardPoint>& card, double theta) {
    if (card.empty() || !std::isfinite(theta)) return kNaN;
    const int n = static_cast<int>(card.size());
    double pos = theta / kTwoPi * n;
    pos -= std::floor(pos / n) * n;
    const int i = std::min(static_cast<int>(pos), n - 1);
    const double t = pos - i;
    return card[static_cast<std::size_t>(i)].pressure * (1 - t) +
           card[static_cast<std::size_t>((i + 1) % n)].pressure * t;
}

// An end's mass and internal energy at the front dead centre.
using EndState = std::array<double, 2>;

struct EndRun {
    EndPerformance out;
    int revolutions = 0;
    std::string problem;
    EndState last{};  // at the end of the revolution that repeated
};

EndRun RunEnd(const Geometry& g, const EndTables& t, const Fluid& fluid, const Steam& chest,
              const Steam& exhaust, double revPerSecond, const EngineSolverOptions& o,
              const std::vector<double>& cardTravel, const EndState* warm) {
    EndRun run;
    EndProblem p;
    p.g = &g;
    p.t = &t;
    p.fluid = &fluid;
    p.chest = chest;
    p.exhaust = exhaust;
    p.omega = kTwoPi * revPerSecond;
    // Start at the front dead centre: the front end's clearance full of chest steam, the rear
    // end full of exhaust; or both full of exhaust.
    // A run at a neighbouring speed gives a nearer start, and the card repeats sooner.
    const Steam& start = t.front && !o.startFromExhaust ? chest : exhaust;
    const double V0 = t.Volume(0);
    double m0 = V0 * start.rho;
    double U0 = m0 * fluid.InternalEnergy(start);
    p.last = start;
    if (warm) {
        const Steam st = fluid.FromVU(V0 / (*warm)[0], (*warm)[1] / (*warm)[0], nullptr);
        if (st.ok) {
            m0 = (*warm)[0];
            U0 = (*warm)[1];
            p.last = st;
        }
    }
    const double massScale = (t.clearance + t.swept) * chest.rho;
    p.scale[kMass] = massScale;
    p.scale[kEnergy] = massScale * chest.h;
    // The slower the piston, the stiffer the ports: at a crawl they hold the pressure to the
    // chest's or the exhaust's within a hair, and the tolerance tightens to follow that hair
    // rather than wander about it, down to a hundredth at 0.5 ft/min.
    const double pistonSpeed = 2 * g.stroke * revPerSecond;
    const double rtol = o.relativeTolerance * std::clamp(pistonSpeed / 0.254, 0.01, 1.0);
    Integrator in;
    if (!in.Init(p, m0, U0, rtol, kTwoPi / 360)) {
        run.problem = "the integrator could not start";
        return run;
    }
    const int points = static_cast<int>(cardTravel.size());
    double prevMep = kNaN;
    double before[kQuads] = {};
    // The mass and energy at each point of the latest revolution: the card is worked out from
    // them once, for the revolution that repeats.
    std::vector<std::array<double, 2>> states(static_cast<std::size_t>(points));
    for (int rev = 1; rev <= o.maxRevolutions; ++rev) {
        const double start0 = (rev - 1) * kTwoPi;
        for (int k = 0; k < points; ++k) {
            if (o.cancel && o.cancel->load(std::memory_order_relaxed)) {
                run.problem = "cancelled";
                return run;
            }
            if (k > 0 && !in.To(start0 + kTwoPi * k / points, t.corners)) {
                run.problem = "the integrator failed";
                return run;
            }
            states[static_cast<std::size_t>(k)] = {in.m(), in.U()};
        }
        if (!in.To(rev * kTwoPi, t.corners)) {
            run.problem = "the integrator failed";
            return run;
        }
        double now[kQuads];
        in.Quadratures(now);
        double q[kQuads];
        for (int i = 0; i < kQuads; ++i) q[i] = now[i] - before[i];
        std::copy(now, now + kQuads, before);
        EndPerformance& e = run.out;
        e.work = q[kWork];
        e.mep = q[kWork] / t.swept;
        e.massIn = q[kChestMass];
        e.massOut = -q[kExhaustMass];
        e.enthalpyIn = q[kChestEnthalpy];
        e.enthalpyOut = -q[kExhaustEnthalpy];
        e.steamPerRev = q[kChestMass];
        run.revolutions = rev;
        // Repeated: the work as before, and as much steam left as came in.
        const double ref = std::max(std::abs(e.mep), 1e-3 * chest.p);
        const double massRef = std::max(std::abs(e.massIn), 1e-3 * massScale);
        if (rev >= 2 && std::abs(e.mep - prevMep) < o.convergence * ref &&
            std::abs(e.massIn - e.massOut) < o.convergence / 2 * massRef) {
            e.card.reserve(states.size());
            for (int k = 0; k < points; ++k) {
                const auto [m, U] = states[static_cast<std::size_t>(k)];
                const Steam st = fluid.FromVU(
                    t.Volume(static_cast<std::size_t>(k * g.n / points)) / m, U / m, &p.last);
                e.card.push_back(CardPoint{cardTravel[static_cast<std::size_t>(k)], st.p});
            }
            run.last = {in.m(), in.U()};
            return run;
        }
        prevMep = e.mep;
    }
    run.problem =
        "the card did not repeat within " + std::to_string(o.maxRevolutions) + " revolutions";
    return run;
}

// The pressures at the events, read off the converged card.
void ReadEvents(const ValveEventsResult& ev, const EndEvents& events, double chestP,
                EndPerformance& e) {
    const double cutoff = EventTurn(ev, events.cutoff);
    const double release = EventTurn(ev, events.release);
    const double compression = EventTurn(ev, events.compression);
    const double admission = EventTurn(ev, events.admission);
    e.cutoffPressure = PressureAt(e.card, cutoff) / chestP;
    e.releasePressure = PressureAt(e.card, release);
    // The highest pressure while the port is shut: from compression to admission.
    double peak = 0;
    const int n = static_cast<int>(e.card.size());
    for (int k = 0; k < n; ++k) {
        const double theta = kTwoPi * k / n;
        bool shut = true;
        if (std::isfinite(compression) && std::isfinite(admission)) {
            const double from = compression, to = admission;
            shut = from <= to ? (theta >= from && theta <= to) : (theta >= from || theta <= to);
        }
        if (shut) peak = std::max(peak, e.card[static_cast<std::size_t>(k)].pressure);
    }
    e.peakCompression = peak;
    e.compressionAboveChest = peak > chestP;
}

// Where each end stood when its card repeated: the start of a run at a neighbouring speed.
struct WarmStart {
    bool valid = false;
    std::array<EndState, 2> ends{};
};

EnginePerformance Simulate(const Geometry& g, const EngineConditions& c, double revPerSecond,
                           const EngineSolverOptions& o, int threads, WarmStart* warm = nullptr) {
    EnginePerformance r;
    r.revPerSecond = revPerSecond;
    if (!g.problem.empty()) {
        r.problem = g.problem;
        return r;
    }
    if (const std::string why = ConditionsProblem(c); !why.empty()) {
        r.problem = why;
        return r;
    }
    if (!(revPerSecond > 0) || !std::isfinite(revPerSecond)) {
        r.problem = "the engine does not turn";
        return r;
    }
    r.pistonSpeed = 2 * g.stroke * revPerSecond;
    const Fluid fluid(c.model == SteamModel::IdealGas);
    const double chestP = ChestPressureAbs(c), backP = BackPressureAbs(c);
    Steam chest;
    switch (c.supply) {
        case SteamSupply::Saturated: chest = fluid.SaturatedVapour(chestP); break;
        case SteamSupply::Superheat:
            chest = fluid.FromPT(chestP, steam::SaturationTemperature(chestP) + c.superheat);
            break;
        case SteamSupply::Temperature: chest = fluid.FromPT(chestP, c.steamTemperature); break;
    }
    const Steam exhaust = fluid.Isentropic(chest, backP);
    if (!chest.ok || !exhaust.ok) {
        r.problem = "the steam lies outside the steam tables";
        return r;
    }
    // The card's points: every sample of the tables.
    const int points = g.n;
    std::array<std::vector<double>, 2> travel;
    for (int e = 0; e < 2; ++e)
        for (int k = 0; k < points; ++k) {
            const EndTables& t = g.ends[e];
            const double share = t.share.y[static_cast<std::size_t>(k)];
            const double fromFront = t.front ? share : 1 - share;
            travel[e].push_back(fromFront * g.stroke / MetresPerUnit(c.lengthUnit));
        }
    // The two ends share nothing but the chest and the exhaust: side by side when there is a
    // core to spare.
    std::array<EndRun, 2> runs;
    std::vector<std::function<void()>> ends;
    for (int e = 0; e < 2; ++e)
        ends.emplace_back([&, e] {
            runs[e] = RunEnd(g, g.ends[e], fluid, chest, exhaust, revPerSecond, o, travel[e],
                             warm && warm->valid ? &warm->ends[e] : nullptr);
        });
    RunTasks(ends, threads);
    for (const EndRun& run : runs)
        if (!run.problem.empty()) {
            r.problem = run.problem;
            return r;
        }
    if (warm) {
        warm->valid = true;
        warm->ends[0] = runs[0].last;
        warm->ends[1] = runs[1].last;
    }
    r.front = std::move(runs[0].out);
    r.rear = std::move(runs[1].out);
    r.revolutions = std::max(runs[0].revolutions, runs[1].revolutions);
    ReadEvents(g.events, g.events.front, chestP, r.front);
    ReadEvents(g.events, g.events.rear, chestP, r.rear);
    const int cylinders = c.cylinders;
    const double work = r.front.work + r.rear.work;
    const double steamPerRev = r.front.steamPerRev + r.rear.steamPerRev;
    r.mepMean = (r.front.mep + r.rear.mep) / 2;
    r.indicatedPower = cylinders * work * revPerSecond;
    r.tractiveEffort = g.driverDia > 0 ? cylinders * work / (kPi * g.driverDia) : kNaN;
    r.steamPerHour = cylinders * steamPerRev * revPerSecond * 3600;
    r.waterRate = r.indicatedPower > 0 ? r.steamPerHour / (r.indicatedPower / 1000) : kNaN;
    const double drop = chest.h - exhaust.h;
    r.efficiency = steamPerRev > 0 && drop > 0 ? work / (steamPerRev * drop) : kNaN;
    r.ok = true;
    return r;
}

}  // namespace

EnginePerformance SimulateEngine(const Model& design, const EngineConditions& conditions,
                                 float revArmPos, const EngineSolverOptions& options) {
    const Geometry g = PrepareGeometry(design, conditions, revArmPos, options.samplesPerRev);
    EnginePerformance r = Simulate(
        g, conditions, RevPerSecond(conditions, static_cast<double>(design.design.DriverDia)),
        options, std::min(2, HardwareThreads()));
    r.revArmPos = revArmPos;
    return r;
}

std::vector<EnginePerformance> SimulateEngineMap(const Model& design,
                                                 const EngineConditions& conditions,
                                                 std::span<const float> positions,
                                                 std::span<const double> revPerMin,
                                                 const EngineSolverOptions& options) {
    std::vector<Geometry> geometry(positions.size());
    std::vector<std::function<void()>> tasks;
    for (std::size_t i = 0; i < positions.size(); ++i)
        tasks.emplace_back([&, i] {
            geometry[i] = PrepareGeometry(design, conditions, positions[i], options.samplesPerRev);
        });
    RunTasks(tasks, HardwareThreads());
    // Each position's speeds in runs of a few, each speed starting where the one before it
    // ended: enough runs to keep the cores busy, long enough runs to gain from the warm start.
    std::vector<EnginePerformance> out(positions.size() * revPerMin.size());
    tasks.clear();
    const std::size_t speeds = revPerMin.size();
    const std::size_t perRun = std::max<std::size_t>(
        1, speeds * positions.size() / (4 * static_cast<std::size_t>(HardwareThreads())));
    for (std::size_t i = 0; i < positions.size(); ++i)
        for (std::size_t from = 0; from < speeds; from += perRun)
            tasks.emplace_back([&, i, from] {
                WarmStart warm;
                for (std::size_t j = from; j < std::min(speeds, from + perRun); ++j) {
                    EnginePerformance& r = out[i * speeds + j];
                    r = Simulate(geometry[i], conditions, revPerMin[j] / 60, options, 1, &warm);
                    r.revArmPos = positions[i];
                    if (!r.ok) warm.valid = false;
                }
            });
    RunTasks(tasks, HardwareThreads());
    return out;
}

}  // namespace tarn
