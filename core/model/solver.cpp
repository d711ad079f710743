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
ext GuardedSide(const SolverParts& sv, ext d) {
    if (d >= 0 && d < 0.00001L) {
        FlagGeometryError(sv);
        return 0.00001L;
    }
    return d;
}

}  // namespace

void FlagGeometryError(const SolverParts& sv) {
    if (sv.flagErrors) sv.solved.GeometryError = true;
}

void GuardRadicand(const SolverParts& sv) {
    if (sv.solved.SolveValue < 0) {
        sv.solved.SolveValue = -sv.solved.SolveValue;
        FlagGeometryError(sv);
    }
}

void GuardDivisor(const SolverParts& sv) {
    if (sv.solved.SolveDivisor >= 0 && sv.solved.SolveDivisor < 0.00001f) {
        sv.solved.SolveDivisor = 0.00001f;
        FlagGeometryError(sv);
    } else if (sv.solved.SolveDivisor > -0.00001f && sv.solved.SolveDivisor < 0) {
        sv.solved.SolveDivisor = -0.00001f;
        FlagGeometryError(sv);
    }
}

void GuardCos(const SolverParts& sv) {
    if (sv.solved.SolveValue > 0.999999f) {
        sv.solved.SolveValue = 0.999999f;
        FlagGeometryError(sv);
    } else if (sv.solved.SolveValue < -0.999999f) {
        sv.solved.SolveValue = -0.999999f;
        FlagGeometryError(sv);
    }
}

long double GuardedDivisor(const SolverParts& sv, long double v) {
    sv.solved.SolveDivisor = F(v);
    GuardDivisor(sv);
    return sv.solved.SolveDivisor;
}

