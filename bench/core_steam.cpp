// Steam-table cost: the engine's hot call FromVU along a cylinder's expansion, warm-started from
// the previous state and cold, and the forward FromPT.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "core/steam/if97.h"

namespace {

using tarn::steam::State;

// An expansion from 1.6 MPa, 120 K superheat, to 0.05 MPa and 8 % wet, in 400 small steps, as
// the engine's cylinder passes through it.
std::vector<State> Expansion() {
    std::vector<State> states;
    const State start = tarn::steam::FromPT(1.6e6, tarn::steam::SaturationTemperature(1.6e6) + 120);
    for (int i = 0; i < 400; ++i) {
        const double p = start.p * std::pow(0.05e6 / start.p, i / 399.0);
        states.push_back(tarn::steam::FromPS(p, start.s));
    }
    return states;
}

void BM_FromVUWarm(benchmark::State& state) {
    const std::vector<State> path = Expansion();
    std::size_t i = 1;
    State previous = path[0];
    for (auto _ : state) {
        const State st = tarn::steam::FromVU(path[i].v, path[i].u, &previous);
        benchmark::DoNotOptimize(st);
        previous = st;
        if (++i == path.size()) {
            i = 1;
            previous = path[0];
        }
    }
}
BENCHMARK(BM_FromVUWarm);

void BM_FromVUCold(benchmark::State& state) {
    const std::vector<State> path = Expansion();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tarn::steam::FromVU(path[i].v, path[i].u));
        if (++i == path.size()) i = 0;
    }
}
BENCHMARK(BM_FromVUCold);

void BM_FromPT(benchmark::State& state) {
    double T = 500;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tarn::steam::FromPT(1e6, T));
        T += 0.1;
        if (T > 700) T = 500;
    }
}
BENCHMARK(BM_FromPT);

}  // namespace
