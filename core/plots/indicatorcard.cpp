// The indicator cards and the performance curves on the canvas: a small chart of its own (axes
// with round ticks, lines in dash patterns) under a legend.
#include "core/plots/indicatorcard.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

#include "core/model/numfmt.h"
#include "core/plots/chartkit.h"
#include "core/plots/plotkit.h"

namespace tarn {

namespace {

double PressureIn(double pascals, PressureUnit unit) {
    return PressureDisplay(unit).FromSi(pascals);
}

using chartkit::DashPattern;
using chartkit::TextPlaces;

struct XY {
    double x = 0, y = 0;
};

// A line through points; a missing point (nullopt) breaks it.
struct Line {
    std::vector<std::optional<XY>> points;
    Rgb colour = kBlack;
    int width = 1;
    DashPattern pattern;
    bool closed = false;  // back to the first point at the end
};

struct Axis {
    double lo = 0, hi = 1, step = 1;
    std::string title;
    std::string shortTitle = {};  // where the title has no room
};

// A chart's plot area and its scales.
struct Plot {
    int boxLeft = 0;  // the chart's own left edge, where its axis's title starts
    int left = 0, top = 0, right = 0, bottom = 0;
    Axis x, y;
    double X(double v) const { return left + (v - x.lo) / (x.hi - x.lo) * (right - left); }
    double Y(double v) const { return bottom - (v - y.lo) / (y.hi - y.lo) * (bottom - top); }
};

// The values' range widened to whole steps, the step the one of about `ticks` intervals.
Axis AxisOver(double lo, double hi, int ticks, std::string title, std::string shortTitle = {}) {
    if (!(hi > lo)) {
        const double pad = std::max(std::fabs(lo) * 0.1, 1.0);
        lo -= pad;
        hi += pad;
    }
    Axis a;
    a.step = chartkit::NiceStep(hi - lo, ticks);
    a.lo = std::floor(lo / a.step + 1e-9) * a.step;
    a.hi = std::ceil(hi / a.step - 1e-9) * a.step;
    a.title = std::move(title);
    a.shortTitle = std::move(shortTitle);
    return a;
}

std::vector<double> Ticks(const Axis& a) {
    std::vector<double> out;
    for (auto k = std::lround(std::ceil(a.lo / a.step - 1e-9));
         static_cast<double>(k) * a.step <= a.hi + a.step * 1e-9; ++k)
        out.push_back(static_cast<double>(k) * a.step);
    return out;
}

constexpr Rgb kGridColour = 0xE0E0E0;

// The plot in the box (left, top)-(right, bottom): the axis's title above the numbers on the
// left, the numbers of x and its title below; a light grid at the ticks. The steps grow until
// the numbers keep a line apart up the side and their own width apart along the bottom.
Plot LayOutPlot(TextPlaces& texts, int left, int top, int right, int bottom, Axis x, Axis y) {
    const int line = texts.Height();
    Plot p;
    p.boxLeft = left;
    p.top = top + line + line / 2 + 2;
    p.bottom = bottom - 2 - 2 * line - line / 2 - 2;
    auto widen = [](Axis& a, double lo, double hi) {
        a.step = chartkit::NextNiceStep(a.step);
        a.lo = std::floor(lo / a.step + 1e-9) * a.step;
        a.hi = std::ceil(hi / a.step - 1e-9) * a.step;
    };
    const double ylo = y.lo, yhi = y.hi, xlo = x.lo, xhi = x.hi;
    while ((p.bottom - p.top) * y.step / (y.hi - y.lo) < line + 2 && y.step < yhi - ylo)
        widen(y, ylo, yhi);
    int widest = 0;
    for (const double v : Ticks(y))
        widest = std::max(widest, texts.Width(chartkit::TickText(v, y.step)));
    p.left = left + 4 + widest + 6;
    p.right = right - 4 - texts.Width(chartkit::TickText(xhi, x.step)) / 2;
    for (;;) {
        int w = 0;
        for (const double v : Ticks(x)) w = std::max(w, texts.Width(chartkit::TickText(v, x.step)));
        if ((p.right - p.left) * x.step / (x.hi - x.lo) >= w + 8 || x.step >= xhi - xlo) break;
        widen(x, xlo, xhi);
    }
    p.x = std::move(x);
    p.y = std::move(y);
    return p;
}

void DrawAxes(Canvas& c, TextPlaces& texts, const Plot& p) {
    const int line = texts.Height();
    for (const double v : Ticks(p.y)) {
        const int y = RoundPixel(p.Y(v));
        c.SetPenColor(kGridColour);
        plotkit::Line(c, p.left + 1, y, p.right, y);
        c.SetPenColor(kBlack);
        plotkit::Line(c, p.left - 4, y, p.left, y);
        const std::string t = chartkit::TickText(v, p.y.step);
        texts.PutIfFree(p.left - 6 - texts.Width(t), y - line / 2, t);
    }
    const int numberY = p.bottom + line / 2 + 2;
    for (const double v : Ticks(p.x)) {
        const int x = RoundPixel(p.X(v));
        c.SetPenColor(kGridColour);
        plotkit::Line(c, x, p.top, x, p.bottom);
        c.SetPenColor(kBlack);
        plotkit::Line(c, x, p.bottom, x, p.bottom + 5);
        const std::string t = chartkit::TickText(v, p.x.step);
        texts.PutIfFree(x - texts.Width(t) / 2, numberY, t);
    }
    c.SetPenColor(kBlack);
    plotkit::Line(c, p.left, p.top, p.left, p.bottom + 1);
    plotkit::Line(c, p.left, p.bottom, p.right + 1, p.bottom);
    texts.PutIfFree(p.boxLeft + 4, p.top - line - line / 2, p.y.title);
    for (const std::string& t : {p.x.title, p.x.shortTitle})
        if (!t.empty() &&
            texts.PutIfFree((p.left + p.right - texts.Width(t)) / 2, numberY + line, t))
            break;
}

// The line, clipped to the plot's range by clamping.
void DrawLine(Canvas& c, const Plot& p, const Line& l) {
    c.SetPenColor(l.colour);
    c.SetPenWidth(l.width);
    auto at = [&](const XY& v) {
        return XY{p.X(std::clamp(v.x, p.x.lo, p.x.hi)), p.Y(std::clamp(v.y, p.y.lo, p.y.hi))};
    };
    XY last;
    bool drawing = false;
    double phase = 0;
    for (const std::optional<XY>& v : l.points) {
        if (!v) {
            drawing = false;
            phase = 0;
            continue;
        }
        const XY now = at(*v);
        if (drawing) chartkit::PatternLine(c, last.x, last.y, now.x, now.y, l.pattern, phase);
        last = now;
        drawing = true;
    }
    if (l.closed && drawing && l.points.front()) {
        const XY first = at(*l.points.front());
        chartkit::PatternLine(c, last.x, last.y, first.x, first.y, l.pattern, phase);
    }
    c.SetPenWidth(1);
    c.SetPenColor(kBlack);
}

// The legend: a sample of each line before its name, in rows from the top left.
struct LegendEntry {
    std::string name;
    Rgb colour = kBlack;
    int width = 1;
    DashPattern pattern;
};

constexpr int kSample = 24, kEntryGap = 12;

// Draws the entries and returns the y below the legend.
int DrawLegend(Canvas& c, TextPlaces& texts, int width, const std::vector<LegendEntry>& entries) {
    const int line = texts.Height();
    int x = 4, y = 4;
    for (const LegendEntry& e : entries) {
        const int w = kSample + 4 + texts.Width(e.name);
        if (x + w > width - 4 && x > 4) {
            x = 4;
            y += line;
        }
        texts.Put(x + kSample + 4, y, e.name);
        c.SetPenColor(e.colour);
        c.SetPenWidth(e.width);
        double phase = 0;
        const int sampleY = y + line / 2;
        chartkit::PatternLine(c, x, sampleY, x + kSample, sampleY, e.pattern, phase);
        x += w + kEntryGap;
    }
    c.SetPenWidth(1);
    c.SetPenColor(kBlack);
    return entries.empty() ? y : y + line;
}

DashPattern PatternOf(const GearCard& card) {
    const GearPattern& p =
        card.atReverser ? kReverserPattern : kGearPatterns[static_cast<std::size_t>(card.gear)];
    return DashPattern(p.lengths.data(), p.count);
}

void Message(Canvas& c, TextPlaces& texts, int width, int height, const std::string& text) {
    texts.PutIfFree(std::max(2, (width - texts.Width(text)) / 2), height / 2 - texts.Height() / 2,
                    text);
    (void)c;
}

// The first reason a result gives for not being ok.
std::string ProblemOf(const std::vector<const EnginePerformance*>& results) {
    for (const EnginePerformance* r : results)
        if (r && !r->ok && !r->problem.empty()) return r->problem;
    return "no results";
}

}  // namespace

std::string CardName(const GearCard& card) {
    if (!card.atReverser) return std::string(GearName(card.gear));
    return "reverser at " + Str(static_cast<long double>(card.result.revArmPos), 0, 3);
}

void DrawIndicatorCards(Canvas& c, int width, int height, const IndicatorCards& cards) {
    c.Clear(kWhite);
    plotkit::StartDrawing(c);
    c.SetTextBackground(false);
    TextPlaces texts(c, width);

    // The range: the travel from 0, the pressures with the atmosphere in sight.
    double maxTravel = 0, lo = 0, hi = 0;
    bool any = false;
    std::vector<const EnginePerformance*> all;
    for (const auto* set : {&cards.design, &cards.reference})
        for (const GearCard& g : *set) {
            all.push_back(&g.result);
            if (!g.result.ok) continue;
            for (const EndPerformance* end : {&g.result.front, &g.result.rear})
                for (const CardPoint& p : end->card) {
                    const double gauge =
                        PressureIn(p.pressure - cards.atmosphere, cards.pressureUnit);
                    maxTravel = std::max(maxTravel, p.travel);
                    lo = std::min(lo, gauge);
                    hi = std::max(hi, gauge);
                    any = true;
                }
        }
    if (!any) {
        Message(c, texts, width, height, "No indicator cards: " + ProblemOf(all));
        return;
    }

    std::vector<LegendEntry> legend{{"front end", kCardFrontColour, 2, {}},
                                    {"rear end", kCardRearColour, 2, {}}};
    for (const GearCard& g : cards.design) legend.push_back({CardName(g), kBlack, 2, PatternOf(g)});
    if (!cards.reference.empty())
        legend.push_back(
            {cards.referenceName.empty() ? "reference" : "reference (" + cards.referenceName + ")",
             kBlack, 1, chartkit::kDashed});
    const int below = DrawLegend(c, texts, width, legend);

    const std::string unit(PressureDisplay(cards.pressureUnit).text);
    // A little of the vacuum below the atmospheric line, and room above the admission line.
    const double low = std::min(lo, -0.1 * (hi - lo)), high = hi + 0.05 * (hi - low);
    const Plot plot =
        LayOutPlot(texts, 0, below, width, height,
                   AxisOver(0, maxTravel, 8,
                            std::string("piston travel from front dead centre [") +
                                std::string(LengthDisplay(cards.lengthUnit).text) + "]"),
                   AxisOver(low, high, 8, unit + " gauge"));
    if (plot.right - plot.left < 40 || plot.bottom - plot.top < 40) return;
    DrawAxes(c, texts, plot);

    // The atmospheric line, named under its left end.
    c.SetPenColor(kAtmosphereColour);
    const int atmY = RoundPixel(plot.Y(0));
    plotkit::Line(c, plot.left + 1, atmY, plot.right + 1, atmY);
    c.SetFontColor(kAtmosphereColour);
    texts.PutIfFree(plot.left + 4, atmY + 2, "atmosphere");
    c.SetFontColor(kBlack);

    auto cardLine = [&](const EndPerformance& end, Rgb colour, int w, DashPattern pattern) {
        Line l{{}, colour, w, pattern, true};
        for (const CardPoint& pt : end.card)
            l.points.push_back(
                XY{pt.travel, PressureIn(pt.pressure - cards.atmosphere, cards.pressureUnit)});
        DrawLine(c, plot, l);
    };
    for (const GearCard& g : cards.reference) {
        if (!g.result.ok) continue;
        cardLine(g.result.front, kCardFrontColour, 1, chartkit::kDashed);
        cardLine(g.result.rear, kCardRearColour, 1, chartkit::kDashed);
    }
    for (const GearCard& g : cards.design) {
        if (!g.result.ok) continue;
        cardLine(g.result.front, kCardFrontColour, 2, PatternOf(g));
        cardLine(g.result.rear, kCardRearColour, 2, PatternOf(g));
    }
}

void DrawPerformanceCurves(Canvas& c, int width, int height, const PerformanceCurves& design,
                           const PerformanceCurves* reference, PressureUnit pressureUnit,
                           LengthUnit lengthUnit) {
    c.Clear(kWhite);
    plotkit::StartDrawing(c);
    c.SetTextBackground(false);
    TextPlaces texts(c, width);

    const DisplayUnit pressure = PressureDisplay(pressureUnit),
                      powerUnit = PowerDisplay(lengthUnit);
    using Value = std::function<double(const EnginePerformance&)>;
    const Value mep = [&](const EnginePerformance& r) { return pressure.FromSi(r.mepMean); };
    const Value power = [&](const EnginePerformance& r) {
        return powerUnit.FromSi(r.indicatedPower);
    };

    // The lines of one design against speed for a value, and their range.
    double maxSpeed = 0, mepHi = 0, mepLo = 0, powerHi = 0, powerLo = 0;
    double range = 0;
    bool any = false;
    std::vector<const EnginePerformance*> all;
    for (const PerformanceCurves* d : {&design, reference}) {
        if (!d) continue;
        for (const double n : d->revPerMin) maxSpeed = std::max(maxSpeed, n);
        for (const auto& gear : d->bySpeed)
            for (const EnginePerformance& r : gear) {
                all.push_back(&r);
                if (!r.ok) continue;
                any = true;
                mepHi = std::max(mepHi, mep(r));
                mepLo = std::min(mepLo, mep(r));
                powerHi = std::max(powerHi, power(r));
                powerLo = std::min(powerLo, power(r));
            }
        for (const EnginePerformance& r : d->byPosition) {
            all.push_back(&r);
            range = std::max(range, std::fabs(static_cast<double>(r.revArmPos) -
                                              static_cast<double>(d->midGear)));
            if (!r.ok) continue;
            any = true;
            mepHi = std::max(mepHi, mep(r));
            mepLo = std::min(mepLo, mep(r));
        }
    }
    if (!any) {
        Message(c, texts, width, height, "No performance curves: " + ProblemOf(all));
        return;
    }

    std::vector<LegendEntry> legend;
    for (const GearInfo& g : kGears)
        legend.push_back(
            {std::string(g.name), kGearColours[static_cast<std::size_t>(g.gear)], 2, {}});
    if (reference) legend.push_back({"reference", kBlack, 1, chartkit::kDashed});
    const int below = DrawLegend(c, texts, width, legend);

    const std::string pu(pressure.text);
    const int third = width / 3;
    struct Chart {
        int left, right;
        Axis x, y;
    };
    const Chart charts[] = {
        {0, third, AxisOver(0, maxSpeed, 6, "speed [rev/min]"),
         AxisOver(mepLo, mepHi, 6, "MEP [" + pu + "]")},
        {third, 2 * third, AxisOver(0, maxSpeed, 6, "speed [rev/min]"),
         AxisOver(powerLo, powerHi, 6, "indicated power [" + std::string(powerUnit.text) + "]")},
        {2 * third, width,
         AxisOver(-std::max(range, 1e-3), std::max(range, 1e-3), 6,
                  "reverse arm from mid gear [len]", "from mid gear [len]"),
         AxisOver(mepLo, mepHi, 6,
                  "MEP at " + Str(static_cast<long double>(design.positionRevPerMin), 0, 0) +
                      " rev/min [" + pu + "]")},
    };
    for (std::size_t k = 0; k < std::size(charts); ++k) {
        const Chart& ch = charts[k];
        const Plot plot = LayOutPlot(texts, ch.left, below, ch.right, height, ch.x, ch.y);
        if (plot.right - plot.left < 40 || plot.bottom - plot.top < 40) continue;
        DrawAxes(c, texts, plot);
        for (const PerformanceCurves* d : {reference, &design}) {
            if (!d) continue;
            const bool dashed = d == reference;
            if (k < 2) {
                const Value value = k == 0 ? mep : power;
                for (std::size_t g = 0; g < d->bySpeed.size(); ++g) {
                    Line l{{},
                           kGearColours[g],
                           dashed ? 1 : 2,
                           dashed ? DashPattern(chartkit::kDashed) : DashPattern{},
                           false};
                    for (std::size_t i = 0; i < d->bySpeed[g].size() && i < d->revPerMin.size();
                         ++i) {
                        const EnginePerformance& r = d->bySpeed[g][i];
                        if (r.ok) l.points.push_back(XY{d->revPerMin[i], value(r)});
                        else l.points.push_back(std::nullopt);
                    }
                    DrawLine(c, plot, l);
                }
            } else {
                if (!dashed) {
                    // The gears' lines, each in its colour, for the positions.
                    for (std::size_t g = 0; g < d->gearOffsets.size(); ++g) {
                        c.SetPenColor(kGearColours[g]);
                        const int x = RoundPixel(plot.X(d->gearOffsets[g]));
                        plotkit::Line(c, x, plot.top, x, plot.bottom);
                    }
                }
                Line l{{},
                       kBlack,
                       dashed ? 1 : 2,
                       dashed ? DashPattern(chartkit::kDashed) : DashPattern{},
                       false};
                for (const EnginePerformance& r : d->byPosition) {
                    if (r.ok)
                        l.points.push_back(
                            XY{static_cast<double>(r.revArmPos) - static_cast<double>(d->midGear),
                               mep(r)});
                    else l.points.push_back(std::nullopt);
                }
                DrawLine(c, plot, l);
            }
        }
    }
}

}  // namespace tarn
