// Cost of one diagram redraw into the window's retained picture through QPainter, with nine
// reverse-arm positions (the port diagram with both graphs).
#include <QImage>

#include <benchmark/benchmark.h>

#include "core/model/model.h"
#include "core/plots/plots.h"
#include "gui/common/qpaintercanvas.h"

#include "bench_designs.h"
#include "bench_guiapp.h"

namespace {

void Redraw(benchmark::State& state, tarn::DiagramKind kind) {
    tarn::bench::App();
    tarn::Model m = tarn::bench::NinePositions();
    if (kind == tarn::DiagramKind::Port) m.diagrams.PortGraphMode = tarn::PortGraphMode::Both;
    QImage picture(632, 426, QImage::Format_RGB32);
    for (auto _ : state) {
        tarn::QPainterCanvas canvas(picture);
        benchmark::DoNotOptimize(tarn::RedrawDiagram(kind, m, canvas));
    }
}

void BM_QtSineDiagram(benchmark::State& s) { Redraw(s, tarn::DiagramKind::Sine); }
void BM_QtOvalDiagram(benchmark::State& s) { Redraw(s, tarn::DiagramKind::Oval); }
void BM_QtSteamDiagram(benchmark::State& s) { Redraw(s, tarn::DiagramKind::Steam); }
void BM_QtPortDiagramBoth(benchmark::State& s) { Redraw(s, tarn::DiagramKind::Port); }
BENCHMARK(BM_QtSineDiagram)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QtOvalDiagram)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QtSteamDiagram)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QtPortDiagramBoth)->Unit(benchmark::kMillisecond);

}  // namespace
