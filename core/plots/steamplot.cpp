// The indicator diagram: cylinder pressure against piston position for both ends, from a small
// four-phase model (exhaust, compression, admission, expansion) driven by the port openings,
// with the cut-off of each end printed as a percentage of piston travel.
#include "core/model/numfmt.h"
#include "core/model/solver.h"
#include "core/plots/plotkit.h"
#include "core/plots/plots.h"
#include "core/plots/steammodel.h"

namespace tarn {

using namespace plotkit;

namespace {

int PistonX(long double p) { return RoundPixel(584 - p * 0.84375L); }
int PressureY(long double pressure) { return RoundPixel(343 - 0.9L * pressure); }

}  // namespace

DiagramControls DrawSteamDiagram(Model& m, Canvas& c) {
    MotionSave save(m);
    StartDrawing(c);

    SteamEnd front;
    front.front = true;
    front.phase = SteamPhase::Exhaust;
    SteamEnd rear;
    rear.front = false;
    rear.phase = SteamPhase::Admission;
    m.motion.CrankAngle = 96;
    m.solved.PistonPos = 0;
    f32 prevPos = 0;
    int plotCount = 0;

    for (int i = 1; i <= 9; ++i) {
        for (int j = 2; j <= 20; ++j) Line(c, 27 * j + 17, 32 * i + 52, 27 * j + 17, 32 * i + 58);
        for (int k = 2; k <= 10; ++k) Line(c, 54 * k - 10, 32 * i + 50, 54 * k - 10, 32 * i + 60);
    }
    Line(c, 44, 70, 44, 346);
    Line(c, 584, 70, 584, 346);
    Line(c, 45, 343, 585, 343);

    c.TextOut(24, 77, "/");
    c.TextOut(29, 77, "\\");
    c.TextOut(28, 81, "|");
    c.TextOut(28, 94, "|");
    static constexpr int kLetterY[8] = {108, 123, 136, 149, 162, 175, 188, 201};
    for (int i = 0; i < 8; ++i) {
        c.TextOut(i == 3 ? 22 : 20, kLetterY[i], std::string(1, "CYLINDER"[i]));
        c.TextOut(32, kLetterY[i], std::string(1, "PRESSURE"[i]));
    }
    static constexpr struct {
        int x;
        const char* text;
    } kTravel[] = {{45, "100"}, {91, "90"},  {145, "80"}, {199, "70"}, {253, "60"},
                   {307, "50"}, {361, "40"}, {415, "30"}, {469, "20"}, {523, "10"}};
    for (const auto& t : kTravel) c.TextOut(t.x, 350, t.text);
    c.TextOut(577, 348, "0");
    c.TextOut(186, 364, "Percent Piston Travel");
    c.TextOut(386, 364, "Forward End --->");
    c.TextOut(ScaleX(m, 500), 0, "Reverse Arm Positions");
    c.TextOut(ScaleX(m, 520), 13, "Center");
    c.TextOut(ScaleX(m, 580), 13, Str(m.motion.RevArmPositions[0], 6, 3));

    const int count = PlotCountOf(m);
    for (int n = 1; n <= count; ++n) {
        m.motion.RevArmPos = m.motion.RevArmPositions[n];
        m.design.PlotRevArmPos = m.motion.RevArmPos;
        ++plotCount;
        if (front.label == '2') front.label = '1';
        if (rear.label == '2') rear.label = '1';
        const int rowY = Round(n * static_cast<long double>(m.display.FontScaleY) * 12) + 12;
        c.TextOut(ScaleX(m, 545), rowY, Str(static_cast<long long>(n), 5));
        c.TextOut(ScaleX(m, 580), rowY, Str(m.motion.RevArmPositions[n], 6, 3));
        c.TextOut(ScaleX(m, 533), rowY, DirectionWord(m, m.motion.RevArmPositions[n]));
        const std::string nText = Str(static_cast<long long>(n), 1);

        for (int k = 1; k <= 150; ++k) {
            long double a = m.motion.CrankAngle +
                            (m.motion.RevArmPos < m.motion.RevArmPositions[0] ? 4.0L : -4.0L);
            while (a > 360) a -= 360;
            while (a < 0) a += 360;
            m.motion.CrankAngle = static_cast<f32>(a);
            SolveLinkage(m);
            SolveValveEvents(m);

            const f32 p = ClampToStroke(m.solved.PistonPos);
            const f32 q = ClampToStroke(prevPos);
            prevPos = q;
            StepSteamEnd(m, front, p, q);
            StepSteamEnd(m, rear, p, q);

            if (front.prevPressure != 0) {
                const bool drawn = k > 60;
                c.SetPenColor(kGreen);
                if (front.prevSteamOpen > 0 && m.solved.FrontSteamOpen <= 0) {
                    const long double f =
                        front.prevSteamOpen /
                        (static_cast<long double>(front.prevSteamOpen) - m.solved.FrontSteamOpen);
                    const int y = PressureY(front.prevPressure);
                    if (drawn)
                        Line(c, PistonX(q), y,
                             RoundPixel(584 - q * 0.84375L +
                                        (q - static_cast<long double>(p)) * f * 0.84375L),
                             y);
                    prevPos = static_cast<f32>(q + (static_cast<long double>(p) - q) * f);
                    front.pressure = static_cast<f32>(
                        front.pressure -
                        (static_cast<long double>(front.pressure) - front.prevPressure) * f);
                    c.SetFontColor(kGreen);
                    c.TextOut(587, 231, "%CutOff");
                    c.SetFontColor(kBlack);
                    c.TextOut(588, 13 * n + 233, nText);
                    c.TextOut(600, 13 * n + 233, Str(prevPos / 6.4L, 4, 1));
                }
                if (drawn)
                    Line(c, PistonX(prevPos), PressureY(front.prevPressure), PistonX(p),
                         PressureY(front.pressure));
                if (front.phase == SteamPhase::Expansion && front.pressure > 150 &&
                    front.pressure < 250 && front.label == '1') {
                    front.label = '2';
                    BoldText(c, RoundPixel(568 - 0.84L * prevPos), 122,
                             Str(static_cast<long long>(plotCount), 1));
                }

                c.SetPenColor(kRed);
                if (rear.prevSteamOpen > 0 && m.solved.RearSteamOpen <= 0) {
                    const long double f =
                        rear.prevSteamOpen /
                        (static_cast<long double>(rear.prevSteamOpen) - m.solved.RearSteamOpen);
                    const long double from = prevPos;
                    const int y = PressureY(rear.prevPressure);
                    if (drawn)
                        Line(c, PistonX(from), y,
                             RoundPixel(584 - from * 0.84375L + (from - p) * f * 0.84375L), y);
                    prevPos = static_cast<f32>(from + (p - from) * f);
                    rear.pressure = static_cast<f32>(
                        rear.pressure -
                        (static_cast<long double>(rear.pressure) - rear.prevPressure) * f);
                    c.SetFontColor(kRed);
                    c.TextOut(2, 231, "%CutOff");
                    c.SetFontColor(kBlack);
                    c.TextOut(3, 13 * n + 233, nText);
                    c.TextOut(15, 13 * n + 233,
                              Str((640 - static_cast<long double>(prevPos)) / 6.4L, 4, 1));
                }
                if (drawn)
                    Line(c, PistonX(prevPos), PressureY(rear.prevPressure), PistonX(p),
                         PressureY(rear.pressure));
                if (rear.phase == SteamPhase::Expansion && rear.pressure > 150 &&
                    rear.pressure < 250 && rear.label == '1') {
                    rear.label = '2';
                    BoldText(c, RoundPixel(600 - 0.84L * prevPos), 135,
                             Str(static_cast<long long>(plotCount), 1));
                }
                c.SetPenColor(kBlack);
            }

            prevPos = p;
            front.prevPressure = front.pressure;
            rear.prevPressure = rear.pressure;
            front.prevSteamOpen = m.solved.FrontSteamOpen;
            rear.prevSteamOpen = m.solved.RearSteamOpen;
        }
    }

    DiagramControls ui;
    PaintDynVarBlock(m, c, ui);
    PaintDiagramUndoLine(m, c, ui);
    return ui;
}

}  // namespace tarn
