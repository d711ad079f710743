// The closed-form linkage solver: places the moving pivots for the current crank angle and
// reverse-arm position, derives the laps and thresholds and the port openings. Impossible
// geometry is absorbed by guards that substitute a usable value and flag a geometry error.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/model/model.h"

namespace tarn {

inline constexpr long double kPi = 3.1415926535897932385L;

// What the solver works on. It reads the design and the motion and writes the pivots and its
// outputs; it writes a dimension only to take a valve lever of zero length as 0.00001 long.
struct SolverParts {
    Design& design;
    const MotionState& motion;
    PivotTable& pivots;
    SolverOutputs& solved;
    bool flagErrors;  // a guard raises GeometryError only while BeepOnError is on
};
inline SolverParts SolverPartsOf(Model& m) {
    return {m.design, m.motion, m.pivots, m.solved, m.display.BeepOnError};
}

void SolveLinkage(const SolverParts& sv);
void SolveValveEvents(const SolverParts& sv);
inline void SolveLinkage(Model& m) { SolveLinkage(SolverPartsOf(m)); }
inline void SolveValveEvents(Model& m) { SolveValveEvents(SolverPartsOf(m)); }

// Values kept for the crank angles met, found again by the angle's 32 bits: each angle has one of
// kSlots places (a power of two), picked by a multiplicative hash, and takes it from any angle
// that held it before, which is then worked out afresh when it comes back.
template <class Value, std::size_t kSlots>
class CrankAngleCache {
    static_assert(kSlots >= 2 && std::has_single_bit(kSlots));

public:
    // The value kept for angle, worked out by make() when it is not kept.
    template <class Make>
    const Value& At(f32 angle, Make make) {
        const auto bits = std::bit_cast<std::uint32_t>(angle);
        Slot& slot = slots_[(bits * 0x9E3779B1u) >> kShift];
        if (!slot.known || slot.angleBits != bits) slot = Slot{bits, true, make()};
        return slot.value;
    }

private:
    static constexpr int kShift = 32 - std::countr_zero(kSlots);
    struct Slot {
        std::uint32_t angleBits = 0;
        bool known = false;
        Value value{};
    };
    std::vector<Slot> slots_ = std::vector<Slot>(kSlots);
};

// SolveLinkage then SolveValveEvents, over and over, for the many crank angles and the few
// reverse-arm settings of a diagram or an analysis: the very same floats are stored, with less
// work. The pivots that follow from the crank angle alone are kept for each angle met, the reverse
// arm for the last setting and the lever's offset angle for its dimensions; a guard that fired
// while a kept value was worked out flags its error again each time the value is used. The
// design must not change while a sweep is in use; the motion may.
class LinkageSweep {
public:
    explicit LinkageSweep(const SolverParts& sv);
    // Solves at the motion's crank angle and reverse-arm setting.
    void Solve();
    // The same for the valve events alone: the pivots up to the valve stem, the piston and the
    // openings, with every guard. Pivot 15, the lower lever's angle and the laps keep whatever
    // they held.
    void SolveValveStem();

private:
    struct CrankSide {
        bool guarded = false;  // a guard fired
        f32 x2 = 0, y2 = 0, x3 = 0, x10 = 0, y10 = 0, x11 = 0, y11 = 0, x9 = 0, y9 = 0;
        f32 pistonPos = 0, solveValue = 0, solveDivisor = 0;  // as SolveValveEvents leaves them
    };
    struct ReverseArm {
        std::uint32_t posBits = 0;
        bool known = false;
        bool guarded = false;
        f32 x18 = 0, y18 = 0, x14 = 0, y14 = 0, angle = 0;
    };
    struct LeverOffset {
        std::uint32_t lowerBits = 0, upperBits = 0, offsetBits = 0;
        bool known = false;
        bool guarded = false;
        ext angle = 0;
    };

    void Solve(bool whole);
    const CrankSide& CrankSideAt();
    const ReverseArm& ReverseArmAt();
    ext LeverOffsetAngle();

    SolverParts sv_;
    CrankAngleCache<CrankSide, 256> crank_;  // a diagram turns through 90 angles
    ReverseArm arm_;
    LeverOffset lever_;
};

void GuardRadicand(const SolverParts& sv);  // SolveValue < 0: use -SolveValue
void GuardDivisor(
    const SolverParts& sv);            // |SolveDivisor| < 0.00001: +-0.00001 (0 counts as positive)
void GuardCos(const SolverParts& sv);  // clamp SolveValue into +-0.999999
void FlagGeometryError(const SolverParts& sv);  // GeometryError := true while BeepOnError

long double GuardedDivisor(const SolverParts& sv, long double v);

// The crosshead's travel. The crosshead (pivot 3) moves with the whole main rod, MainRodCrankEnd
// + MainRodPistonEnd, not with the crank end alone that the piston read-out PistonPos takes for
// its rod. Its x is furthest from the driver centre when the crank and the whole rod lie in one
// line, the pin toward the cylinders (the front dead centre, crank angle 0 when the cylinder's
// centre line passes through the driver centre), and nearest when they lie in one line folded
// back (the rear dead centre): at the driver centre's x plus sqrt((L +- S/2)^2 - h^2), L the whole
// rod and h the height of the driver centre above the cylinder's centre line.
struct CrossheadDeadCentres {
    ext front = 0;  // pivot 3's x at the front dead centre (the larger)
    ext rear = 0;   // and at the rear dead centre
};
CrossheadDeadCentres CrossheadDeadCentresOf(const Design& d, const PivotTable& p);

// Where the crosshead at x stands between its dead centres: 0 at the front one, 1 at the rear
// one, clamped into 0..1 (0 when the dead centres coincide or a value is not a number).
ext CrossheadTravelFraction(const CrossheadDeadCentres& dc, ext x);

// The piston position the main window's read-outs show, on PistonPos's 0..640 scale: PistonPos
// itself, or with the true-travel switch on the crosshead's own travel.
ext ShownPistonPos(const Model& m);

// The guards on the whole model, for the diagrams that use them outside the solver.
inline void FlagGeometryError(Model& m) { FlagGeometryError(SolverPartsOf(m)); }
inline long double GuardedDivisor(Model& m, long double v) {
    return GuardedDivisor(SolverPartsOf(m), v);
}

}  // namespace tarn
