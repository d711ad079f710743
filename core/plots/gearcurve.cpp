// The gear curve: an analysis sweep over the reverse arm's range on both cores, and its drawing
// on the canvas.
#include "core/plots/gearcurve.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <thread>

#include "core/model/numfmt.h"
#include "core/plots/plotkit.h"

namespace tarn {

namespace {

GearCurvePoint PointOf(const ValveEventsResult& r, float centre) {
    GearCurvePoint p;
    p.revArmPos = r.revArmPos;
    p.offset = static_cast<double>(r.revArmPos) - static_cast<double>(centre);
    p.error = !r.ok();
    if (p.error) return p;
    auto pct = [](const std::optional<ValveEvent>& e) {
        return e ? std::optional<double>(e->percent) : std::nullopt;
    };
    p.frontCutoff = pct(r.front.cutoff);
    p.rearCutoff = pct(r.rear.cutoff);
    p.frontRelease = pct(r.front.release);
    p.rearRelease = pct(r.rear.release);
    p.frontLead = r.front.lead;
    p.rearLead = r.rear.lead;
    return p;
}

constexpr int kDashOn = 6, kDashOff = 4;

// A line drawn as dashes; `phase` carries the pattern from one segment to the next.
void DashedLine(Canvas& c, double x1, double y1, double x2, double y2, double& phase) {
    const double len = std::hypot(x2 - x1, y2 - y1);
    double at = 0;
    while (at < len) {
        const double inPattern = std::fmod(phase + at, kDashOn + kDashOff);
        const bool on = inPattern < kDashOn;
        const double step =
            std::min(len - at, on ? kDashOn - inPattern : kDashOn + kDashOff - inPattern);
        if (on) {
            const double a = at / len, b = (at + step) / len;
            c.MoveTo(RoundPixel(x1 + (x2 - x1) * a), RoundPixel(y1 + (y2 - y1) * a));
            c.LineTo(RoundPixel(x1 + (x2 - x1) * b), RoundPixel(y1 + (y2 - y1) * b));
        }
        at += step;
    }
    phase = std::fmod(phase + len, kDashOn + kDashOff);
}

struct Frame {
    int left, right, top, bottom;
    double range;
    double leadLo, leadHi;

    double X(double offset) const { return left + (offset + range) / (2 * range) * (right - left); }
    double YPercent(double v) const { return bottom - v / 100.0 * (bottom - top); }
    double YLead(double v) const {
        return bottom - (v - leadLo) / (leadHi - leadLo) * (bottom - top);
    }
};

using Member = std::optional<double> GearCurvePoint::*;

// One series as a line through the points that have it, broken where a point lacks it.
void Series(Canvas& c, const Frame& f, const GearCurve& g, Member member, bool lead, bool dashed) {
    bool drawing = false;
    double px = 0, py = 0, phase = 0;
    for (const GearCurvePoint& p : g.points) {
        const auto& v = p.*member;
        if (!v) {
            drawing = false;
            continue;
        }
        const double x = f.X(p.offset);
        const double y = lead ? f.YLead(std::clamp(*v, f.leadLo, f.leadHi))
                              : f.YPercent(std::clamp(*v, 0.0, 100.0));
        if (drawing) {
            if (dashed) {
                DashedLine(c, px, py, x, y, phase);
            } else {
                c.MoveTo(RoundPixel(px), RoundPixel(py));
                c.LineTo(RoundPixel(x), RoundPixel(y));
            }
        } else {
            phase = 0;
        }
        px = x;
        py = y;
        drawing = true;
    }
}

// A step of 1, 2 or 5 times a power of ten giving about `ticks` intervals over span.
double NiceStep(double span, int ticks) {
    const double raw = span / ticks;
    const double p = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * p >= raw) return m * p;
    return 10 * p;
}

constexpr int kCharWidth = 6;  // the 8 pt sans digit, near enough to right-align labels

void RightText(Canvas& c, int right, int y, const std::string& s) {
    c.TextOut(right - kCharWidth * static_cast<int>(s.size()), y, s);
}
void CentredText(Canvas& c, int x, int y, const std::string& s) {
    c.TextOut(x - kCharWidth * static_cast<int>(s.size()) / 2, y, s);
}

void LeadRange(const GearCurve& g, double& lo, double& hi) {
    for (const GearCurvePoint& p : g.points)
        for (const auto& v : {p.frontLead, p.rearLead})
            if (v) {
                lo = std::min(lo, *v);
                hi = std::max(hi, *v);
            }
}

}  // namespace

GearCurve ComputeGearCurve(const Model& design, int steps) {
    steps = std::max(steps, 2);
    const float full = GearRevArmPos(design, Gear::FullForward);
    const float back = GearRevArmPos(design, Gear::FullReverse);
    std::vector<float> positions;
    positions.reserve(static_cast<std::size_t>(steps) + 3);
    for (int k = 0; k < steps; ++k) {
        const long double t = static_cast<long double>(k) / (steps - 1);
        positions.push_back(k == 0 ? full
                            : k == steps - 1
                                ? back
                                : ToFloat(full + (back - static_cast<long double>(full)) * t));
    }
    for (Gear g : kStandardGears) positions.push_back(GearRevArmPos(design, g));
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());

    std::vector<ValveEventsResult> results(positions.size());
    auto analyse = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i)
            results[i] = AnalyseValveEvents(design, positions[i]);
    };
    const std::size_t half = positions.size() / 2;
    if (std::thread::hardware_concurrency() > 1) {
        std::thread other(analyse, half, positions.size());
        analyse(0, half);
        other.join();
    } else {
        analyse(0, positions.size());
    }

    GearCurve g;
    const float centre = design.motion.RevArmPositions[0];
    for (const ValveEventsResult& r : results) g.points.push_back(PointOf(r, centre));
    g.range = std::max(std::fabs(static_cast<double>(back) - centre),
                       std::fabs(static_cast<double>(full) - centre));
    for (std::size_t i = 0; i < kStandardGears.size(); ++i)
        g.gearOffsets[i] = static_cast<double>(GearRevArmPos(design, kStandardGears[i])) -
                           static_cast<double>(centre);
    return g;
}

