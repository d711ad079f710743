// The closed-form linkage solver: places the moving pivots for the current crank angle and
// reverse-arm position, derives the laps and thresholds and the port openings. Impossible
// geometry is absorbed by guards that substitute a usable value and flag a geometry error.
#pragma once

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

void GuardRadicand(const SolverParts& sv);  // SolveValue < 0: use -SolveValue
void GuardDivisor(
    const SolverParts& sv);            // |SolveDivisor| < 0.00001: +-0.00001 (0 counts as positive)
void GuardCos(const SolverParts& sv);  // clamp SolveValue into +-0.999999
void FlagGeometryError(const SolverParts& sv);  // GeometryError := true while BeepOnError

long double GuardedDivisor(const SolverParts& sv, long double v);

// The guards on the whole model, for the diagrams that use them outside the solver.
inline void FlagGeometryError(Model& m) { FlagGeometryError(SolverPartsOf(m)); }
inline long double GuardedDivisor(Model& m, long double v) {
    return GuardedDivisor(SolverPartsOf(m), v);
}

}  // namespace tarn
