// The Valve Events window while the design is varied: what its change check costs when only the
// view moves, and how long one jog step holds the GUI thread (the events thread's own work is
// not timed: the main window goes on meanwhile).
#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include "core/model/dimensions.h"
#include "core/model/model.h"
#include "gui/diagrams/valveeventswindow.h"

#include "bench_guiapp.h"
#include "bench_once.h"

namespace {

constexpr int kRadiusRod = 5;

// The view panned by a pixel: nothing the events depend on.
void BM_ValveEventsPan(benchmark::State& state) {
    tarn::bench::App();
    tarn::Model m;
    tarn::StartUp(m);
    tarn::TValveEvents w(m);
    w.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        m.view.OffsetX += 1;
        benchmark::DoNotOptimize(w.Refresh());
    }
}

// The radius rod jogged by one increment, to and fro: the timer's check that starts the work,
// then the table and the curve shown when the numbers come back.
void BM_ValveEventsJogStep(benchmark::State& state) {
    tarn::bench::App();
    tarn::Model m;
    tarn::StartUp(m);
    tarn::TValveEvents w(m);
    w.show();
    QCoreApplication::processEvents();
    const float base = tarn::GetDimension(m, kRadiusRod);
    bool up = false;
    for (auto _ : state) {
        up = !up;
        tarn::SetDimension(m, kRadiusRod, up ? base + 0.001f : base);
        benchmark::DoNotOptimize(w.Refresh());
        state.PauseTiming();
        w.WaitForWorker();
        state.ResumeTiming();
        QCoreApplication::processEvents();
    }
}

}  // namespace

BENCHMARK(BM_ValveEventsPan)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(tarn::bench::Times(5))
    ->ReportAggregatesOnly();
BENCHMARK(BM_ValveEventsJogStep)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(tarn::bench::Times(5))
    ->ReportAggregatesOnly();
