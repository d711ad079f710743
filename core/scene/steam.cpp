// The section through cylinder and valve chest: the two point tables and the steam layer, whose
// colours tell the phase of each cylinder end and whose density follows the valve openings.
#include <cmath>

#include "core/model/numfmt.h"
#include "core/scene/mainscene.h"

namespace tarn {

void UpdateCylinderPoints(Model& m) {
    const auto& d = m.design.Cyl;
    const ext E = d.CylCtrToDriverCtr, g = d.CylBoreDia, h = d.CylBoreLen, i = d.CylSteamPortWidth;
    const ext mm = d.ValveBoreDia, n = d.ValveBoreLen, o = d.ValveBoreCtrToPort;
    const ext p = d.ValvePortWidthRear, q = d.ValvePortWidthFront;
    const ext yc = m.design.CylCLAboveDriver, yv = ValveCLAboveDriver(m.design);
    const ext pts[18][2] = {
        {E - n / 2, yv + mm / 2},          // C0 valve chest, top rear corner
        {E - n / 2, yv - mm / 2},          // C1 valve chest, bottom rear corner
        {E - o - p, yv - mm / 2},          // C2 rear port, outer edge
        {E - h / 2, yc + g / 2},           // C3 cylinder, top rear corner
        {E - h / 2, yc - g / 2},           // C4 cylinder, bottom rear corner
        {E + h / 2, yc - g / 2},           // C5 cylinder, bottom front corner
        {E + h / 2, yc + g / 2},           // C6 cylinder, top front corner
        {E + o + q, yv - mm / 2},          // C7 front port, outer edge
        {E + n / 2, yv - mm / 2},          // C8 valve chest, bottom front corner
        {E + n / 2, yv + mm / 2},          // C9 valve chest, top front corner
        {E + n / 2 - 2 * q, yv + mm / 2},  // C10 front exhaust opening, inner edge
        {E + p, yv + mm / 2},              // C11 middle opening, front edge
        {E - n / 2 + 2 * p, yv + mm / 2},  // C12 rear exhaust opening, inner edge
        {E - q, yv + mm / 2},              // C13 middle opening, rear edge
        {E - o, yv - mm / 2},              // C14 rear port, inner edge
        {E - h / 2 + i, yc + g / 2},       // C15 rear passage, inner wall
        {E + h / 2 - i, yc + g / 2},       // C16 front passage, inner wall
        {E + o, yv - mm / 2},              // C17 front port, inner edge
    };
    for (int k = 0; k < 18; ++k) {
        m.steam.CylPtX[k] = ScreenXOf(m, pts[k][0]);
        m.steam.CylPtY[k] = ScreenYOf(m, pts[k][1]);
    }
}

void UpdatePistonPoints(Model& m) {
    const auto& d = m.design.Cyl;
    const ext g = d.CylBoreDia, j = d.PistonRodLen, k = d.PistonWidth, mm = d.ValveBoreDia;
    const ext r = d.ValveCtrToInsideEdge, s = d.ValveEndWidthRear, t = d.ValveEndWidthFront;
    const ext u = d.ValveCtrToJoint;
    const ext yc = m.design.CylCLAboveDriver, yv = ValveCLAboveDriver(m.design);
    const ext xx = m.pivots.PivotX[3], xs = m.pivots.PivotX[4];
    const ext w = xs + u;  // valve centre
    const ext pts[14][2] = {
        {xx + j + k / 2, yc},          // Q0 piston rod end
        {xx + j - k / 2, yc + g / 2},  // Q1 piston, rear top
        {xx + j - k / 2, yc - g / 2},  // Q2 piston, rear bottom
        {xx + j + k / 2, yc - g / 2},  // Q3 piston, front bottom
        {xx + j + k / 2, yc + g / 2},  // Q4 piston, front top
        {w + r + t, yv},               // Q5 valve stem end
        {w - r - s, yv + mm / 2},      // Q6 rear valve head, outer top
        {w - r - s, yv - mm / 2},      // Q7 rear valve head, outer bottom
        {w - r, yv - mm / 2},          // Q8 rear valve head, inner bottom
        {w - r, yv + mm / 2},          // Q9 rear valve head, inner top
        {w + r, yv + mm / 2},          // Q10 front valve head, inner top
        {w + r, yv - mm / 2},          // Q11 front valve head, inner bottom
        {w + r + t, yv - mm / 2},      // Q12 front valve head, outer bottom
        {w + r + t, yv + mm / 2},      // Q13 front valve head, outer top
    };
    for (int n = 0; n < 14; ++n) {
        m.steam.PistonPtX[n] = ScreenXOf(m, pts[n][0]);
        m.steam.PistonPtY[n] = ScreenYOf(m, pts[n][1]);
    }
}

int BeatVolume(int level) {
    static constexpr struct {
        int upTo;
        int volume;
    } kLevels[] = {{100, 0x0700}, {200, 0x1400},  {400, 0x2800},  {600, 0x4000},
                   {800, 0x5000}, {1000, 0x6000}, {1200, 0x7000}, {2001, 0x8000}};
    if (level < 24) return -1;
    for (const auto& l : kLevels)
        if (level <= l.upTo) return l.volume;
    return -1;
}

namespace {

// One cylinder end's phase colour and density. The colour is carried in, so an end with no
// event yet keeps the colour it was given.
Rgb EndColour(Rgb colour, PortOpened& state, f32 steamOpen, f32 exhaustOpen) {
    if (steamOpen > 0) {
        state = PortOpened::Steam;
        colour = kRed;  // admission
    }
    if (!(steamOpen > 0) && state == PortOpened::Steam) colour = kFuchsia;  // expansion
    if (exhaustOpen > 0) {
        state = PortOpened::Exhaust;
        colour = kBlue;  // exhaust
    }
    if (!(exhaustOpen > 0) && state == PortOpened::Exhaust) colour = kGreen;  // compression
    return colour;
}

int EndDensity(const Model& m, Rgb colour, f32& density, f32 steamOpen, f32 exhaustOpen) {
    if (colour == kRed)
        density = static_cast<f32>(density +
                                   static_cast<ext>(m.motion.StepAngle) * 50 * (steamOpen + 0.1L));
    else if (colour == kBlue)
        density =
            static_cast<f32>(density - static_cast<ext>(m.motion.StepAngle) * 60 * exhaustOpen);
    if (!(density >= 25)) density = 25.0f;
    if (density > 2000) density = 2000.0f;
    return Round(static_cast<ext>(density) * m.view.Zoom / 18.5L);
}

// A zero span that is used as a divisor counts as one pixel.
int Span(int v) { return v == 0 ? 1 : v; }

void Beat(Model& m, SceneHost& host, f32 exhaustOpen, bool& armed, f32& level, f32 density,
          f32 otherLevel) {
    if (!(exhaustOpen >= 0) && m.closeup.GraphicPosId == 0) armed = true;
    if (exhaustOpen > 0 && armed) {
        armed = false;
        level = density;
        // The loudness is the other end's density at its last beat.
        const int v = BeatVolume(Round(otherLevel));
        if (v >= 0) host.Sound().SetVolume(static_cast<std::uint16_t>(v));
        host.Sound().PlayExhaust();
    }
}

}  // namespace

void DrawSteam(Model& m, Canvas& c, SceneHost& host, SteamRandom& rnd) {
    const auto& X = m.steam.CylPtX;
    const auto& Y = m.steam.CylPtY;
    const auto& QX = m.steam.PistonPtX;
    const auto& QY = m.steam.PistonPtY;
    auto R = [&](int n) { return rnd.Next(n); };

    rnd.Seed(host.ClockSeed());

    // Steam supply above the chest and live steam between the valve heads.
    for (int k = 0, n = Round(static_cast<ext>(m.view.Zoom) * 5.4L); k < n; ++k) {
        const int dy = R(Y[1] - QY[5]);
        const int dx = R(X[11] - X[13]);
        c.SetPixel(X[13] + dx, Y[0] - dy, kRed);
    }
    for (int k = 0, n = Round(static_cast<ext>(m.view.Zoom) * 43.2L); k < n; ++k) {
        const int dy = R(Y[1] - Y[0]);
        const int dx = R(QX[10] - QX[9]);
        c.SetPixel(QX[9] + dx, Y[0] + dy, kRed);
    }

    // Front end of the cylinder and its passage.
    Rgb colour = EndColour(kBlack, m.steam.FrontSteamState, m.solved.FrontSteamOpen,
                           m.solved.FrontExhaustOpen);
    m.steam.FrontSteamCount = EndDensity(m, colour, m.steam.FrontSteamDensity,
                                         m.solved.FrontSteamOpen, m.solved.FrontExhaustOpen);
    for (int k = 0; k < m.steam.FrontSteamCount; ++k) {
        const int dy = R(Y[4] - Y[3]);
        const int dx = R(X[6] - QX[4]);
        c.SetPixel(QX[4] + dx, Y[3] + dy, colour);
    }
    {
        const int span = Span(Y[3] - Y[1]);
        for (int k = 0, n = m.steam.FrontSteamCount / 15; k < n; ++k) {
            const int dy = R(span);
            const ext f = static_cast<ext>(dy) / span;
            const int dx = R(X[7] - X[17]);
            c.SetPixel(Round((X[6] - X[7]) * f) + X[7] - dx, Y[1] + dy, colour);
        }
    }

    // Rear end: no reset of the colour, so before its first event it takes the front's.
    colour =
        EndColour(colour, m.steam.RearSteamState, m.solved.RearSteamOpen, m.solved.RearExhaustOpen);
    m.steam.RearSteamCount = EndDensity(m, colour, m.steam.RearSteamDensity, m.solved.RearSteamOpen,
                                        m.solved.RearExhaustOpen);
    for (int k = 0; k < m.steam.RearSteamCount; ++k) {
        const int dy = R(Y[4] - Y[3]);
        const int dx = R(QX[1] - X[3]);
        c.SetPixel(X[3] + dx, Y[3] + dy, colour);
    }
    {
        const int span = Span(Y[3] - Y[1]);
        for (int k = 0, n = m.steam.RearSteamCount / 15; k < n; ++k) {
            const int dy = R(span);
            const ext f = static_cast<ext>(dy) / span;
            const int dx = R(X[14] - X[2]);
            c.SetPixel(X[2] + dx + Round((X[2] - X[3]) * -f), Y[1] + dy, colour);
        }
    }

    const int H = Span(Y[1] - Y[0]);  // chest height
    auto plume = [&](Rgb col) {
        const int dy = R(3 * Y[1] - 3 * Y[0]);
        const ext f = static_cast<ext>(dy) / H;
        const int w = X[11] - X[13];
        const int dx = R(w);
        c.SetPixel(Round(2 * dx * f + X[13] + w / 2.0L - w * f), 2 * Y[0] - Y[1] - dy, col);
    };

    // Front exhaust space, passage and plume (white while the exhaust is shut).
    colour = m.solved.FrontExhaustOpen > 0 ? kBlue : kWhite;
    for (int k = 0, n = m.steam.FrontSteamCount / 5; k < n; ++k) {
        const int dy = R(Y[1] - Y[0]);
        const int dx = R(X[9] - QX[13]);
        c.SetPixel(QX[13] + dx, Y[0] + dy, colour);
    }
    for (int k = 0, n = m.steam.FrontSteamCount / 12; k < n; ++k) {
        const int dy = R(H);
        const ext f = static_cast<ext>(dy) / H;
        const int dx = R(X[9] - X[10]);
        c.SetPixel(X[10] + dx + Round((X[10] - X[13]) * -f), Y[0] - dy, colour);
        plume(colour);
    }

    // Rear exhaust space, passage and plume.
    colour = m.solved.RearExhaustOpen > 0 ? kBlue : kWhite;
    for (int k = 0, n = m.steam.RearSteamCount / 5; k < n; ++k) {
        const int dy = R(Y[1] - Y[0]);
        const int dx = R(QX[6] - X[0]);
        c.SetPixel(X[0] + dx, Y[0] + dy, colour);
    }
    for (int k = 0, n = m.steam.RearSteamCount / 12; k < n; ++k) {
        const int dy = R(H);
        const ext f = static_cast<ext>(dy) / H;
        const int dx = R(X[12] - X[0]);
        c.SetPixel(X[0] + dx + Round((X[13] - X[0]) * f), Y[0] - dy, colour);
        plume(colour);
    }

    // The legend of the four colours.
    if (m.display.ScreenData) {
        static constexpr struct {
            Rgb colour;
            int dx, dy;
            const char* text;
        } kLabels[] = {{kRed, -40, 5, "ADMISSION"},
                       {kFuchsia, 40, 5, "EXPANSION"},
                       {kBlue, -40, 17, "EXHAUST"},
                       {kGreen, 24, 17, "COMPRESSION"}};
        for (const auto& l : kLabels) {
            c.SetFontColor(l.colour);
            c.TextOut(X[4] + l.dx, Y[4] + l.dy, l.text);
        }
    }
    c.SetFontColor(kBlack);

    // Exhaust beats, front end first.
    Beat(m, host, m.solved.FrontExhaustOpen, m.steam.FrontBeatArmed, m.steam.FrontBeatLevel,
         m.steam.FrontSteamDensity, m.steam.RearBeatLevel);
    Beat(m, host, m.solved.RearExhaustOpen, m.steam.RearBeatArmed, m.steam.RearBeatLevel,
         m.steam.RearSteamDensity, m.steam.FrontBeatLevel);
}

}  // namespace tarn
