// Cost of one diagram redraw into the window's retained picture through QPainter, with nine
// reverse-arm positions (the port diagram with both graphs).
#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include "diagrams/plots/plots.h"
#include "mainwin/qpaintercanvas.h"
#include "model/model.h"

namespace {

QGuiApplication& App() {
    static int argc = 1;
    static char name[] = "gui_bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    return app;
}

void Redraw(benchmark::State& state, tarn::DiagramKind kind) {
    App();
    tarn::Model m;
    tarn::StartUp(m);
    const float c = m.RevArmPositions[0];
    const float offsets[9] = {0, 1.6f, -1.6f, 0.4f, -0.4f, 0.8f, -0.8f, 1.2f, -1.2f};
    for (int n = 1; n <= 9; ++n) m.RevArmPositions[n] = c + offsets[n - 1];
    m.RevArmCount = 9;
    m.DynVarOn = true;
    m.UndoOn = true;
    if (kind == tarn::DiagramKind::Port) m.PortGraphMode = 'B';
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
