// The engine model's cost on the built-in design with IAPWS-IF97 steam: one converged card at
// normal forward and 200 rev/min (target under 10 ms), and the map of 20 speeds by the 5
// standard gears that the performance curves draw (target under 1 s on two cores).
#include <benchmark/benchmark.h>

#include <vector>

#include "core/analysis/valveevents.h"
#include "core/model/model.h"
#include "core/performance/engine.h"

namespace {

void BM_EngineOneCard(benchmark::State& state) {
    tarn::Model m;
    tarn::StartUp(m);
    tarn::EngineConditions c;
    c.model = state.range(0) ? tarn::SteamModel::If97 : tarn::SteamModel::IdealGas;
    c.revPerMin = 200;
    const float pos = tarn::GearRevArmPos(m, tarn::Gear::NormalForward);
    int revolutions = 0;
    for (auto _ : state) {
        const tarn::EnginePerformance r = tarn::SimulateEngine(m, c, pos);
        revolutions = r.revolutions;
        benchmark::DoNotOptimize(r.mepMean);
    }
    state.counters["revolutions"] = revolutions;
}
BENCHMARK(BM_EngineOneCard)->Arg(1)->Arg(0)->ArgName("if97")->Unit(benchmark::kMillisecond);

void BM_EngineMap20Speeds5Gears(benchmark::State& state) {
    tarn::Model m;
    tarn::StartUp(m);
    const tarn::EngineConditions c;
    const std::vector<float> positions = tarn::StandardGearPositions(m);
    std::vector<double> speeds;
    for (int k = 1; k <= 20; ++k) speeds.push_back(25.0 * k);
    for (auto _ : state) benchmark::DoNotOptimize(tarn::SimulateEngineMap(m, c, positions, speeds));
}
BENCHMARK(BM_EngineMap20Speeds5Gears)->Unit(benchmark::kMillisecond);

}  // namespace
