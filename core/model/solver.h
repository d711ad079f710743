// The closed-form linkage solver: places the moving pivots for the current crank angle and
// reverse-arm position, derives the laps and thresholds and the port openings. Impossible
// geometry is absorbed by guards that substitute a usable value and flag a geometry error.
#pragma once

#include "core/model/model.h"

namespace tarn {

inline constexpr long double kPi = 3.1415926535897932385L;

void SolveLinkage(Model& m);
void SolveValveEvents(Model& m);

// The guards work on the model's scratch values in place.
void GuardRadicand(Model& m);      // SolveValue < 0: use -SolveValue
void GuardDivisor(Model& m);       // |SolveDivisor| < 0.00001: +-0.00001 (0 counts as positive)
void GuardCos(Model& m);           // clamp SolveValue into +-0.999999
void FlagGeometryError(Model& m);  // GeometryError := true while BeepOnError

// The guarded divisor for a value, as GuardDivisor would leave it (flags like it).
long double GuardedDivisor(Model& m, long double v);

}  // namespace tarn