void DrawGearCurve(Canvas& c, int width, int height, const GearCurve& design,
                   const GearCurve* reference, const GearCurveStyle& style) {
    c.Clear(kWhite);
    plotkit::StartDrawing(c);
    c.SetTextBackground(false);
    Frame f{48, width - (style.lead ? 60 : 16), 40, height - 32, 1, 0, 1};
    f.range = std::max(design.range, reference ? reference->range : 0.0);
    if (!(f.range > 0)) f.range = 1;
    if (f.right - f.left < 40 || f.bottom - f.top < 40) return;

    // The percentage grid and its labels.
    for (int v = 0; v <= 100; v += 10) {
        const int y = RoundPixel(f.YPercent(v));
        c.SetPenColor(v == 0 ? kBlack : 0xE0E0E0);
        plotkit::Line(c, f.left, y, f.right, y);
        if (v % 20 == 0) RightText(c, f.left - 5, y - 6, std::to_string(v));
    }
    c.TextOut(4, f.top - 32, "% of stroke");

    // The lead axis on the right.
    if (style.lead) {
        double lo = 0, hi = 0;
        LeadRange(design, lo, hi);
        if (reference) LeadRange(*reference, lo, hi);
        if (!(hi > lo)) hi = lo + 0.1;
        const double step = NiceStep(hi - lo, 5);
        f.leadLo = std::floor(lo / step) * step;
        f.leadHi = std::ceil(hi / step) * step;
        c.SetPenColor(kBlack);
        plotkit::Line(c, f.right, f.top, f.right, f.bottom + 1);
        const int decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step)));
        for (double v = f.leadLo; v <= f.leadHi + step / 2; v += step) {
            const int y = RoundPixel(f.YLead(v));
            plotkit::Line(c, f.right, y, f.right + 4, y);
            c.TextOut(f.right + 6, y - 6, Str(std::fabs(v) < step / 2 ? 0.0L : v, 0, decimals));
        }
        RightText(c, width - 4, f.top - 32, "lead [len]");
    }

    // The gear positions.
    static constexpr std::array<const char*, 5> kShort{"full fwd", "normal fwd", "mid",
                                                       "normal rev", "full rev"};
    c.SetPenColor(0xA0A0A0);
    int lastLabelEnd = -kPixelLimit;
    for (std::size_t i = 0; i < design.gearOffsets.size(); ++i) {
        const int x = RoundPixel(f.X(design.gearOffsets[i]));
        plotkit::Line(c, x, f.top, x, f.bottom);
        // A label that would run into the one before it (a gear close to another) is left out.
        const int half = kCharWidth * static_cast<int>(std::string(kShort[i]).size()) / 2;
        if (x - half > lastLabelEnd + 4) {
            CentredText(c, x, f.bottom + 3, kShort[i]);
            lastLabelEnd = x + half;
        }
    }
    c.SetPenColor(kBlack);
    plotkit::Line(c, f.left, f.top, f.left, f.bottom + 1);
    c.TextOut(f.left, f.bottom + 17, "forward");
    RightText(c, f.right, f.bottom + 17, "reverse");
    CentredText(c, (f.left + f.right) / 2, f.bottom + 17, "reverse arm from mid gear");

    // Geometry errors: a red cross on the axis.
    c.SetPenColor(kRed);
    for (const GearCurvePoint& p : design.points) {
        if (!p.error) continue;
        const int x = RoundPixel(f.X(p.offset)), y = f.bottom;
        plotkit::Line(c, x - 3, y - 3, x + 4, y + 4);
        plotkit::Line(c, x - 3, y + 3, x + 4, y - 4);
    }

    struct SeriesOf {
        Member member;
        bool lead;
        bool shown;
        int width;
        const char* name;
    };
    const std::array<SeriesOf, 6> series{{
        {&GearCurvePoint::frontCutoff, false, true, 2, "front cut-off"},
        {&GearCurvePoint::rearCutoff, false, true, 2, "rear cut-off"},
        {&GearCurvePoint::frontRelease, false, style.release, 1, "front release"},
        {&GearCurvePoint::rearRelease, false, style.release, 1, "rear release"},
        {&GearCurvePoint::frontLead, true, style.lead, 1, "front lead"},
        {&GearCurvePoint::rearLead, true, style.lead, 1, "rear lead"},
    }};
    int legendX = f.left + 80;
    for (std::size_t i = 0; i < series.size(); ++i) {
        const SeriesOf& s = series[i];
        if (!s.shown) continue;
        c.SetPenColor(kGearCurveColours[i]);
        c.SetPenWidth(s.width);
        if (reference) Series(c, f, *reference, s.member, s.lead, true);
        Series(c, f, design, s.member, s.lead, false);
        plotkit::Line(c, legendX, f.top - 26, legendX + 16, f.top - 26);
        c.SetPenWidth(1);
        c.TextOut(legendX + 20, f.top - 32, s.name);
        legendX += 20 + kCharWidth * static_cast<int>(std::string(s.name).size()) + 14;
    }
    c.SetPenColor(kBlack);
    if (reference) c.TextOut(legendX, f.top - 32, "(dashed: reference)");
}

}  // namespace tarn