void SolveLinkage(const SolverParts& sv) {
    auto& X = sv.pivots.PivotX;
    auto& Y = sv.pivots.PivotY;
    const FrameBlock& fr = sv.design.Frame;
    const ext theta = static_cast<ext>(sv.motion.CrankAngle) * kPi / 180.0L;
    const ext halfStroke = static_cast<ext>(sv.design.StrokeLen) / 2.0L;

    // 1. The reverse arm's free end follows the reverse-arm setting.
    X[18] = sv.motion.RevArmPos;

    // 2. Crank pin; the crank turns clockwise on screen as the angle grows.
    X[2] = F(std::cos(theta) * halfStroke + X[1]);
    Y[2] = F(Y[1] - std::sin(theta) * halfStroke);

    // 3. Crosshead, toward the cylinders from the crank pin.
    const ext rodLen = static_cast<ext>(fr.MainRodCrankEnd) + fr.MainRodPistonEnd;
    sv.solved.SolveValue = F(Sq(rodLen) - Sq(static_cast<ext>(Y[2]) - Y[3]));
    GuardRadicand(sv);
    X[3] = F(std::sqrt(static_cast<ext>(sv.solved.SolveValue)) + X[2]);

    // 4. Gear point on the main rod.
    sv.solved.SolveDivisor = F(rodLen);
    GuardDivisor(sv);
    X[10] = F(X[2] + (static_cast<ext>(X[3]) - X[2]) * fr.MainRodCrankEnd / sv.solved.SolveDivisor);
    Y[10] = F(Y[2] + fr.MainRodCrankEnd * (static_cast<ext>(Y[3]) - Y[2]) / sv.solved.SolveDivisor);

    // 5. Anchor-link end: triangle 13, 10, 11 with sides D = d(10,13), A and C = Cu + Cl.
    {
        sv.solved.SolveDivisor = F(static_cast<ext>(Y[10]) - Y[13]);
        GuardDivisor(sv);
        const ext beta = std::atan((static_cast<ext>(X[13]) - X[10]) / sv.solved.SolveDivisor);
        ext d =
            std::sqrt(Sq(static_cast<ext>(X[13]) - X[10]) + Sq(static_cast<ext>(Y[10]) - Y[13]));
        d = GuardedSide(sv, d);
        const ext a = fr.AnchorLinkLen;
        const ext c = static_cast<ext>(fr.CouplerUpper) + fr.CouplerLower;
        sv.solved.SolveDivisor = F(a);
        GuardDivisor(sv);
        sv.solved.SolveValue = F((Sq(d) + Sq(a) - Sq(c)) / 2.0L / d / sv.solved.SolveDivisor);
        GuardCos(sv);
        const ext k = sv.solved.SolveValue;
        const ext gamma = std::atan(k / std::sqrt(1.0L - k * k)) + kPi / 2.0L - beta;
        X[11] = F(X[13] - std::sin(gamma) * a);
        Y[11] = F(Y[13] - std::cos(gamma) * a);
    }

    // 6. Valve-lever foot on the coupler.
    sv.solved.SolveDivisor = F(static_cast<ext>(fr.CouplerUpper) + fr.CouplerLower);
    GuardDivisor(sv);
    X[9] = F(X[10] + (static_cast<ext>(X[11]) - X[10]) * fr.CouplerUpper / sv.solved.SolveDivisor);
    Y[9] = F(Y[10] + fr.CouplerUpper * (static_cast<ext>(Y[11]) - Y[10]) / sv.solved.SolveDivisor);

    // 7. Reverse arm, always pointing up from pivot 6.
    sv.solved.SolveValue =
        F(Sq(static_cast<ext>(fr.ReverseArmLen)) - Sq(static_cast<ext>(X[18]) - X[6]));
    GuardRadicand(sv);
    Y[18] = F(std::sqrt(static_cast<ext>(sv.solved.SolveValue)) + Y[6]);
    sv.solved.SolveDivisor = F(static_cast<ext>(Y[18]) - Y[6]);
    GuardDivisor(sv);
    sv.solved.RevArmAngle = F(std::atan((static_cast<ext>(X[18]) - X[6]) / sv.solved.SolveDivisor));

    // 8. Link arc centre: at R from pivot 6, square to the reverse arm.
    const ext R = sv.design.LinkRadius;
    X[14] = F(std::cos(static_cast<ext>(sv.solved.RevArmAngle)) * R + X[6]);
    Y[14] = F(Y[6] - std::sin(static_cast<ext>(sv.solved.RevArmAngle)) * R);

    // 9. Die block: triangle 9, 14, 8 with sides D = d(9,14), R and the lever chord.
    {
        sv.solved.SolveDivisor = F(static_cast<ext>(X[14]) - X[9]);
        GuardDivisor(sv);
        const ext beta = std::atan((static_cast<ext>(Y[14]) - Y[9]) / sv.solved.SolveDivisor);
        ext d = std::sqrt(Sq(static_cast<ext>(X[14]) - X[9]) + Sq(static_cast<ext>(Y[14]) - Y[9]));
        d = GuardedSide(sv, d);
        sv.solved.SolveDivisor = F(R);
        GuardDivisor(sv);
        const ext lever = static_cast<ext>(fr.ValveLeverUpperLen) + fr.ValveLeverLowerLen;
        sv.solved.SolveValue =
            F((Sq(d) + R * R - Sq(lever) - Sq(static_cast<ext>(sv.design.ValveLeverUpperOffset))) /
              2.0L / d / sv.solved.SolveDivisor);
        GuardCos(sv);
        const ext k = sv.solved.SolveValue;
        const ext delta = kPi / 2.0L - std::atan(k / std::sqrt(1.0L - k * k)) - beta;
        X[8] = F(X[14] - std::cos(delta) * R);
        Y[8] = F(std::sin(delta) * R + Y[14]);
    }

    // 10. Valve lever: the line 9 -> 8, turned back by the offset angle of the die.
    FrameBlock& frw = sv.design.Frame;
    ext alpha = std::atan((static_cast<ext>(X[8]) - X[9]) /
                          GuardedDivisor(sv, static_cast<ext>(Y[8]) - Y[9]));
    if (frw.ValveLeverLowerLen == 0.0f) frw.ValveLeverLowerLen = 0.00001f;
    if (frw.ValveLeverUpperLen == 0.0f) frw.ValveLeverUpperLen = 0.00001f;
    const ext vl = frw.ValveLeverLowerLen;
    const ext vu = frw.ValveLeverUpperLen;
    alpha -=
        std::atan(static_cast<ext>(sv.design.ValveLeverUpperOffset) / GuardedDivisor(sv, vl + vu));
    sv.solved.SolveAngle = F(alpha);

    // 11. Radius-rod joint and the top of the lever's straight line.
    X[7] = F(std::sin(alpha) * vl + X[9]);
    Y[7] = F(std::cos(alpha) * vl + Y[9]);
    X[15] = F(std::sin(alpha) * (vu + vl) + X[9]);
    Y[15] = F(std::cos(alpha) * (vu + vl) + Y[9]);

    // 12. Valve stem joint, toward the cylinders from pivot 7.
    sv.solved.SolveValue =
        F(Sq(static_cast<ext>(fr.RadiusRodLen)) - Sq(static_cast<ext>(Y[7]) - Y[4]));
    GuardRadicand(sv);
    X[4] = F(std::sqrt(static_cast<ext>(sv.solved.SolveValue)) + X[7]);

    // 13. Angle of the lower lever from the vertical.
    sv.solved.SolveDivisor = F(static_cast<ext>(Y[7]) - Y[9]);
    GuardDivisor(sv);
    sv.solved.LowerLeverAngle =
        F(std::atan((static_cast<ext>(X[7]) - X[9]) / sv.solved.SolveDivisor));

    // 14. Laps and thresholds. The valve centre lies u beyond the stem joint; the valve bore
    // centre is taken at the cylinder centre e.
    const CylRecord& c = sv.design.Cyl;
    const ext e = c.CylCtrToDriverCtr, o = c.ValveBoreCtrToPort, p = c.ValvePortWidthRear,
              q = c.ValvePortWidthFront, r = c.ValveCtrToInsideEdge, s = c.ValveEndWidthRear,
              t = c.ValveEndWidthFront, u = c.ValveCtrToJoint;
    sv.solved.FrontSteamLap = F(o - r);
    sv.solved.FrontPortReach = F(o - r + q);
    sv.solved.FrontExhaustLap = F(o - r + q - t);
    sv.solved.RearSteamLap = F(o - r);
    sv.solved.RearPortReach = F(o + p - r);
    sv.solved.RearExhaustLap = F(o + p - r - s);
    sv.solved.ValveDisp = F(u + X[4] - e);
    sv.solved.FrontAdmitNeg = F(u - e - o + r);
    sv.solved.RearAdmitAt = F(e - u - o + r);
    sv.solved.FrontAdmitAt = F(o - r + e - u);
    sv.solved.RearAdmitNeg = F(o - r - e + u);
    sv.solved.FrontExhaustAt = F(o + q - r - t + e - u);
    sv.solved.RearExhaustNeg = F(o + p - r - s - e + u);
}

