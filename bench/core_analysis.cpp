// Valve-events analysis cost: one gear position (target under 0.15 ms), and one gear optimiser
// run over six dimensions at normal forward and normal reverse on the built-in design (target
// under 10 s on two cores).
#include <benchmark/benchmark.h>

#include "core/analysis/optimiser.h"
#include "core/analysis/valveevents.h"
#include "core/model/model.h"

#include "bench_once.h"

namespace {

void BM_AnalyseOneGearPosition(benchmark::State& state) {
    tarn::Model m;
    tarn::StartUp(m);
    const float pos = tarn::GearRevArmPos(m, tarn::Gear::NormalForward);
    for (auto _ : state) benchmark::DoNotOptimize(tarn::AnalyseValveEvents(m, pos));
}
BENCHMARK(BM_AnalyseOneGearPosition)->Unit(benchmark::kMicrosecond);

void BM_OptimiseSixDimensions(benchmark::State& state) {
    tarn::Model m;
    tarn::StartUp(m);
    tarn::OptimiseSettings s;  // Fwd and Rev, +-10 %, lead >= 0
    // The valve stem, the ring (lap), the radius rod, the link pivot's height, the lever's upper
    // offset and the coupler's upper part.
    for (int id : {117, 114, 5, 7, 19, 11}) s.dimensions.push_back({id, std::nullopt});
    int evaluations = 0;
    for (auto _ : state) {
        const tarn::OptimiseResult r = tarn::OptimiseGear(m, s);
        evaluations = r.evaluations;
        benchmark::DoNotOptimize(r.after);
    }
    state.counters["evaluations"] = evaluations;
}
BENCHMARK(BM_OptimiseSixDimensions)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(tarn::bench::Times(3));

// Six dimensions at +-15 %, Fwd and Rev: a range wide enough to hold several basins, so the
// objective reached tells how well the whole range is searched, the time what it costs.
void BM_OptimiseSixDimensionsWide(benchmark::State& state) {
    tarn::Model m;
    tarn::StartUp(m);
    tarn::OptimiseSettings s;
    s.rangePercent = 15;
    // The radius rod, the link pivot's height, both arms of the valve lever, the anchor link and
    // the valve stem.
    for (int id : {5, 7, 9, 10, 13, 117}) s.dimensions.push_back({id, std::nullopt});
    int evaluations = 0;
    double objective = 0;
    for (auto _ : state) {
        const tarn::OptimiseResult r = tarn::OptimiseGear(m, s);
        evaluations = r.evaluations;
        objective = r.after.objective.value_or(-1);
        benchmark::DoNotOptimize(r.after);
    }
    state.counters["evaluations"] = evaluations;
    state.counters["objective"] = objective;
}
BENCHMARK(BM_OptimiseSixDimensionsWide)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(tarn::bench::Times(3))
    ->ReportAggregatesOnly(true);

}  // namespace
