// Cost of one diagram redraw with nine reverse-arm positions (the port diagram with both
// graphs), drawn on the recording canvas: a jogged dimension must redraw within one frame, and
// the port diagram, the heaviest, in under 4 ms.
#include <benchmark/benchmark.h>

#include "core/model/model.h"
#include "core/model/recordingcanvas.h"
#include "core/plots/pivottable.h"
#include "core/plots/plots.h"

#include "bench_designs.h"

namespace {

void Redraw(benchmark::State& state, tarn::DiagramKind kind) {
    tarn::Model m = tarn::bench::NinePositions();
    if (kind == tarn::DiagramKind::Port) m.diagrams.PortGraphMode = tarn::PortGraphMode::Both;
    tarn::RecordingCanvas c;
    for (auto _ : state) {
        c.Reset();
        benchmark::DoNotOptimize(tarn::RedrawDiagram(kind, m, c));
    }
}

void BM_SineDiagram(benchmark::State& s) { Redraw(s, tarn::DiagramKind::Sine); }
void BM_OvalDiagram(benchmark::State& s) { Redraw(s, tarn::DiagramKind::Oval); }
void BM_SteamDiagram(benchmark::State& s) { Redraw(s, tarn::DiagramKind::Steam); }
void BM_PortDiagramBoth(benchmark::State& s) { Redraw(s, tarn::DiagramKind::Port); }
BENCHMARK(BM_SineDiagram)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OvalDiagram)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SteamDiagram)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PortDiagramBoth)->Unit(benchmark::kMillisecond);

void BM_PivotDataTable(benchmark::State& state) {
    tarn::Model m;
    tarn::StartUp(m);
    for (auto _ : state) benchmark::DoNotOptimize(tarn::BuildPivotDataTable(m, "d", "t"));
}
BENCHMARK(BM_PivotDataTable)->Unit(benchmark::kMillisecond);

}  // namespace