void SolveValveEvents(const SolverParts& sv) {
    const ext theta = static_cast<ext>(sv.motion.CrankAngle) * kPi / 180.0L;
    const ext S = sv.design.StrokeLen;
    sv.solved.SolveDivisor = F(S);
    GuardDivisor(sv);
    const ext s1 = sv.solved.SolveDivisor;
    const ext lc = sv.design.Frame.MainRodCrankEnd;
    sv.solved.SolveValue = F(lc * lc - Sq(std::sin(theta) * S / 2.0L));
    GuardRadicand(sv);
    // Piston position on a 0..640 scale: 0 at crank angle 0, 640 at 180.
    sv.solved.PistonPos = F(
        320.0L - (std::cos(theta) + std::sqrt(static_cast<ext>(sv.solved.SolveValue)) / s1 * 2.0L -
                  lc / s1 * 2.0L) *
                     320.0L);

    const CylRecord& c = sv.design.Cyl;
    const ext x4 = sv.pivots.PivotX[4];
    const ext e = c.CylCtrToDriverCtr, o = c.ValveBoreCtrToPort, p = c.ValvePortWidthRear,
              q = c.ValvePortWidthFront, r = c.ValveCtrToInsideEdge, s = c.ValveEndWidthRear,
              t = c.ValveEndWidthFront, u = c.ValveCtrToJoint;
    sv.solved.FrontSteamOpen = F(x4 + u + r - e - o);
    sv.solved.FrontExhaustOpen = F(e + o + q - x4 - u - r - t);
    sv.solved.RearSteamOpen = F(-x4 - u + r + e - o);
    sv.solved.RearExhaustOpen = F(-e + o + p + x4 + u - r - s);
}

}  // namespace tarn
