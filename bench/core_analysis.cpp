// Valve-events analysis cost: one gear position (target under 1 ms) and one cut-off equaliser
// run on a design whose ends were made unequal (target under 100 ms).
#include <benchmark/benchmark.h>

#include "core/analysis/equaliser.h"
#include "core/analysis/valveevents.h"
#include "core/model/dimensions.h"
#include "core/model/model.h"

namespace {

void BM_AnalyseOneGearPosition(benchmark::State& state) {
    tarn::Model m;
    tarn::StartUp(m);
    const float pos = tarn::GearRevArmPos(m, tarn::Gear::NormalForward);
    for (auto _ : state) benchmark::DoNotOptimize(tarn::AnalyseValveEvents(m, pos));
}
BENCHMARK(BM_AnalyseOneGearPosition)->Unit(benchmark::kMicrosecond);

void BM_EqualiseCutoff(benchmark::State& state) {
    tarn::Model m;
    tarn::StartUp(m);
    const float pos = tarn::GearRevArmPos(m, tarn::Gear::NormalForward);
    tarn::SetDimension(m, 117, tarn::EqualiseCutoff(m, 117, pos).value);  // balanced ...
    tarn::SetDimension(m, 5, 5.2f);                                       // ... then spoilt
    for (auto _ : state) benchmark::DoNotOptimize(tarn::EqualiseCutoff(m, 5, pos));
}
BENCHMARK(BM_EqualiseCutoff)->Unit(benchmark::kMillisecond);

}  // namespace
