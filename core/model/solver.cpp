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
//
// A LinkageSweep runs the very same steps on the very same values; it only keeps the results of
// the steps whose inputs have not changed since it last ran them.
#include "core/model/solver.h"

#include <algorithm>
#include <array>
#include <bit>
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

namespace {

// Step 0: the fixed pivots stand where the design puts them, so that a solve never starts from a
// design's old values. The reverse arm turns about pivot 6 and the anchor link about 13, each
// at the same place as 5 and 12; the crosshead (3) runs on the cylinder's centre line and the
// valve stem (4) on the valve's.
void PlaceFixedPivots(const SolverParts& sv) {
    auto& X = sv.pivots.PivotX;
    auto& Y = sv.pivots.PivotY;
    const Design& d = sv.design;
    X[5] = X[6] = d.LinkPivotHorz;
    Y[5] = Y[6] = d.LinkPivotVert;
    X[12] = X[13] = d.AnchorLinkPivotHorz;
    Y[12] = Y[13] = d.AnchorLinkPivotVert;
    Y[3] = d.CylCLAboveDriver;
    Y[4] = ValveCLAboveDriver(d);
}

// Steps 2 to 6: the pivots that follow from the crank angle alone, given the sine and cosine of
// the angle in radians.
void PlaceCrankSide(const SolverParts& sv, ext sinTheta, ext cosTheta) {
    auto& X = sv.pivots.PivotX;
    auto& Y = sv.pivots.PivotY;
    const FrameBlock& fr = sv.design.Frame;
    const ext halfStroke = static_cast<ext>(sv.design.StrokeLen) / 2.0L;

    // 2. Crank pin; the crank turns clockwise on screen as the angle grows.
    X[2] = F(cosTheta * halfStroke + X[1]);
    Y[2] = F(Y[1] - sinTheta * halfStroke);

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
}

// Steps 1, 7 and 8: the reverse arm and the link's centre, which follow from the reverse-arm
// setting alone.
void PlaceReverseArm(const SolverParts& sv) {
    auto& X = sv.pivots.PivotX;
    auto& Y = sv.pivots.PivotY;

    // 1. The reverse arm's free end follows the reverse-arm setting.
    X[18] = sv.motion.RevArmPos;

    // 7. Reverse arm, always pointing up from pivot 6.
    sv.solved.SolveValue =
        F(Sq(static_cast<ext>(sv.design.Frame.ReverseArmLen)) - Sq(static_cast<ext>(X[18]) - X[6]));
    GuardRadicand(sv);
    Y[18] = F(std::sqrt(static_cast<ext>(sv.solved.SolveValue)) + Y[6]);
    sv.solved.SolveDivisor = F(static_cast<ext>(Y[18]) - Y[6]);
    GuardDivisor(sv);
    sv.solved.RevArmAngle = F(std::atan((static_cast<ext>(X[18]) - X[6]) / sv.solved.SolveDivisor));

    // 8. Link arc centre: at R from pivot 6, square to the reverse arm.
    const ext R = sv.design.LinkRadius;
    X[14] = F(std::cos(static_cast<ext>(sv.solved.RevArmAngle)) * R + X[6]);
    Y[14] = F(Y[6] - std::sin(static_cast<ext>(sv.solved.RevArmAngle)) * R);
}

// The angle the valve lever's straight line is turned back by the upper offset. A lever of zero
// length is taken as 0.00001 long, once and for good.
ext LeverOffsetAngle(const SolverParts& sv) {
    FrameBlock& frw = sv.design.Frame;
    if (frw.ValveLeverLowerLen == 0.0f) frw.ValveLeverLowerLen = 0.00001f;
    if (frw.ValveLeverUpperLen == 0.0f) frw.ValveLeverUpperLen = 0.00001f;
    const ext vl = frw.ValveLeverLowerLen;
    const ext vu = frw.ValveLeverUpperLen;
    return std::atan(static_cast<ext>(sv.design.ValveLeverUpperOffset) /
                     GuardedDivisor(sv, vl + vu));
}

// How much of the valve side a solve places.
enum class ValveSide {
    Whole,
    Stem  // no pivot 15 and no lower-lever angle (its guard still flags)
};

// Steps 9 to 13: the die, the valve lever and the valve stem, from the lever's foot and the link's
// centre. offsetAngle() gives LeverOffsetAngle(sv), called where the solver works it out.
template <ValveSide kSide, class OffsetAngle>
void PlaceValveSide(const SolverParts& sv, OffsetAngle offsetAngle) {
    auto& X = sv.pivots.PivotX;
    auto& Y = sv.pivots.PivotY;
    const FrameBlock& fr = sv.design.Frame;
    const ext R = sv.design.LinkRadius;

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
    ext alpha = std::atan((static_cast<ext>(X[8]) - X[9]) /
                          GuardedDivisor(sv, static_cast<ext>(Y[8]) - Y[9]));
    alpha -= offsetAngle();
    sv.solved.SolveAngle = F(alpha);
    const ext vl = fr.ValveLeverLowerLen;
    const ext vu = fr.ValveLeverUpperLen;

    // 11. Radius-rod joint and the top of the lever's straight line.
    const ext sinAlpha = std::sin(alpha), cosAlpha = std::cos(alpha);
    X[7] = F(sinAlpha * vl + X[9]);
    Y[7] = F(cosAlpha * vl + Y[9]);
    if constexpr (kSide == ValveSide::Whole) {
        X[15] = F(sinAlpha * (vu + vl) + X[9]);
        Y[15] = F(cosAlpha * (vu + vl) + Y[9]);
    }

    // 12. Valve stem joint, toward the cylinders from pivot 7.
    sv.solved.SolveValue =
        F(Sq(static_cast<ext>(fr.RadiusRodLen)) - Sq(static_cast<ext>(Y[7]) - Y[4]));
    GuardRadicand(sv);
    X[4] = F(std::sqrt(static_cast<ext>(sv.solved.SolveValue)) + X[7]);

    // 13. Angle of the lower lever from the vertical.
    sv.solved.SolveDivisor = F(static_cast<ext>(Y[7]) - Y[9]);
    GuardDivisor(sv);
    if constexpr (kSide == ValveSide::Whole)
        sv.solved.LowerLeverAngle =
            F(std::atan((static_cast<ext>(X[7]) - X[9]) / sv.solved.SolveDivisor));
}

// 14. Laps and thresholds. The valve centre lies u beyond the stem joint; the valve bore centre
// is taken at the cylinder centre e.
void StoreLaps(const SolverParts& sv) {
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
    sv.solved.ValveDisp = F(u + sv.pivots.PivotX[4] - e);
    sv.solved.FrontAdmitNeg = F(u - e - o + r);
    sv.solved.RearAdmitAt = F(e - u - o + r);
    sv.solved.FrontAdmitAt = F(o - r + e - u);
    sv.solved.RearAdmitNeg = F(o - r - e + u);
    sv.solved.FrontExhaustAt = F(o + q - r - t + e - u);
    sv.solved.RearExhaustNeg = F(o + p - r - s - e + u);
}

// The piston position on a 0..640 scale: 0 at crank angle 0, 640 at 180.
void PlacePiston(const SolverParts& sv, ext sinTheta, ext cosTheta) {
    const ext S = sv.design.StrokeLen;
    sv.solved.SolveDivisor = F(S);
    GuardDivisor(sv);
    const ext s1 = sv.solved.SolveDivisor;
    const ext lc = sv.design.Frame.MainRodCrankEnd;
    sv.solved.SolveValue = F(lc * lc - Sq(sinTheta * S / 2.0L));
    GuardRadicand(sv);
    sv.solved.PistonPos =
        F(320.0L - (cosTheta + std::sqrt(static_cast<ext>(sv.solved.SolveValue)) / s1 * 2.0L -
                    lc / s1 * 2.0L) *
                       320.0L);
}

// The four port openings: the valve stem position plus or minus a constant.
void StoreOpenings(const SolverParts& sv) {
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

struct SinCos {
    ext sin = 0, cos = 0;
};

SinCos SinCosOfDegrees(f32 angle) {
    const ext theta = static_cast<ext>(angle) * kPi / 180.0L;
    return {std::sin(theta), std::cos(theta)};
}

// The sine and cosine of the crank angle. The picture, the diagrams and the analysis's coarse
// sweep turn the crank in whole degrees, whose values are worked out once.
SinCos CrankSinCos(f32 angle) {
    static const std::array<SinCos, 361> kWholeDegrees = [] {
        std::array<SinCos, 361> t;
        for (int d = 0; d <= 360; ++d) t[d] = SinCosOfDegrees(static_cast<f32>(d));
        return t;
    }();
    // Not -0: its sine is -0.
    if (!std::signbit(angle) && angle <= 360 && angle == std::floor(angle))
        return kWholeDegrees[static_cast<std::size_t>(angle)];
    return SinCosOfDegrees(angle);
}

}  // namespace

void SolveLinkage(const SolverParts& sv) {
    const SinCos theta = CrankSinCos(sv.motion.CrankAngle);
    PlaceFixedPivots(sv);
    PlaceCrankSide(sv, theta.sin, theta.cos);
    PlaceReverseArm(sv);
    PlaceValveSide<ValveSide::Whole>(sv, [&] { return LeverOffsetAngle(sv); });
    StoreLaps(sv);
}

void SolveValveEvents(const SolverParts& sv) {
    const SinCos theta = CrankSinCos(sv.motion.CrankAngle);
    PlacePiston(sv, theta.sin, theta.cos);
    StoreOpenings(sv);
}

namespace {

std::uint32_t Bits(f32 v) { return std::bit_cast<std::uint32_t>(v); }

}  // namespace

LinkageSweep::LinkageSweep(const SolverParts& sv) : sv_(sv) {}

const LinkageSweep::CrankSide& LinkageSweep::CrankSideAt() {
    return crank_.At(sv_.motion.CrankAngle, [this] {
        SolverOutputs scratch;
        const SolverParts part{sv_.design, sv_.motion, sv_.pivots, scratch, true};
        const SinCos theta = CrankSinCos(sv_.motion.CrankAngle);
        PlaceCrankSide(part, theta.sin, theta.cos);
        PlacePiston(part, theta.sin, theta.cos);
        const auto& X = sv_.pivots.PivotX;
        const auto& Y = sv_.pivots.PivotY;
        return CrankSide{scratch.GeometryError,
                         X[2],
                         Y[2],
                         X[3],
                         X[10],
                         Y[10],
                         X[11],
                         Y[11],
                         X[9],
                         Y[9],
                         scratch.PistonPos,
                         scratch.SolveValue,
                         scratch.SolveDivisor};
    });
}

const LinkageSweep::ReverseArm& LinkageSweep::ReverseArmAt() {
    const std::uint32_t bits = Bits(sv_.motion.RevArmPos);
    if (arm_.known && arm_.posBits == bits) return arm_;
    SolverOutputs scratch;
    const SolverParts part{sv_.design, sv_.motion, sv_.pivots, scratch, true};
    PlaceReverseArm(part);
    const auto& X = sv_.pivots.PivotX;
    const auto& Y = sv_.pivots.PivotY;
    arm_ = ReverseArm{bits,  true,  scratch.GeometryError, X[18], Y[18],
                      X[14], Y[14], scratch.RevArmAngle};
    return arm_;
}

ext LinkageSweep::LeverOffsetAngle() {
    FrameBlock& fr = sv_.design.Frame;
    if (fr.ValveLeverLowerLen == 0.0f) fr.ValveLeverLowerLen = 0.00001f;
    if (fr.ValveLeverUpperLen == 0.0f) fr.ValveLeverUpperLen = 0.00001f;
    const std::uint32_t lower = Bits(fr.ValveLeverLowerLen), upper = Bits(fr.ValveLeverUpperLen),
                        offset = Bits(sv_.design.ValveLeverUpperOffset);
    if (!lever_.known || lever_.lowerBits != lower || lever_.upperBits != upper ||
        lever_.offsetBits != offset) {
        SolverOutputs scratch;
        const SolverParts part{sv_.design, sv_.motion, sv_.pivots, scratch, true};
        lever_ = LeverOffset{lower, upper, offset, true, false, tarn::LeverOffsetAngle(part)};
        lever_.guarded = scratch.GeometryError;
    }
    if (lever_.guarded) FlagGeometryError(sv_);
    return lever_.angle;
}

void LinkageSweep::Solve() { Solve(true); }
void LinkageSweep::SolveValveStem() { Solve(false); }

void LinkageSweep::Solve(bool whole) {
    auto& X = sv_.pivots.PivotX;
    auto& Y = sv_.pivots.PivotY;
    PlaceFixedPivots(sv_);
    const CrankSide& c = CrankSideAt();
    X[2] = c.x2;
    Y[2] = c.y2;
    X[3] = c.x3;
    X[10] = c.x10;
    Y[10] = c.y10;
    X[11] = c.x11;
    Y[11] = c.y11;
    X[9] = c.x9;
    Y[9] = c.y9;
    const ReverseArm& a = ReverseArmAt();
    X[18] = a.x18;
    Y[18] = a.y18;
    X[14] = a.x14;
    Y[14] = a.y14;
    sv_.solved.RevArmAngle = a.angle;
    if (c.guarded || a.guarded) FlagGeometryError(sv_);

    if (whole) {
        PlaceValveSide<ValveSide::Whole>(sv_, [this] { return LeverOffsetAngle(); });
        StoreLaps(sv_);
    } else {
        PlaceValveSide<ValveSide::Stem>(sv_, [this] { return LeverOffsetAngle(); });
    }

    sv_.solved.PistonPos = c.pistonPos;
    sv_.solved.SolveValue = c.solveValue;
    sv_.solved.SolveDivisor = c.solveDivisor;
    StoreOpenings(sv_);
}

CrossheadDeadCentres CrossheadDeadCentresOf(const Design& d, const PivotTable& p) {
    const ext rod = static_cast<ext>(d.Frame.MainRodCrankEnd) + d.Frame.MainRodPistonEnd;
    const ext crank = static_cast<ext>(d.StrokeLen) / 2.0L;
    const ext h = static_cast<ext>(p.PivotY[1]) - d.CylCLAboveDriver;
    // A rod too short to reach the centre line has no dead centre; the solver flags it, and
    // the absolute value keeps the numbers finite as its own guard does.
    auto reach = [h](ext len) { return std::sqrt(std::fabs(len * len - h * h)); };
    return {p.PivotX[1] + reach(rod + crank), p.PivotX[1] + reach(rod - crank)};
}

ext CrossheadTravelFraction(const CrossheadDeadCentres& dc, ext x) {
    const ext stroke = dc.front - dc.rear;
    const ext f = (dc.front - x) / stroke;
    if (!(stroke > 0) || std::isnan(f)) return 0;
    return std::clamp(f, 0.0L, 1.0L);
}

ext ShownPistonPos(const Model& m) {
    if (!m.display.TruePistonTravel) return m.solved.PistonPos;
    return CrossheadTravelFraction(CrossheadDeadCentresOf(m.design, m.pivots), m.pivots.PivotX[3]) *
           640.0L;
}

}  // namespace tarn
