// The gear curve: an analysis sweep over the reverse arm's range on both cores, and its drawing
// on the canvas.
#include "core/plots/gearcurve.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/common/parallel.h"
#include "core/model/numfmt.h"
#include "core/plots/chartkit.h"
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

constexpr Rgb kGearLineColour = 0xA0A0A0;

using chartkit::DashedLine;
using chartkit::NextNiceStep;
using chartkit::NiceStep;
using chartkit::TextPlaces;
using chartkit::TickText;

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

void LeadRange(const GearCurve& g, double& lo, double& hi) {
    for (const GearCurvePoint& p : g.points)
        for (const auto& v : {p.frontLead, p.rearLead})
            if (v) {
                lo = std::min(lo, *v);
                hi = std::max(hi, *v);
            }
}

// The gears' short names in `rows` rows above the plot, mid gear and the normal gears first,
// each centred on its line or else beside it, in the nearest row with room; false when one is
// left out.
bool PlaceGearNames(TextPlaces& texts, const Frame& f, const GearCurve& design, int rows) {
    const int line = texts.Height();
    bool all = true;
    for (const Gear g : kGearsFromMid) {
        const std::string name(GearInfoOf(g).shortName);
        const auto i = static_cast<std::size_t>(g);
        const int w = texts.Width(name), x = RoundPixel(f.X(design.gearOffsets[i]));
        bool placed = false;
        for (int row = 0; row < rows && !placed; ++row) {
            const int y = f.top - line / 2 - 2 - line * (row + 1);
            for (const int left : {x - w / 2, x + 3, x - 3 - w})
                if ((placed = texts.PutIfFree(left, y, name))) break;
        }
        all = all && placed;
    }
    return all;
}

