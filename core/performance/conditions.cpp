#include "core/performance/conditions.h"

#include <cmath>

namespace tarn {

// The least the engine model needs until the conditions' own code lands.
double MetresPerUnit(LengthUnit unit) { return unit == LengthUnit::Inch ? 0.0254 : 0.001; }
double ChestPressureAbs(const EngineConditions& c) {
    return c.chestPressure + c.atmosphericPressure;
}
double BackPressureAbs(const EngineConditions& c) { return c.backPressure + c.atmosphericPressure; }
double RevPerSecond(const EngineConditions& c, double driverDia) {
    if (c.speedGiven == SpeedGiven::RevPerMin) return c.revPerMin / 60.0;
    const double circumference = M_PI * driverDia * MetresPerUnit(c.lengthUnit);
    return circumference > 0 ? c.roadSpeed / circumference : 0.0;
}

std::string ConditionsProblem(const EngineConditions&) { return {}; }

}  // namespace tarn
