// Solver cost: one solve of the linkage and the valve events, and a revolution in 1-degree steps.
#include <benchmark/benchmark.h>

#include "core/model/model.h"
#include "core/model/solver.h"

namespace {

void BM_SolveOnce(benchmark::State& state) {
    tarn::Model m;
    tarn::StartUp(m);
    float angle = 0;
    for (auto _ : state) {
        m.motion.CrankAngle = angle;
        tarn::SolveLinkage(m);
        tarn::SolveValveEvents(m);
        benchmark::DoNotOptimize(m.solved.FrontSteamOpen);
        angle += 1.0f;
        if (angle >= 360.0f) angle = 0;
    }
}
BENCHMARK(BM_SolveOnce);

void BM_SolveRevolution(benchmark::State& state) {
    tarn::Model m;
    tarn::StartUp(m);
    for (auto _ : state) {
        for (int a = 0; a < 360; ++a) {
            m.motion.CrankAngle = static_cast<float>(a);
            tarn::SolveLinkage(m);
            tarn::SolveValveEvents(m);
        }
        benchmark::DoNotOptimize(m.pivots.PivotX[4]);
    }
}
BENCHMARK(BM_SolveRevolution)->Unit(benchmark::kMicrosecond);

}  // namespace
