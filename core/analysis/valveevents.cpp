// Valve events by root finding on the solver. The four port openings are each the valve stem
// position PivotX[4] plus or minus a constant, so between two turning points of the stem every
// opening is monotonic: a coarse sweep with its turning points refined finds every opening and
// closing, and a bracketed root finder places each one.
#include "core/analysis/valveevents.h"
#include "core/analysis/goldensection.h"
#include "core/analysis/rootfind.h"

#include <algorithm>
#include <cmath>

#include "core/model/numfmt.h"
#include "core/model/solver.h"

namespace tarn {

namespace {

constexpr int kCoarseSteps = 72;  // 5 degrees: cheap, and turning points are refined anyway
constexpr long double kCoarseStep = 360.0L / kCoarseSteps;
constexpr long double kAngleTolerance = 1e-6L;
constexpr long double kTurningTolerance = 1e-3L;  // an opening's peak is flat: 1e-3 degree is ample

enum Port { FrontSteam = 0, FrontExhaust, RearSteam, RearExhaust, kPorts };

struct Sample {
    long double turn = 0;  // degrees turned from the front dead centre
    long double x4 = 0;    // valve stem joint
    long double x3 = 0;    // crosshead
    std::array<long double, kPorts> open{};
};

// The solver on a private copy of the design, turned in the main window's direction.
class Crank {
public:
    Crank(const Model& design, float revArmPos) : m_(design) {
        m_.motion.RevArmPos = revArmPos;
        reverse_ = revArmPos > m_.motion.RevArmPositions[0] && !IsMidGear(design, revArmPos);
        m_.motion.Direction = reverse_ ? Direction::Reverse : Direction::Forward;
        m_.display.BeepOnError = true;
        m_.solved.GeometryError = false;
    }

    Crank(const Crank&) = delete;
    Crank& operator=(const Crank&) = delete;

    bool reverse() const { return reverse_; }
    bool failed() const { return failed_; }
    double errorAngle() const { return errorAngle_; }

    // The 32-bit crank angle the program would hold after turning `turn` degrees.
    float AngleFor(long double turn) const {
        long double a = reverse_ ? 360.0L - turn : turn;
        // fmod is exact: within [0, 360) it would give a itself.
        if (!(a >= 0 && a < 360.0L)) a = std::fmod(a, 360.0L);
        if (a < 0) a += 360.0L;
        float f = ToFloat(a);
        if (f >= 360.0f) f = 0.0f;
        return f;
    }

    Sample At(long double turn) {
        Sample s;
        s.turn = turn;
        const float angle = AngleFor(turn);
        // The searches come back to angles already solved (the dead centres, the 32-bit
        // neighbours a crossing ends between): those are looked up. A geometry error there was
        // met the first time.
        const Solved& known = solved_.At(angle, [&] {
            m_.motion.CrankAngle = angle;
            sweep_.SolveValveStem();
            return Solved{m_.pivots.PivotX[4],
                          m_.pivots.PivotX[3],
                          {m_.solved.FrontSteamOpen, m_.solved.FrontExhaustOpen,
                           m_.solved.RearSteamOpen, m_.solved.RearExhaustOpen}};
        });
        s.x4 = known.x4;
        s.x3 = known.x3;
        for (int p = 0; p < kPorts; ++p) s.open[p] = known.open[p];
        bool finite = std::isfinite(s.x4) && std::isfinite(s.x3);
        for (long double v : s.open) finite = finite && std::isfinite(v);
        if ((m_.solved.GeometryError || !finite) && !failed_) {
            failed_ = true;
            errorAngle_ = m_.motion.CrankAngle;
        }
        return s;
    }

private:
    struct Solved {
        f32 x4 = 0, x3 = 0;
        std::array<f32, kPorts> open{};
    };

