// The port-event diagram: where in the piston stroke the eight valve events (admission,
// cut-off, release, compression at either end) happen, for 19 reverse-arm settings from the
// centre to the maximum offset, forward, reverse or both superimposed.
#include <array>

#include "core/model/numfmt.h"
#include "core/model/solver.h"
#include "core/plots/plotkit.h"
#include "core/plots/plots.h"

namespace tarn {

using namespace plotkit;

namespace {

enum class Crossing { Opens, Closes };
enum class Label { None, Admission, CutOff, Release, Compression };

struct EventRule {
    int opening;  // index into the four openings: front steam, front exhaust, rear steam, rear exhaust
    Crossing crossing;
    bool front;
    Label label;
};

// The eight events in the order they are tested each step.
constexpr std::array<EventRule, 8> kEvents{{
    {0, Crossing::Opens, true, Label::Admission},
    {1, Crossing::Opens, true, Label::Release},
    {2, Crossing::Opens, false, Label::None},
    {3, Crossing::Opens, false, Label::None},
    {0, Crossing::Closes, true, Label::CutOff},
    {1, Crossing::Closes, true, Label::Compression},
    {2, Crossing::Closes, false, Label::None},
    {3, Crossing::Closes, false, Label::None},
}};

long double EventX(bool front, long double e) {
    return front ? e * 0.84375L + 9 : 540 - e * 0.84375L + 9;
}
int EventPixel(bool front, long double e) {
    return front ? RoundPixel(e * 0.84375L) + 9 : RoundPixel(540 - e * 0.84375L) + 9;
}

void Polyline(Canvas& c, std::initializer_list<std::pair<long double, int>> pts) {
    bool first = true;
    for (const auto& [x, y] : pts) {
        if (first) c.MoveTo(RoundPixel(x), y);
        else c.LineTo(RoundPixel(x), y);
        first = false;
    }
}

}  // namespace

DiagramControls DrawPortDiagram(Model& m, Canvas& c) {
    MotionSave save(m);
    StartDrawing(c);
    const bool reverse = m.diagrams.PortGraphMode == PortGraphMode::Reverse;

    // Per event: the piston position of its last firing and of the one before (equal once it
    // has fired in this drawing).
    std::array<f32, 8> last{};
    std::array<f32, 8> previous;
    previous.fill(-1);
    long double slotA = 0, slotC = 0, slotR = 0, slotK = 0;

    Line(c, 9, 42, 9, 353);
    Line(c, 9, 343, 549, 343);
    Line(c, 549, 353, 549, 42);
    for (int i = 0; i <= 9; ++i) {
        for (int j = 2; j <= 20; ++j) Line(c, 27 * j - 18, 32 * i + 52, 27 * j - 18, 32 * i + 58);
        for (int k = 2; k <= 10; ++k) Line(c, 54 * k - 45, 32 * i + 45, 54 * k - 45, 32 * i + 65);
        for (int j = 2; j <= 22; ++j) Line(c, 27 * j - 49, 32 * i + 55, 27 * j - 40, 32 * i + 55);
    }

    c.SetFontColor(kRed);
    c.TextOut(420, 47, "Maximum");
    // With no travel at all the normal setting is the maximum.
    const long double normal =
        m.design.RevArmToCentMax > 0
            ? static_cast<long double>(m.design.RevArmToCentNorm) / m.design.RevArmToCentMax
            : 1.0L;
    const int normalY = RoundPixel(343 - 288 * normal);
    c.SetPenColor(kBlue);
    Line(c, 59, normalY, 650, normalY);
    c.SetFontColor(kBlue);
    c.TextOut(345, normalY - 7, "Normal");
    c.SetPenColor(kBlack);
    c.SetFontColor(kBlack);

    static constexpr struct {
        int x, y;
        const char* text;
    } kTexts[] = {{10, 353, "0"},      {56, 353, "10"},   {110, 353, "20"},
                  {164, 353, "30"},    {218, 353, "40"},  {272, 353, "50"},
                  {326, 353, "60"},    {380, 353, "70"},  {434, 353, "80"},
                  {488, 353, "90"},    {529, 350, "100"}, {200, 367, "Percent Piston Travel"},
                  {568, 350, "Center"}};
    for (const auto& t : kTexts) c.TextOut(t.x, t.y, t.text);
    static constexpr int kLetterY[18] = {76,  90,  104, 118, 132, 146, 160, 178, 192,
                                         206, 224, 238, 252, 266, 280, 294, 308, 322};
    const char* word = "REVERSEARMPOSITION";
    for (int i = 0; i < 18; ++i)
        c.TextOut(word[i] == 'I' ? 537 : 535, kLetterY[i], std::string(1, word[i]));

    if (!reverse) {
        c.TextOut(415, 290, "Fwd.");
        c.SetFontColor(kTeal);
        c.TextOut(446, 284, "Front Port");
        c.SetFontColor(kRed);
        c.TextOut(446, 296, "Rear Port");
    } else {
        c.TextOut(415, 321, "Rev.");
        c.SetFontColor(kGreen);
        c.TextOut(446, 315, "Front Port");
        c.SetFontColor(kMaroon);
        c.TextOut(446, 327, "Rear Port");
    }
    c.SetFontColor(kBlack);

    const Rgb frontColour = reverse ? kGreen : kTeal;
    const Rgb rearColour = reverse ? kMaroon : kRed;
    // Every row turns the crank through the same 90 angles.
    LinkageSweep sweep(SolverPartsOf(m));
    // A setting beyond the float range stops at the largest float, so every row value is a
    // number.
    for (int i = 0; i <= 18; ++i) {
        const long double d = i * static_cast<long double>(m.design.RevArmToCentMax) / 18;
        if (!reverse) {
            m.motion.RevArmPos = ToFloat(m.motion.RevArmPositions[0] - d);
            c.TextOut(554, 32, "Forward");
        } else {
            m.motion.RevArmPos = ToFloat(m.motion.RevArmPositions[0] + d);
            c.TextOut(605, 32, "Rev.");
        }
        c.TextOut(reverse ? 596 : 556, 336 - 16 * i, Str(m.motion.RevArmPos, 7, 3));
        m.motion.CrankAngle = 0;
        m.solved.PistonPos = 0;
        f32 prevPos = 0;
        std::array<f32, 4> prevOpen{};
        for (int s = 0; s <= 90; ++s) {
            long double a = m.motion.CrankAngle + (reverse ? -4.0L : 4.0L);
            while (a > 360) a -= 360;
            while (a < 0) a += 360;
            m.motion.CrankAngle = static_cast<f32>(a);
            // The openings need the valve stem only; the last step leaves the whole linkage
            // solved, as every drawing does.
            if (i == 18 && s == 90) sweep.Solve();
            else sweep.SolveValveStem();
            const std::array<f32, 4> open{m.solved.FrontSteamOpen, m.solved.FrontExhaustOpen,
                                          m.solved.RearSteamOpen, m.solved.RearExhaustOpen};
            if (s > 0) {
                for (int ev = 0; ev < 8; ++ev) {
                    const EventRule& rule = kEvents[ev];
                    const long double b = prevOpen[rule.opening];
                    const long double cur = open[rule.opening];
                    const bool fires = rule.crossing == Crossing::Opens ? (b < 0 && cur >= 0)
                                                                        : (b > 0 && cur <= 0);
                    if (!fires) continue;
                    const long double p = m.solved.PistonPos;
                    const long double q = prevPos;
                    const f32 e = static_cast<f32>(p - (q - p) * cur / (b - cur));
                    if (last[ev] == previous[ev]) {
                        c.SetPenColor(rule.front ? frontColour : rearColour);
                        Line(c, EventPixel(rule.front, previous[ev]), 343 - 16 * (i - 1),
                             EventPixel(rule.front, e), 343 - 16 * i);
                    }
                    previous[ev] = e;
                    last[ev] = e;
                    if (i == 13 && rule.front) {
                        const long double x = EventX(true, e);
                        switch (rule.label) {
                            case Label::Admission: slotA = x; break;
                            case Label::CutOff: slotC = x; break;
                            case Label::Release: slotR = x; break;
                            case Label::Compression: slotK = x; break;
                            case Label::None: break;
                        }
                    }
                }
                c.SetFontColor(kBlack);
            }
            prevPos = m.solved.PistonPos;
            prevOpen = open;
        }
    }

    if (m.diagrams.PortCycleLabels) {
        // The working cycle around row 13, drawn in the colour of the last event line.
        const long double C = slotC, R = slotR, K = slotK, A = slotA;
        c.SetFontBold(true);
        Polyline(c, {{C - 110, 101},
                     {C - 70, 101},
                     {C - 20, 135},
                     {C, 135},
                     {C - 12, 131},
                     {C - 12, 139},
                     {C, 135}});
        c.TextOut(RoundPixel(C + 10), 129, "Exp");
        Polyline(c, {{C + 40, 135}, {R, 135}, {R - 12, 131}, {R - 12, 139}, {R, 135}});
        Polyline(c, {{R + 8, 135}, {549, 135}, {529, 169}, {R - 160, 169}});
        c.TextOut(RoundPixel(R - 190), 163, "Exh");
        Polyline(c, {{R - 200, 169},
                     {K + 100, 169},
                     {K + 50, 135},
                     {K, 135},
                     {K + 12, 131},
                     {K + 12, 139},
                     {K, 135}});
        c.TextOut(RoundPixel(K - 25), 129, "Com");
        Polyline(c, {{K - 30, 135},
                     {A, 135},
                     {A + 12, 139},
                     {A + 12, 131},
                     {A, 135},
                     {9, 135},
                     {27, 101},
                     {C - 150, 101}});
        c.TextOut(RoundPixel(C - 140), 95, "Adm");
        c.SetFontBold(false);
    }
    c.SetPenColor(kBlack);

    DiagramControls ui;
    PaintDynVarBlock(m, c, ui);
    PaintDiagramUndoLine(m, c, ui);
    return ui;
}

DiagramControls PortBothGraphs(Model& m, Canvas& c) {
    m.diagrams.PortGraphMode = PortGraphMode::Forward;
    c.Clear(kWhite);
    DrawPortDiagram(m, c);
    m.diagrams.PortGraphMode = PortGraphMode::Reverse;
    m.diagrams.PortCycleLabels = false;
    DiagramControls ui = DrawPortDiagram(m, c);
    m.diagrams.PortCycleLabels = true;
    m.diagrams.PortGraphMode = PortGraphMode::Both;
    return ui;
}

}  // namespace tarn
