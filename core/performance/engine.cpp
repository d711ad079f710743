#include "core/performance/engine.h"

namespace tarn {

// A placeholder until the cylinder model lands: every result says it is not built.
EnginePerformance SimulateEngine(const Model&, const EngineConditions&, float revArmPos,
                                 const EngineSolverOptions&) {
    EnginePerformance r;
    r.revArmPos = revArmPos;
    r.problem = "the engine model is not built yet";
    return r;
}

std::vector<EnginePerformance> SimulateEngineMap(const Model& design,
                                                 const EngineConditions& conditions,
                                                 std::span<const float> positions,
                                                 std::span<const double> revPerMin,
                                                 const EngineSolverOptions& options) {
    std::vector<EnginePerformance> out;
    for (float p : positions)
        for (double n : revPerMin) {
            (void)n;
            out.push_back(SimulateEngine(design, conditions, p, options));
        }
    return out;
}

}  // namespace tarn