    Model m_;
    // The solver, flagging errors as BeepOnError is set above.
    LinkageSweep sweep_{SolverParts{m_.design, m_.motion, m_.pivots, m_.solved, true}};
    CrankAngleCache<Solved, 512> solved_;  // above the ~200 angles solved
    bool reverse_ = false;
    bool failed_ = false;
    double errorAngle_ = 0;
};

bool IsOpen(long double v) { return v > 0; }

// Golden-section search for the turning point of the stem in [a, b]; sign +1 finds the largest
// PivotX[4], -1 the smallest.
Sample RefineTurningPoint(Crank& crank, long double a, long double b, int sign) {
    return GoldenSectionMin(
        a, b, [&](long double t) { return crank.At(t); },
        [sign](const Sample& s) { return -sign * s.x4; },
        [&](long double lo, long double hi) {
            return !(hi - lo > kTurningTolerance) || crank.failed();
        });
}

// The turn at which port p changes between open and closed inside [a, b] (the ends differ in
// state). Stops at 1e-6 degree or when the two ends are neighbouring 32-bit crank angles, the
// finest the program can tell apart.
long double RefineCrossing(Crank& crank, const Sample& from, const Sample& to, Port p) {
    const auto [a, b] = IllinoisBracket(
        from, to, [&](long double t) { return crank.At(t); },
        [](const Sample& s) { return s.turn; }, [p](const Sample& s) { return s.open[p]; },
        [&](const Sample& lo, const Sample& hi) {
            if (crank.failed() || hi.turn - lo.turn < kAngleTolerance) return true;
            const float ta = crank.AngleFor(lo.turn), tb = crank.AngleFor(hi.turn);
            return ta == tb || std::nextafter(ta, tb) == tb;
        },
        100);
    // The zero of the chord between the final ends; they are as close as the crank can tell.
    const long double va = a.open[p], vb = b.open[p];
    long double t = (va - vb != 0) ? a.turn + va * (b.turn - a.turn) / (va - vb) : a.turn;
    return std::clamp(t, a.turn, b.turn);
}

struct Crossing {
    long double turn;
    bool opening;
};

// Where the crosshead stands at an event, counted from this end's dead centre.
ValveEvent EventAt(Crank& crank, const CrossheadDeadCentres& dc, long double turn, bool front) {
    const Sample s = crank.At(turn);
    const long double fromFront = CrossheadTravelFraction(dc, s.x3);
    const long double share = front ? fromFront : 1.0L - fromFront;
    return ValveEvent{crank.AngleFor(turn), static_cast<double>(s.x3),
                      static_cast<double>(share * 100.0L),
                      static_cast<double>(share * (dc.front - dc.rear))};
}

struct Opening {
    std::optional<long double> opens, closes;
    int count = 0;
    long double peak = 0;
    long double peakTurn = 0;
};

// The openings of port p over the revolution; the one with the largest peak is kept.
Opening FindOpening(Crank& crank, const std::vector<Sample>& samples, Port p) {
    Opening result;
    const std::size_t n = samples.size();
    std::size_t peakIndex = 0;
    for (std::size_t i = 1; i < n; ++i)
        if (samples[i].open[p] > samples[peakIndex].open[p]) peakIndex = i;
    result.peak = samples[peakIndex].open[p];
    result.peakTurn = samples[peakIndex].turn;

    std::vector<Crossing> crossings;
    for (std::size_t i = 0; i < n; ++i) {
        const Sample& a = samples[i];
        if (IsOpen(a.open[p]) == IsOpen(samples[(i + 1) % n].open[p])) continue;
        Sample b = samples[(i + 1) % n];
        if (i + 1 == n) b.turn += 360.0L;
        long double t = RefineCrossing(crank, a, b, p);
        if (t >= 360.0L) t -= 360.0L;
        crossings.push_back({t, !IsOpen(a.open[p])});
    }
    if (crossings.empty()) {
        result.count = IsOpen(result.peak) ? 1 : 0;  // always open, or never
        return result;
    }
    // Crossings alternate; pair each opening with the closing that follows it (cyclically) and
    // keep the pair whose span holds the highest sample.
    std::size_t first = 0;
    while (!crossings[first].opening) ++first;
    long double bestPeak = -1e300L;
    for (std::size_t k = 0; k < crossings.size(); ++k) {
        const Crossing& o = crossings[(first + k) % crossings.size()];
        if (!o.opening) continue;
        const Crossing& c = crossings[(first + k + 1) % crossings.size()];
        ++result.count;
        long double span = c.turn - o.turn;
        if (span < 0) span += 360.0L;
        long double peak = -1e300L;
        for (const Sample& s : samples) {
            long double d = s.turn - o.turn;
            if (d < 0) d += 360.0L;
            if (d <= span) peak = std::max(peak, s.open[p]);
        }
        if (peak > bestPeak) {
            bestPeak = peak;
            result.opens = o.turn;
            result.closes = c.turn;
        }
    }
    return result;
}

}  // namespace

ValveEventsResult AnalyseValveEvents(const Model& design, float revArmPos) {
    ValveEventsResult r;
    r.revArmPos = revArmPos;
    Crank crank(design, revArmPos);
    r.reverse = crank.reverse();

    std::vector<Sample> samples;
    samples.reserve(kCoarseSteps + 8);
    for (int k = 0; k < kCoarseSteps; ++k) samples.push_back(crank.At(k * kCoarseStep));
    if (crank.failed()) {
        r.geometryError = true;
        r.errorAngle = crank.errorAngle();
        return r;
    }

    // Refine every turning point of the stem and add it to the samples.
    std::vector<Sample> turning;
    for (int k = 0; k < kCoarseSteps; ++k) {
        const Sample& prev = samples[(k + kCoarseSteps - 1) % kCoarseSteps];
        const Sample& cur = samples[k];
        const Sample& next = samples[(k + 1) % kCoarseSteps];
        int sign = 0;
        if (cur.x4 >= prev.x4 && cur.x4 > next.x4) sign = +1;
        if (cur.x4 <= prev.x4 && cur.x4 < next.x4) sign = -1;
        if (sign == 0) continue;
        Sample t = RefineTurningPoint(crank, cur.turn - kCoarseStep, cur.turn + kCoarseStep, sign);
        if (t.turn < 0) t.turn += 360.0L;
        if (t.turn >= 360.0L) t.turn -= 360.0L;
        turning.push_back(t);
    }
    samples.insert(samples.end(), turning.begin(), turning.end());
    std::sort(samples.begin(), samples.end(),
              [](const Sample& a, const Sample& b) { return a.turn < b.turn; });

    const CrossheadDeadCentres dc = CrossheadDeadCentresOf(design.design, design.pivots);
    auto fill = [&](EndEvents& e, Port steam, Port exhaust, bool front) {
        const Opening s = FindOpening(crank, samples, steam);
        const Opening x = FindOpening(crank, samples, exhaust);
        if (s.opens) e.admission = EventAt(crank, dc, *s.opens, front);
        if (s.closes) e.cutoff = EventAt(crank, dc, *s.closes, front);
        if (x.opens) e.release = EventAt(crank, dc, *x.opens, front);
        if (x.closes) e.compression = EventAt(crank, dc, *x.closes, front);
        e.steamOpenings = s.count;
        e.exhaustOpenings = x.count;
        e.maxSteamOpening = static_cast<double>(s.peak);
        e.maxSteamAngle = crank.AngleFor(s.peakTurn);
        e.maxExhaustOpening = static_cast<double>(x.peak);
        e.maxExhaustAngle = crank.AngleFor(x.peakTurn);
        e.lead = static_cast<double>(crank.At(front ? 0.0L : 180.0L).open[steam]);
    };
    fill(r.front, FrontSteam, FrontExhaust, true);
    fill(r.rear, RearSteam, RearExhaust, false);

    if (crank.failed()) {
        r.geometryError = true;
        r.errorAngle = crank.errorAngle();
        r.front = EndEvents{};
        r.rear = EndEvents{};
    }
    return r;
}

RevolutionSamples SampleRevolution(const Model& design, float revArmPos, int n) {
    RevolutionSamples r;
    Crank crank(design, revArmPos);
    r.reverse = crank.reverse();
    const CrossheadDeadCentres dc = CrossheadDeadCentresOf(design.design, design.pivots);
    r.crossheadTravel = static_cast<double>(dc.front - dc.rear);
    n = std::max(n, 4);
    r.at.reserve(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        const Sample s = crank.At(360.0L * k / n);
        RevolutionSample out;
        out.fromFront = static_cast<double>(CrossheadTravelFraction(dc, s.x3));
        for (int p = 0; p < kPorts; ++p) out.open[p] = static_cast<double>(s.open[p]);
        r.at.push_back(out);
    }
    if (crank.failed()) {
        r.geometryError = true;
        r.errorAngle = crank.errorAngle();
        r.at.clear();
    }
    return r;
}

double TurnAngle(const ValveEventsResult& r, double crankAngle) {
    double t = r.reverse ? 360.0 - crankAngle : crankAngle;
    t = std::fmod(t, 360.0);
    if (t < 0) t += 360.0;
    if (t >= 360.0) t = 0;
    return t;
}

std::optional<double> FrontMinusRear(const std::optional<ValveEvent>& front,
                                     const std::optional<ValveEvent>& rear) {
    if (!front || !rear) return std::nullopt;
    return front->percent - rear->percent;
}

float GearRevArmPos(const Model& design, Gear g) {
    const GearInfo& gear = GearInfoOf(g);
    long double limit = 0;  // the design's gear limit the bar stands at
    switch (gear.reach) {
        case GearReach::Centre: return design.motion.RevArmPositions[0];
        case GearReach::Normal: limit = design.design.RevArmToCentNorm; break;
        case GearReach::Full: limit = design.design.RevArmToCentMax; break;
    }
    const long double centre = design.motion.RevArmPositions[0];
    const long double bar = Round(limit * 1000.0L);
    return ToFloat(gear.side < 0 ? centre - bar / 1000.0L : centre + bar / 1000.0L);
}

namespace {
// How far a position is from where the bar puts a gear.
long double DistanceFrom(float revArmPos, float gearPos) {
    return std::fabs(static_cast<long double>(revArmPos) - static_cast<long double>(gearPos));
}
}  // namespace

bool IsMidGear(const Model& design, float revArmPos) {
    return DistanceFrom(revArmPos, design.motion.RevArmPositions[0]) <= kMidGearTolerance;
}

std::optional<Gear> GearAt(const Model& design, float revArmPos) {
    // Mid gear first: with a zero offset the normal and full positions coincide with it.
    if (IsMidGear(design, revArmPos)) return Gear::Mid;
    // Otherwise the nearest gear within the same tolerance: "7.847" typed is normal reverse at
    // 7.84699974, as three decimals show it.
    std::optional<Gear> nearest;
    long double best = kMidGearTolerance;
    for (const Gear g : kGearsFromMid) {
        if (GearInfoOf(g).reach == GearReach::Centre) continue;  // IsMidGear said no
        const long double d = DistanceFrom(revArmPos, GearRevArmPos(design, g));
        if (d < best || (d == best && !nearest)) {
            best = d;
            nearest = g;
        }
    }
    return nearest;
}

float ClampRevArmPos(const Model& design, float revArmPos) {
    const long double centre = design.motion.RevArmPositions[0];
    long double v = revArmPos;
    const float lo = ToFloat(centre - design.design.RevArmToCentMax);
    const float hi = ToFloat(centre + design.design.RevArmToCentMax);
    if (v < lo) v = lo;
    if (v > hi) v = hi;
    return ToFloat(v);
}

std::vector<ValveEventsResult> AnalysePositions(const Model& design,
                                                std::span<const float> positions) {
    std::vector<ValveEventsResult> out;
    out.reserve(positions.size());
    for (float p : positions) out.push_back(AnalyseValveEvents(design, p));
    return out;
}

std::vector<float> StandardGearPositions(const Model& design) {
    std::vector<float> out;
    for (Gear g : kStandardGears) out.push_back(GearRevArmPos(design, g));
    return out;
}

}  // namespace tarn
