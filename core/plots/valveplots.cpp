// The two valve-travel diagrams: travel against crank angle (one and a half turns) and travel
// against piston position (the oval), one curve per listed reverse-arm position, with the port
// levels, the vertical scale and, at mid gear, the lead, lap and exhaust clearance.
#include <algorithm>
#include <cmath>

#include "core/model/numfmt.h"
#include "core/model/solver.h"
#include "core/plots/plotkit.h"
#include "core/plots/plots.h"

namespace tarn {

using namespace plotkit;

namespace {

// Valve travel v (units, front positive) to a pixel row: DiagramScale units span 375 pixels.
int TravelY(const Model& m, long double base, long double v) {
    return RoundPixel(base - v * 375.0L / m.diagrams.DiagramScale);
}

// The scale at the left: ticks every 0.02 and labels every 0.1 unit, thinned to every 0.1 and
// 0.5 unit above a scale of 3.75. Only ticks inside the client area are visited, so an odd
// scale cannot make the loop long.
void PaintTravelScale(const Model& m, Canvas& c, int labelX, int clientHeight) {
    const long double s = m.diagrams.DiagramScale;
    if (!(s > 0) || !std::isfinite(s)) return;
    const bool dense = s <= 3.75L;
    const long long g = Round(4.0L * s);
    // Rows 0..clientHeight correspond to these ranges of h and l (before rounding).
    auto visible = [&](long double perStep, long long lo, long long hi, long long& from,
                       long long& to) {
        long double a = std::floor(-215.0L * s / perStep) - 1;
        long double b = std::ceil((clientHeight - 215.0L) * s / perStep) + 1;
        from = std::max<long long>(lo, static_cast<long long>(std::max(a, -1e12L)));
        to = std::min<long long>(hi, static_cast<long long>(std::min(b, 1e12L)));
    };
    long long from = 0, to = -1;
    visible(7.5L, -5 * g, 5 * g, from, to);
    for (long long h = from; h <= to; ++h) {
        if (h % 5 != 0 && !dense) continue;
        const int y = Round(h * 7.5L / s + 215);
        if (y < 0 || y >= clientHeight) continue;
        Line(c, 39, y, 44, y);
    }
    visible(37.5L, -g, g, from, to);
    for (long long l = from; l <= to; ++l) {
        if (l % 5 != 0 && !dense) continue;
        const int y = Round(l * 37.5L / s + 215);
        if (y < 0 || y >= clientHeight) continue;
        Line(c, 36, y, 44, y);
        c.TextOut(labelX, Round(210 - l * 37.5L / s), Str(l * 0.1L, 1, 1));
    }
}

void PaintListHeader(const Model& m, Canvas& c) {
    c.TextOut(ScaleX(m, 500), 0, "Reverse Arm Positions");
    c.TextOut(ScaleX(m, 520), 13, "Center");
    c.TextOut(ScaleX(m, 580), 13, Str(m.motion.RevArmPositions[0], 6, 3));
}

void PaintListRow(const Model& m, Canvas& c, int n) {
    const int y = Round(n * static_cast<long double>(m.display.FontScaleY) * 12) + 12;
    c.TextOut(ScaleX(m, 545), y, Str(static_cast<long long>(n), 5));
    c.TextOut(ScaleX(m, 580), y, Str(m.motion.RevArmPositions[n], 6, 3));
    c.TextOut(ScaleX(m, 533), y, DirectionWord(m, m.motion.RevArmPositions[n]));
}

// Where the six port-level captions stand in one diagram.
struct LevelTextX {
    int frontOpen, frontMax, frontExhaust, rearOpen, rearMax, rearExhaust;
};

void PaintPortLevels(const Model& m, Canvas& c, int lineEnd, const LevelTextX& tx) {
    const long double k = 375.0L / m.diagrams.DiagramScale;
    c.SetPenColor(kLime);
    for (f32 lap : {m.solved.FrontSteamLap, m.solved.FrontPortReach, m.solved.FrontExhaustLap}) {
        const int y = RoundPixel(215 - lap * k);
        Line(c, 15, y, lineEnd, y);
    }
    c.TextOut(tx.frontOpen, RoundPixel(199 - m.solved.FrontSteamLap * k), "Front Steam Port Open");
    c.TextOut(tx.frontMax, RoundPixel(216 - m.solved.FrontPortReach * k), "Front Steam Port Max");
    c.TextOut(tx.frontExhaust, RoundPixel(216 - m.solved.FrontExhaustLap * k),
              "Front Exhaust Port Open");
    c.SetPenColor(kRed);
    for (f32 lap : {m.solved.RearSteamLap, m.solved.RearPortReach, m.solved.RearExhaustLap}) {
        const int y = RoundPixel(215 + lap * k);
        Line(c, 15, y, lineEnd, y);
    }
    c.TextOut(tx.rearOpen, RoundPixel(216 + m.solved.RearSteamLap * k), "Rear Steam Port Open");
    c.TextOut(tx.rearMax, RoundPixel(199 + m.solved.RearPortReach * k), "Rear Steam Port Max");
    c.TextOut(tx.rearExhaust, RoundPixel(199 + m.solved.RearExhaustLap * k),
              "Rear Exhaust Port Open");
    c.SetPenColor(kBlack);
}

void PaintScaleTexts(const Model& m, Canvas& c) {
    c.TextOut(9, 46, "Front");
    c.TextOut(9, 374, "Rear");
    c.TextOut(9, 32, "Units Travel");
    c.TextOut(9, 18, "Scale =");
    c.TextOut(50, 18, Str(m.diagrams.DiagramScale, 3, 1));
}

bool AtCentre(const Model& m) {
    const long double c = m.motion.RevArmPositions[0];
    return c - 0.05L < m.motion.RevArmPos && m.motion.RevArmPos < c + 0.05L;
}

// The extremes of the valve stem joint over the mid-gear sweep. A holds the smallest and B
// the largest when the front port is wider than the ring distance, the other way round
// otherwise; both start from the first sample.
struct CentreTravel {
    bool wide = false;
    bool seeded = false;
    f32 a = 0, b = 0;
    void Track(f32 x) {
        if (!seeded) {
            a = b = x;
            seeded = true;
        } else if (wide) {
            a = std::min(a, x);
            b = std::max(b, x);
        } else {
            a = std::max(a, x);
            b = std::min(b, x);
        }
    }
};

void PaintLeadLap(const Model& m, Canvas& c, const CentreTravel& t) {
    c.TextOut(595, 153, "Lead");
    c.TextOut(595, 182, "Lap");
    c.TextOut(595, 211, "ExCl");
    c.TextOut(595, 253, "Lap");
    c.TextOut(595, 282, "Lead");
    const long double mid = (static_cast<long double>(t.a) + t.b) / 2;
    long double v[6];
    if (t.wide) {
        v[0] = m.solved.FrontAdmitNeg + static_cast<long double>(t.b);
        v[1] = m.solved.FrontAdmitAt;
        v[2] = m.solved.FrontExhaustAt;
        v[3] = m.solved.RearExhaustNeg;
        v[4] = m.solved.RearAdmitNeg;
        v[5] = m.solved.RearAdmitAt - static_cast<long double>(t.a);
    } else {
        v[0] = m.solved.FrontAdmitNeg + static_cast<long double>(t.a);
        v[1] = m.solved.FrontAdmitAt - mid;
        v[2] = m.solved.FrontExhaustAt - mid;
        v[3] = mid + m.solved.RearExhaustNeg;
        v[4] = mid + m.solved.RearAdmitNeg;
        v[5] = m.solved.RearAdmitAt - static_cast<long double>(t.b);
    }
    const int ys[6] = {166, 195, 224, 237, 266, 295};
    for (int i = 0; i < 6; ++i) c.TextOut(592, ys[i], Str(v[i], 6, 3));
}

void StartPosition(Model& m, Canvas& c, int n, CentreTravel& t) {
    m.motion.RevArmPos = m.motion.RevArmPositions[n];
    m.design.PlotRevArmPos = m.motion.RevArmPos;
    PaintListRow(m, c, n);
    t = CentreTravel{};
    t.wide = m.design.Cyl.ValvePortWidthFront > m.design.Cyl.ValveCtrToInsideEdge;
}

}  // namespace

f32 SineSweepAngle(int j) {
    long double a = 8.0L * j + 272;
    while (a > 360) a -= 360;
    return static_cast<f32>(a);
}

f32 OvalSweepAngle(int j) {
    long double a = 88.0L - 8.0L * j;
    while (a < 0) a += 360;
    return static_cast<f32>(a);
}

DiagramControls DrawSineDiagram(Model& m, Canvas& c) {
    MotionSave save(m);
    StartDrawing(c);
    // The port levels below follow the dimensions as they are now.
    SolveLinkage(m);

    for (int i = 1; i <= 9; ++i) {
        for (int j = 6; j <= 58; ++j) Line(c, 10 * j, 32 * i + 53, 10 * j, 32 * i + 57);
        for (int k = 1; k <= 6; ++k) Line(c, 90 * k, 32 * i + 50, 90 * k, 32 * i + 60);
    }
    c.TextOut(86, 353, "0");
    c.TextOut(173, 353, "90");
    c.TextOut(260, 353, "180");
    c.TextOut(350, 353, "270");
    c.TextOut(446, 353, "0");
    c.TextOut(533, 353, "90");
    c.TextOut(86, 367, "Driver Clockwise Rotation --->");
    PaintScaleTexts(m, c);
    PaintTravelScale(m, c, 14, DiagramClientSize(DiagramKind::Sine).height);
    PaintListHeader(m, c);
    PaintPortLevels(m, c, 583, LevelTextX{60, 60, 230, 230, 230, 60});

    const int count = PlotCountOf(m);
    f32 prev = 0;
    for (int n = 1; n <= count; ++n) {
        CentreTravel travel;
        StartPosition(m, c, n, travel);
        const bool centre = AtCentre(m);
        for (int j = 7; j <= 73; ++j) {
            m.motion.CrankAngle = SineSweepAngle(j);
            SolveLinkage(m);
            const f32 v = m.solved.ValveDisp;
            if (centre) travel.Track(m.pivots.PivotX[4]);
            if (j > 7) {
                const int y0 = TravelY(m, 215, prev);
                if (j == 8) BoldText(c, 45, y0, Str(static_cast<long long>(n), 2));
                Line(c, 8 * (j - 1) + 2, y0, 8 * j + 2, TravelY(m, 215, v));
            }
            prev = v;
        }
        if (centre) PaintLeadLap(m, c, travel);
    }

    DiagramControls ui;
    PaintDynVarBlock(m, c, ui);
    PaintDiagramUndoLine(m, c, ui);
    return ui;
}

namespace {

// Piston position of crank angle a (degrees) on the oval's axis: 584 at 0 percent (crank
// angle 0), 44 at 100 percent (180). A negative radicand is used with its sign turned, and
// flagged, as in the solver's piston position.
int OvalX(Model& m, long double degrees) {
    const long double r = degrees * kPi / 180;
    const long double lc = m.design.Frame.MainRodCrankEnd;
    const long double d = GuardedDivisor(m, m.design.StrokeLen);
    const long double half = std::sin(r) * m.design.StrokeLen / 2;
    long double radicand = lc * lc - half * half;
    if (radicand < 0) {
        radicand = -radicand;
        FlagGeometryError(m);
    }
    return RoundPixel(314 + 270.5L * (std::cos(r) + 2 * std::sqrt(radicand) / d - 2 * lc / d));
}

}  // namespace

DiagramControls DrawOvalDiagram(Model& m, Canvas& c) {
    MotionSave save(m);
    StartDrawing(c);
    SolveLinkage(m);

    for (int i = 1; i <= 9; ++i) {
        for (int j = 2; j <= 20; ++j) Line(c, 27 * j + 17, 32 * i + 52, 27 * j + 17, 32 * i + 58);
        for (int k = 2; k <= 10; ++k) Line(c, 54 * k - 10, 32 * i + 50, 54 * k - 10, 32 * i + 60);
    }
    Line(c, 44, 84, 44, 346);
    Line(c, 584, 84, 584, 346);
    static constexpr struct {
        int x;
        const char* text;
    } kTravel[] = {{45, "100"}, {91, "90"},  {145, "80"}, {199, "70"}, {253, "60"},
                   {307, "50"}, {361, "40"}, {415, "30"}, {469, "20"}, {523, "10"}};
    for (const auto& t : kTravel) c.TextOut(t.x, 353, t.text);
    c.TextOut(577, 348, "0");
    c.TextOut(186, 367, "Percent Piston Travel");
    c.TextOut(386, 367, "Forward End --->");
    PaintScaleTexts(m, c);
    PaintTravelScale(m, c, 15, DiagramClientSize(DiagramKind::Oval).height);
    PaintListHeader(m, c);
    PaintPortLevels(m, c, 584, LevelTextX{430, 430, 75, 75, 75, 430});

    const bool wide = m.design.Cyl.ValvePortWidthFront > m.design.Cyl.ValveCtrToInsideEdge;
    const int y0 = wide ? 204 : 213;
    const int y1 = wide ? 213 : 204;
    const int count = PlotCountOf(m);
    f32 prev = 0;
    f32 prevAngle = 0;
    for (int n = 1; n <= count; ++n) {
        CentreTravel travel;
        StartPosition(m, c, n, travel);
        const bool centre = AtCentre(m);
        for (int j = 7; j <= 52; ++j) {
            m.motion.CrankAngle = OvalSweepAngle(j);
            SolveLinkage(m);
            const f32 v = m.solved.ValveDisp;
            if (centre) travel.Track(m.pivots.PivotX[4]);
            if (j > 7) {
                const std::string label = Str(static_cast<long long>(n), 2);
                if (j == 22) BoldText(c, 300, TravelY(m, y0, prev), label);
                if (j == 46) BoldText(c, 334, TravelY(m, y1, prev), label);
                const int xa = OvalX(m, prevAngle);
                const int xb = OvalX(m, m.motion.CrankAngle);
                Line(c, xa, TravelY(m, 215, prev), xb, TravelY(m, 215, v));
            }
            prev = v;
            prevAngle = m.motion.CrankAngle;
        }
        if (centre) PaintLeadLap(m, c, travel);
    }

    DiagramControls ui;
    PaintDynVarBlock(m, c, ui);
    PaintDiagramUndoLine(m, c, ui);
    return ui;
}

}  // namespace tarn
