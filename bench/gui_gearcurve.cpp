// The gear curve in the valve-events window (target: a redraw under 50 ms): the analysis of its
// positions from full forward to full reverse after a design change, and the drawing of the
// curves with a reference through QPainter at the window's default size.
#include <QImage>

#include <benchmark/benchmark.h>

#include "core/model/dimensions.h"
#include "core/model/model.h"
#include "core/plots/gearcurve.h"
#include "gui/common/qpaintercanvas.h"

#include "bench_guiapp.h"

namespace {

void BM_GearCurveAnalysis(benchmark::State& state) {
    tarn::Model m;
    tarn::StartUp(m);
    for (auto _ : state) benchmark::DoNotOptimize(tarn::ComputeGearCurve(m));
}
BENCHMARK(BM_GearCurveAnalysis)->Unit(benchmark::kMillisecond);

void BM_GearCurveDraw(benchmark::State& state) {
    tarn::bench::App();
    tarn::Model m;
    tarn::StartUp(m);
    const tarn::GearCurve design = tarn::ComputeGearCurve(m);
    tarn::SetDimension(m, 5, m.design.Frame.RadiusRodLen * 1.03f);
    const tarn::GearCurve reference = tarn::ComputeGearCurve(m);
    QImage picture(1270, 300, QImage::Format_RGB32);
    for (auto _ : state) {
        tarn::QPainterCanvas canvas(picture);
        tarn::DrawGearCurve(canvas, picture.width(), picture.height(), design, &reference,
                            tarn::GearCurveStyle{true, true});
    }
}
BENCHMARK(BM_GearCurveDraw)->Unit(benchmark::kMillisecond);

}  // namespace