// The plot's frame: the percentage grid and its numbers on the left, the lead axis on the right
// with its zero line, the reverse arm's offset numbered below, the gears' lines with their names
// above, and a red cross on the axis where the linkage cannot close.
void DrawPlot(Canvas& c, const Frame& f, TextPlaces& texts, const GearCurve& design, int nameRows,
              double leadStep, const std::vector<std::string>& leadLabels) {
    const int line = texts.Height();
    const int plotHeight = f.bottom - f.top;

    // Every 10 %, numbered every 20 % (every 50 % or only the ends on a short plot).
    const int numbered = plotHeight / 5 >= line ? 20 : plotHeight / 2 >= line ? 50 : 100;
    for (int v = 0; v <= 100; v += 10) {
        const int y = RoundPixel(f.YPercent(v));
        c.SetPenColor(v == 0 ? kBlack : 0xE0E0E0);
        plotkit::Line(c, f.left, y, f.right, y);
        if (v % numbered == 0) {
            const std::string t = std::to_string(v);
            texts.Put(f.left - 5 - texts.Width(t), y - line / 2, t);
        }
    }
    c.SetPenColor(kBlack);
    plotkit::Line(c, f.left, f.top, f.left, f.bottom + 1);

    if (!leadLabels.empty()) {
        plotkit::Line(c, f.right, f.top, f.right, f.bottom + 1);
        for (std::size_t k = 0; k < leadLabels.size(); ++k) {
            const int y = RoundPixel(f.YLead(f.leadLo + static_cast<double>(k) * leadStep));
            plotkit::Line(c, f.right, y, f.right + 4, y);
            texts.Put(f.right + 6, y - line / 2, leadLabels[k]);
        }
        // Lead 0: a curve above it opens the port before dead centre.
        c.SetPenColor(kZeroLeadColour);
        const int y = RoundPixel(f.YLead(0));
        plotkit::Line(c, f.left, y, f.right, y);
        c.SetPenColor(kBlack);
    }

    // The offset from mid gear, numbered no closer than the numbers' own width.
    const double span = 2 * f.range;
    auto ticks = [&](double step) {
        std::vector<double> at;
        for (auto k = static_cast<long>(std::ceil(-f.range / step - 1e-9));
             k * step <= f.range * (1 + 1e-9); ++k)
            at.push_back(static_cast<double>(k) * step);
        return at;
    };
    double step = NiceStep(span, 10);
    for (;;) {
        int widest = 0;
        for (double v : ticks(step)) widest = std::max(widest, texts.Width(TickText(v, step)));
        if (step / span * (f.right - f.left) >= widest + 8 || step >= span) break;
        step = NextNiceStep(step);
    }
    const int numberY = f.bottom + line / 2 + 2;
    for (double v : ticks(step)) {
        const int x = RoundPixel(f.X(v));
        plotkit::Line(c, x, f.bottom, x, f.bottom + 5);
        const std::string t = TickText(v, step);
        texts.PutIfFree(x - texts.Width(t) / 2, numberY, t);
    }
    const int titleY = numberY + line;
    const int middle = (f.left + f.right) / 2;
    for (const std::string t : {"reverse arm from mid gear [len]", "from mid gear [len]"})
        if (texts.PutIfFree(middle - texts.Width(t) / 2, titleY, t)) break;
    texts.PutIfFree(f.left, titleY, "forward");
    texts.PutIfFree(f.right - texts.Width("reverse"), titleY, "reverse");

    // The gears: a line each, and the name where there is room.
    c.SetPenColor(kGearLineColour);
    for (const double offset : design.gearOffsets) {
        const int x = RoundPixel(f.X(offset));
        plotkit::Line(c, x, f.top, x, f.bottom);
    }
    PlaceGearNames(texts, f, design, nameRows);

    c.SetPenColor(kRed);
    for (const GearCurvePoint& p : design.points) {
        if (!p.error) continue;
        const int x = RoundPixel(f.X(p.offset)), y = f.bottom;
        plotkit::Line(c, x - 3, y - 3, x + 4, y + 4);
        plotkit::Line(c, x - 3, y + 3, x + 4, y - 4);
    }
    c.SetPenColor(kBlack);
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
    std::vector<std::function<void()>> tasks;
    for (std::size_t i = 0; i < positions.size(); ++i)
        tasks.emplace_back([&, i] { results[i] = AnalyseValveEvents(design, positions[i]); });
    RunTasks(tasks, std::min(2, HardwareThreads()));

    GearCurve g;
    const float centre = design.motion.RevArmPositions[0];
    for (const ValveEventsResult& r : results) g.points.push_back(PointOf(r, centre));
    g.range = std::max(std::fabs(static_cast<double>(back) - static_cast<double>(centre)),
                       std::fabs(static_cast<double>(full) - static_cast<double>(centre)));
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
    TextPlaces texts(c, width);
    const int line = texts.Height();

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

    // At the top the left axis's unit, the right axis's unit and between them the legend, a
    // sample of each line before its name, in as many rows as it needs.
    const std::string percentTitle = "% of stroke", leadTitle = "lead [len]";
    constexpr int kSample = 16, kEntryGap = 12;
    struct Entry {
        int x, y;
        Rgb colour;
        int penWidth;
        bool dashed;
        std::string name;
    };
    std::vector<Entry> legend;
    int x = 4 + texts.Width(percentTitle) + kEntryGap, y = 4, rowStart = x;
    int rowEnd = width - 4 - (style.lead ? texts.Width(leadTitle) + kEntryGap : 0);
    auto add = [&](Rgb colour, int penWidth, bool dashed, const std::string& name) {
        const int w = kSample + 4 + texts.Width(name);
        if (x + w > rowEnd && x > rowStart) {  // the next row has the picture's whole width
            x = rowStart = 4;
            rowEnd = width - 4;
            y += line;
        }
        if (x + w > rowEnd) return;  // a picture too narrow even for this entry alone
        legend.push_back({x, y, colour, penWidth, dashed, name});
        x += w + kEntryGap;
    };
    for (std::size_t i = 0; i < series.size(); ++i)
        if (series[i].shown) add(kGearCurveColours[i], series[i].width, false, series[i].name);
    if (reference) add(kBlack, 1, true, "reference");

    // Below the legend a row for the gears' names (two where one has no room for them all) and
    // below the plot a row of numbers, each half a line clear of the numbers beside the plot;
    // then a row for the axis's title.
    Frame f{4 + texts.Width("100") + 6, width, 0, height - 2 - 2 * line - line / 2 - 2, 1, 0, 1};
    f.range = std::max(design.range, reference ? reference->range : 0.0);
    if (!(f.range > 0)) f.range = 1;
    double leadStep = 1;
    std::vector<std::string> leadLabels;
    int nameRows = 1;
    for (;; ++nameRows) {
        f.top = y + line + 2 + nameRows * line + line / 2 + 2;
        // The lead axis on the right: its numbers decide where the plot ends.
        leadLabels.clear();
        if (style.lead) {
            double lo = 0, hi = 0;
            LeadRange(design, lo, hi);
            if (reference) LeadRange(*reference, lo, hi);
            if (!(hi > lo)) hi = lo + 0.1;
            leadStep = NiceStep(hi - lo, 5);
            // Numbers no closer than a line of text.
            while ((f.bottom - f.top) * leadStep / (hi - lo + leadStep) < line &&
                   leadStep < hi - lo)
                leadStep = NextNiceStep(leadStep);
            const long first = std::lround(std::floor(lo / leadStep + 1e-9));
            const long last = std::lround(std::ceil(hi / leadStep - 1e-9));
            f.leadLo = static_cast<double>(first) * leadStep;
            f.leadHi = static_cast<double>(last) * leadStep;
            int widest = 0;
            for (long k = first; k <= last; ++k) {
                leadLabels.push_back(TickText(static_cast<double>(k) * leadStep, leadStep));
                widest = std::max(widest, texts.Width(leadLabels.back()));
            }
            f.right = width - 4 - widest - 6;
        } else {
            f.right = width - 4 - texts.Width("-0.0") / 2;
        }
        TextPlaces trial(c, width, false);
        if (nameRows == 2 || PlaceGearNames(trial, f, design, nameRows)) break;
    }
    if (f.right - f.left < 40 || f.bottom - f.top < 40) return;

    texts.Put(4, 4, percentTitle);
    if (style.lead) texts.Put(width - 4 - texts.Width(leadTitle), 4, leadTitle);
    for (const Entry& e : legend) texts.Put(e.x + kSample + 4, e.y, e.name);

    DrawPlot(c, f, texts, design, nameRows, leadStep, leadLabels);

    for (std::size_t i = 0; i < series.size(); ++i) {
        const SeriesOf& s = series[i];
        if (!s.shown) continue;
        c.SetPenColor(kGearCurveColours[i]);
        c.SetPenWidth(s.width);
        if (reference) Series(c, f, *reference, s.member, s.lead, true);
        Series(c, f, design, s.member, s.lead, false);
    }
    // The legend's samples, drawn last as the key to what is drawn.
    for (const Entry& e : legend) {
        c.SetPenColor(e.colour);
        c.SetPenWidth(e.penWidth);
        const int sampleY = e.y + line / 2;
        if (e.dashed) {
            double phase = 0;
            DashedLine(c, e.x, sampleY, e.x + kSample, sampleY, phase);
        } else {
            plotkit::Line(c, e.x, sampleY, e.x + kSample, sampleY);
        }
    }
    c.SetPenWidth(1);
    c.SetPenColor(kBlack);
}

}  // namespace tarn
