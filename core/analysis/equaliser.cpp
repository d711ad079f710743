// The cut-off equaliser: a scan of the range brackets the sign changes of front minus rear
// cut-off, an Illinois root finder closes in on the one nearest the current value, and where the
// difference never changes sign a golden-section search finds its smallest size.
#include "core/analysis/equaliser.h"
#include "core/analysis/goldensection.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/model/dimensions.h"
#include "core/model/numfmt.h"

namespace tarn {

namespace {

constexpr int kScanPoints = 21;
constexpr int kMaxRefineSteps = 60;

struct Trial {
    long double v = 0;
    float stored = 0;
    bool valid = false;   // the linkage closes and both ends cut off
    bool closes = false;  // the linkage closes
    double diff = 0;
    ValveEventsResult events;
};

class Trials {
public:
    Trials(const Model& design, int id, float revArmPos) : m_(design), id_(id), pos_(revArmPos) {}

    Trial At(long double v) {
        Trial t;
        t.v = v;
        t.stored = ToFloat(v);
        SetDimension(m_, id_, t.stored);
        t.events = AnalyseValveEvents(m_, pos_);
        ++count_;
        t.closes = t.events.ok();
        if (const auto d = FrontMinusRear(t.events.front.cutoff, t.events.rear.cutoff);
            t.closes && d && std::isfinite(*d)) {
            t.valid = true;
            t.diff = *d;
        }
        return t;
    }
    int count() const { return count_; }

private:
    Model m_;
    int id_;
    float pos_;
    int count_ = 0;
};

bool Neighbours(float a, float b) { return a == b || std::nextafter(a, b) == b; }

const Trial& Better(const Trial& a, const Trial& b) {
    return std::fabs(b.diff) < std::fabs(a.diff) ? b : a;
}

// Illinois regula falsi on the difference between two valid trials of opposite sign. A value
// on the way that breaks the linkage ends the search with the better end.
Trial RefineRoot(Trials& trials, Trial a, Trial b) {
    long double fa = a.diff, fb = b.diff;
    int side = 0;
    for (int i = 0; i < kMaxRefineSteps; ++i) {
        if (Neighbours(a.stored, b.stored) || a.diff == 0 || b.diff == 0) break;
        long double c = (fa - fb != 0) ? (fa * b.v - fb * a.v) / (fa - fb) : (a.v + b.v) / 2;
        if (!(c > std::min(a.v, b.v) && c < std::max(a.v, b.v))) c = (a.v + b.v) / 2;
        Trial t = trials.At(c);
        if (!t.valid) break;
        if ((t.diff > 0) == (b.diff > 0)) {
            b = t;
            fb = t.diff;
            if (side == -1) fa /= 2;
            side = -1;
        } else {
            a = t;
            fa = t.diff;
            if (side == +1) fb /= 2;
            side = +1;
        }
    }
    return Better(a, b);
}

// Golden-section search for the smallest |difference| in [lo, hi]; broken linkages count as
// infinitely bad, so they are never the answer.
Trial RefineClosest(Trials& trials, long double lo, long double hi, const Trial& best) {
    auto cost = [](const Trial& t) { return t.valid ? std::fabs(t.diff) : 1e300; };
    Trial result = best;
    int steps = 0;
    GoldenSectionMin(
        lo, hi, [&](long double v) { return trials.At(v); }, cost,
        [&](const Trial& t) {
            if (t.valid && cost(t) < cost(result)) result = t;
        },
        [&](long double a, long double b) {
            return steps++ >= kMaxRefineSteps || Neighbours(ToFloat(a), ToFloat(b));
        });
    return result;
}

}  // namespace

SearchRange DefaultSearchRange(const Model& design, int dimensionId) {
    const long double v = GetDimension(design, dimensionId);
    const long double half = (v == 0) ? 0.1L : std::fabs(v) * 0.1L;
    return SearchRange{ToFloat(v - half), ToFloat(v + half)};
}

EqualiseResult EqualiseCutoff(const Model& design, int dimensionId, float revArmPos,
                              std::optional<SearchRange> range) {
    EqualiseResult r;
    r.dimensionId = dimensionId;
    r.revArmPos = revArmPos;
    r.oldValue = GetDimension(design, dimensionId);
    r.value = r.oldValue;
    r.before = AnalyseValveEvents(design, revArmPos);
    r.after = r.before;
    r.differenceBefore =
        r.before.ok() ? FrontMinusRear(r.before.front.cutoff, r.before.rear.cutoff) : std::nullopt;
    r.differenceAfter = r.differenceBefore;
    r.analyses = 1;
    if (!IsVariableDimension(dimensionId)) return r;

    r.range = range ? *range : DefaultSearchRange(design, dimensionId);
    if (!(r.range.lo <= r.range.hi)) std::swap(r.range.lo, r.range.hi);
    if (!std::isfinite(r.range.lo) || !std::isfinite(r.range.hi)) {
        r.status = EqualiseStatus::AllGeometryErrors;
        return r;
    }

    Trials trials(design, dimensionId, revArmPos);
    const long double lo = r.range.lo, hi = r.range.hi;
    std::vector<Trial> scan;
    for (int i = 0; i < kScanPoints; ++i) {
        const long double v = lo + (hi - lo) * i / (kScanPoints - 1);
        if (!scan.empty() && ToFloat(v) == scan.back().stored) continue;
        scan.push_back(trials.At(v));
    }
    // The current value takes part, so the answer is never worse than what the user has.
    if (r.oldValue > r.range.lo && r.oldValue < r.range.hi) {
        scan.push_back(trials.At(r.oldValue));
        std::sort(scan.begin(), scan.end(),
                  [](const Trial& a, const Trial& b) { return a.v < b.v; });
    }

    const bool anyValid =
        std::any_of(scan.begin(), scan.end(), [](const Trial& t) { return t.valid; });
    if (!anyValid) {
        const bool anyCloses =
            std::any_of(scan.begin(), scan.end(), [](const Trial& t) { return t.closes; });
        r.status = anyCloses ? EqualiseStatus::NoCutoff : EqualiseStatus::AllGeometryErrors;
        r.analyses += trials.count();
        return r;
    }

    // Brackets: neighbouring valid trials whose differences change sign (or touch zero).
    std::vector<std::size_t> brackets;
    for (std::size_t i = 0; i + 1 < scan.size(); ++i) {
        const Trial& a = scan[i];
        const Trial& b = scan[i + 1];
        if (a.valid && b.valid && ((a.diff <= 0 && b.diff >= 0) || (a.diff >= 0 && b.diff <= 0)))
            brackets.push_back(i);
    }
    std::sort(brackets.begin(), brackets.end(), [&](std::size_t x, std::size_t y) {
        const long double dx = std::fabs((scan[x].v + scan[x + 1].v) / 2 - r.oldValue);
        const long double dy = std::fabs((scan[y].v + scan[y + 1].v) / 2 - r.oldValue);
        return dx < dy;
    });

    std::optional<Trial> best;
    for (std::size_t i : brackets) {
        Trial t = RefineRoot(trials, scan[i], scan[i + 1]);
        if (!best || std::fabs(t.diff) < std::fabs(best->diff)) best = t;
        if (std::fabs(best->diff) <= kEqualCutoff) break;
    }
    if (!best || std::fabs(best->diff) > kEqualCutoff) {
        // No sign change (or only a jump across one): the smallest difference, refined between
        // the neighbours of the best scan point.
        std::size_t k = 0;
        for (std::size_t i = 0; i < scan.size(); ++i)
            if (scan[i].valid &&
                (!scan[k].valid || std::fabs(scan[i].diff) < std::fabs(scan[k].diff)))
                k = i;
        const long double a = scan[k > 0 ? k - 1 : k].v;
        const long double b = scan[k + 1 < scan.size() ? k + 1 : k].v;
        Trial t = (a < b) ? RefineClosest(trials, a, b, scan[k]) : scan[k];
        if (!best || std::fabs(t.diff) < std::fabs(best->diff)) best = t;
    }

    r.value = best->stored;
    r.after = best->events;
    r.differenceAfter = best->diff;
    r.status =
        std::fabs(best->diff) <= kEqualCutoff ? EqualiseStatus::Equal : EqualiseStatus::Closest;
    r.analyses += trials.count();
    return r;
}

std::string DescribeEqualise(const EqualiseResult& r) {
    const DimensionInfo* info = FindDimension(r.dimensionId);
    const std::string name = info ? std::string(info->caption.empty() ? info->name : info->caption)
                                  : "dimension " + Str(static_cast<long long>(r.dimensionId), 0);
    auto pct = [](double v) { return Str(v, 0, 2) + " %"; };
    switch (r.status) {
        case EqualiseStatus::Equal:
            return name + " " + Str(r.value, 0, 4) + " makes front and rear cut-off equal (" +
                   pct(r.after.front.cutoff ? r.after.front.cutoff->percent : 0) + ").";
        case EqualiseStatus::Closest:
            return "No value of " + name + " from " + Str(r.range.lo, 0, 4) + " to " +
                   Str(r.range.hi, 0, 4) + " makes the cut-offs equal; " + Str(r.value, 0, 4) +
                   " brings them closest (front - rear " + pct(r.differenceAfter.value_or(0)) +
                   ").";
        case EqualiseStatus::AllGeometryErrors:
            return "Every value of " + name + " from " + Str(r.range.lo, 0, 4) + " to " +
                   Str(r.range.hi, 0, 4) + " gives a geometry error.";
        case EqualiseStatus::NoCutoff:
            return "No value of " + name + " from " + Str(r.range.lo, 0, 4) + " to " +
                   Str(r.range.hi, 0, 4) + " gives both ends a cut-off.";
        case EqualiseStatus::NotVariable: return name + " cannot be varied.";
    }
    return "";
}

}  // namespace tarn
