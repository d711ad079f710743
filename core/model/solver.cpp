// The linkage in closed form: every pivot follows from pivots already placed by a point on a
// line, a point on a horizontal at a distance, a circle-circle intersection by the cosine rule or
// a rotation. Intermediates are extended precision; every stored result is a 32-bit float.
//
// Branches: the crosshead and the valve stem joint always lie toward the cylinders from the
// pivot that drives them; the reverse arm always points up from its pivot; the anchor-link end
// is the intersection given by arcsin k + pi/2, the die the one given by arccos k. A linkage
// whose real configuration is on the other branch is drawn on this one.
//
// Where the geometry cannot close the guards substitute a usable value and flag a geometry
// error. Stores saturate at the float range, so even absurd dimensions leave finite pivots.
#include "core/model/solver.h"

#include <cmath>

#include "core/model/numfmt.h"

namespace tarn {

namespace {

inline f32 F(ext v) { return ToFloat(v); }
inline ext Sq(ext v) { return v * v; }

// A triangle side that divides: guarded like a divisor, so that coincident pivots give 0/0 never.
ext GuardedSide(Model& m, ext d) {
    if (d >= 0 && d < 0.00001L) {
        FlagGeometryError(m);
        return 0.00001L;
    }
    return d;
}

}  // namespace

void FlagGeometryError(Model& m) {
    if (m.display.BeepOnError) m.solved.GeometryError = true;
}

void GuardRadicand(Model& m) {
    if (m.solved.SolveValue < 0) {
        m.solved.SolveValue = -m.solved.SolveValue;
        FlagGeometryError(m);
    }
}

void GuardDivisor(Model& m) {
    if (m.solved.SolveDivisor >= 0 && m.solved.SolveDivisor < 0.00001f) {
        m.solved.SolveDivisor = 0.00001f;
        FlagGeometryError(m);
    } else if (m.solved.SolveDivisor > -0.00001f && m.solved.SolveDivisor < 0) {
        m.solved.SolveDivisor = -0.00001f;
        FlagGeometryError(m);
    }
}

void GuardCos(Model& m) {
    if (m.solved.SolveValue > 0.999999f) {
        m.solved.SolveValue = 0.999999f;
        FlagGeometryError(m);
    } else if (m.solved.SolveValue < -0.999999f) {
        m.solved.SolveValue = -0.999999f;
        FlagGeometryError(m);
    }
}

long double GuardedDivisor(Model& m, long double v) {
    m.solved.SolveDivisor = F(v);
    GuardDivisor(m);
    return m.solved.SolveDivisor;
}

void SolveLinkage(Model& m) {
    auto& X = m.pivots.PivotX;
    auto& Y = m.pivots.PivotY;
    const FrameBlock& fr = m.design.Frame;
    const ext theta = static_cast<ext>(m.motion.CrankAngle) * kPi / 180.0L;
    const ext halfStroke = static_cast<ext>(m.design.StrokeLen) / 2.0L;

    // 1. The reverse arm's free end follows the reverse-arm setting.
    X[18] = m.motion.RevArmPos;

    // 2. Crank pin; the crank turns clockwise on screen as the angle grows.
    X[2] = F(std::cos(theta) * halfStroke + X[1]);
    Y[2] = F(Y[1] - std::sin(theta) * halfStroke);

    // 3. Crosshead, toward the cylinders from the crank pin.
    const ext rodLen = static_cast<ext>(fr.MainRodCrankEnd) + fr.MainRodPistonEnd;
    m.solved.SolveValue = F(Sq(rodLen) - Sq(static_cast<ext>(Y[2]) - Y[3]));
    GuardRadicand(m);
    X[3] = F(std::sqrt(static_cast<ext>(m.solved.SolveValue)) + X[2]);

    // 4. Gear point on the main rod.
    m.solved.SolveDivisor = F(rodLen);
    GuardDivisor(m);
    X[10] = F(X[2] + (static_cast<ext>(X[3]) - X[2]) * fr.MainRodCrankEnd / m.solved.SolveDivisor);
    Y[10] = F(Y[2] + fr.MainRodCrankEnd * (static_cast<ext>(Y[3]) - Y[2]) / m.solved.SolveDivisor);

    // 5. Anchor-link end: triangle 13, 10, 11 with sides D = d(10,13), A and C = Cu + Cl.
    {
        m.solved.SolveDivisor = F(static_cast<ext>(Y[10]) - Y[13]);
        GuardDivisor(m);
        const ext beta = std::atan((static_cast<ext>(X[13]) - X[10]) / m.solved.SolveDivisor);
        ext d =
            std::sqrt(Sq(static_cast<ext>(X[13]) - X[10]) + Sq(static_cast<ext>(Y[10]) - Y[13]));
        d = GuardedSide(m, d);
        const ext a = fr.AnchorLinkLen;
        const ext c = static_cast<ext>(fr.CouplerUpper) + fr.CouplerLower;
        m.solved.SolveDivisor = F(a);
        GuardDivisor(m);
        m.solved.SolveValue = F((Sq(d) + Sq(a) - Sq(c)) / 2.0L / d / m.solved.SolveDivisor);
        GuardCos(m);
        const ext k = m.solved.SolveValue;
        const ext gamma = std::atan(k / std::sqrt(1.0L - k * k)) + kPi / 2.0L - beta;
        X[11] = F(X[13] - std::sin(gamma) * a);
        Y[11] = F(Y[13] - std::cos(gamma) * a);
    }

    // 6. Valve-lever foot on the coupler.
    m.solved.SolveDivisor = F(static_cast<ext>(fr.CouplerUpper) + fr.CouplerLower);
    GuardDivisor(m);
    X[9] = F(X[10] + (static_cast<ext>(X[11]) - X[10]) * fr.CouplerUpper / m.solved.SolveDivisor);
    Y[9] = F(Y[10] + fr.CouplerUpper * (static_cast<ext>(Y[11]) - Y[10]) / m.solved.SolveDivisor);

    // 7. Reverse arm, always pointing up from pivot 6.
    m.solved.SolveValue =
        F(Sq(static_cast<ext>(fr.ReverseArmLen)) - Sq(static_cast<ext>(X[18]) - X[6]));
    GuardRadicand(m);
    Y[18] = F(std::sqrt(static_cast<ext>(m.solved.SolveValue)) + Y[6]);
    m.solved.SolveDivisor = F(static_cast<ext>(Y[18]) - Y[6]);
    GuardDivisor(m);
    m.solved.RevArmAngle = F(std::atan((static_cast<ext>(X[18]) - X[6]) / m.solved.SolveDivisor));

    // 8. Link arc centre: at R from pivot 6, square to the reverse arm.
    const ext R = m.design.LinkRadius;
    X[14] = F(std::cos(static_cast<ext>(m.solved.RevArmAngle)) * R + X[6]);
    Y[14] = F(Y[6] - std::sin(static_cast<ext>(m.solved.RevArmAngle)) * R);

    // 9. Die block: triangle 9, 14, 8 with sides D = d(9,14), R and the lever chord.
    {
        m.solved.SolveDivisor = F(static_cast<ext>(X[14]) - X[9]);
        GuardDivisor(m);
        const ext beta = std::atan((static_cast<ext>(Y[14]) - Y[9]) / m.solved.SolveDivisor);
        ext d = std::sqrt(Sq(static_cast<ext>(X[14]) - X[9]) + Sq(static_cast<ext>(Y[14]) - Y[9]));
        d = GuardedSide(m, d);
        m.solved.SolveDivisor = F(R);
        GuardDivisor(m);
        const ext lever = static_cast<ext>(fr.ValveLeverUpperLen) + fr.ValveLeverLowerLen;
        m.solved.SolveValue =
            F((Sq(d) + R * R - Sq(lever) - Sq(static_cast<ext>(m.design.ValveLeverUpperOffset))) /
              2.0L / d / m.solved.SolveDivisor);
        GuardCos(m);
        const ext k = m.solved.SolveValue;
        const ext delta = kPi / 2.0L - std::atan(k / std::sqrt(1.0L - k * k)) - beta;
        X[8] = F(X[14] - std::cos(delta) * R);
        Y[8] = F(std::sin(delta) * R + Y[14]);
    }

    // 10. Valve lever: the line 9 -> 8, turned back by the offset angle of the die.
    FrameBlock& frw = m.design.Frame;
    ext alpha = std::atan((static_cast<ext>(X[8]) - X[9]) /
                          GuardedDivisor(m, static_cast<ext>(Y[8]) - Y[9]));
    if (frw.ValveLeverLowerLen == 0.0f) frw.ValveLeverLowerLen = 0.00001f;
    if (frw.ValveLeverUpperLen == 0.0f) frw.ValveLeverUpperLen = 0.00001f;
    const ext vl = frw.ValveLeverLowerLen;
    const ext vu = frw.ValveLeverUpperLen;
    alpha -=
        std::atan(static_cast<ext>(m.design.ValveLeverUpperOffset) / GuardedDivisor(m, vl + vu));
    m.solved.SolveAngle = F(alpha);

    // 11. Radius-rod joint and the top of the lever's straight line.
    X[7] = F(std::sin(alpha) * vl + X[9]);
    Y[7] = F(std::cos(alpha) * vl + Y[9]);
    X[15] = F(std::sin(alpha) * (vu + vl) + X[9]);
    Y[15] = F(std::cos(alpha) * (vu + vl) + Y[9]);

    // 12. Valve stem joint, toward the cylinders from pivot 7.
    m.solved.SolveValue =
        F(Sq(static_cast<ext>(fr.RadiusRodLen)) - Sq(static_cast<ext>(Y[7]) - Y[4]));
    GuardRadicand(m);
    X[4] = F(std::sqrt(static_cast<ext>(m.solved.SolveValue)) + X[7]);

    // 13. Angle of the lower lever from the vertical.
    m.solved.SolveDivisor = F(static_cast<ext>(Y[7]) - Y[9]);
    GuardDivisor(m);
    m.solved.LowerLeverAngle =
        F(std::atan((static_cast<ext>(X[7]) - X[9]) / m.solved.SolveDivisor));

    // 14. Laps and thresholds. The valve centre lies u beyond the stem joint; the valve bore
    // centre is taken at the cylinder centre e.
    const CylRecord& c = m.design.Cyl;
    const ext e = c.CylCtrToDriverCtr, o = c.ValveBoreCtrToPort, p = c.ValvePortWidthRear,
              q = c.ValvePortWidthFront, r = c.ValveCtrToInsideEdge, s = c.ValveEndWidthRear,
              t = c.ValveEndWidthFront, u = c.ValveCtrToJoint;
    m.solved.FrontSteamLap = F(o - r);
    m.solved.FrontPortReach = F(o - r + q);
    m.solved.FrontExhaustLap = F(o - r + q - t);
    m.solved.RearSteamLap = F(o - r);
    m.solved.RearPortReach = F(o + p - r);
    m.solved.RearExhaustLap = F(o + p - r - s);
    m.solved.ValveDisp = F(u + X[4] - e);
    m.solved.FrontAdmitNeg = F(u - e - o + r);
    m.solved.RearAdmitAt = F(e - u - o + r);
    m.solved.FrontAdmitAt = F(o - r + e - u);
    m.solved.RearAdmitNeg = F(o - r - e + u);
    m.solved.FrontExhaustAt = F(o + q - r - t + e - u);
    m.solved.RearExhaustNeg = F(o + p - r - s - e + u);
}

void SolveValveEvents(Model& m) {
    const ext theta = static_cast<ext>(m.motion.CrankAngle) * kPi / 180.0L;
    const ext S = m.design.StrokeLen;
    m.solved.SolveDivisor = F(S);
    GuardDivisor(m);
    const ext s1 = m.solved.SolveDivisor;
    const ext lc = m.design.Frame.MainRodCrankEnd;
    m.solved.SolveValue = F(lc * lc - Sq(std::sin(theta) * S / 2.0L));
    GuardRadicand(m);
    // Piston position on a 0..640 scale: 0 at crank angle 0, 640 at 180.
    m.solved.PistonPos =
        F(320.0L - (std::cos(theta) + std::sqrt(static_cast<ext>(m.solved.SolveValue)) / s1 * 2.0L -
                    lc / s1 * 2.0L) *
                       320.0L);

    const CylRecord& c = m.design.Cyl;
    const ext x4 = m.pivots.PivotX[4];
    const ext e = c.CylCtrToDriverCtr, o = c.ValveBoreCtrToPort, p = c.ValvePortWidthRear,
              q = c.ValvePortWidthFront, r = c.ValveCtrToInsideEdge, s = c.ValveEndWidthRear,
              t = c.ValveEndWidthFront, u = c.ValveCtrToJoint;
    m.solved.FrontSteamOpen = F(x4 + u + r - e - o);
    m.solved.FrontExhaustOpen = F(e + o + q - x4 - u - r - t);
    m.solved.RearSteamOpen = F(-x4 - u + r + e - o);
    m.solved.RearExhaustOpen = F(-e + o + p + x4 + u - r - s);
}

}  // namespace tarn
