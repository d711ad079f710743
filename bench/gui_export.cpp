// Cost of exporting a picture: the port diagram with both graphs and nine reverse-arm
// positions (the richest drawing) written as PNG, SVG and PDF.
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "core/model/model.h"
#include "core/plots/plots.h"
#include "gui/common/pictureexport.h"
#include "gui/common/qpaintercanvas.h"

#include "bench_designs.h"
#include "bench_guiapp.h"

namespace {

void Export(benchmark::State& state, tarn::PictureFormat format) {
    tarn::bench::App();
    tarn::Model design = tarn::bench::NinePositions();
    design.diagrams.PortGraphMode = tarn::PortGraphMode::Both;
    tarn::Picture p;
    p.pixels = QImage(632, 426, QImage::Format_RGB32);
    p.draw = [design](tarn::Canvas& c) {
        tarn::Model m = design;
        tarn::RedrawDiagram(tarn::DiagramKind::Port, m, c);
    };
    {
        tarn::QPainterCanvas canvas(p.pixels);
        p.draw(canvas);
    }
    QTemporaryDir dir;
    const QString path =
        QDir(dir.path()).filePath(QStringLiteral("port.") + tarn::SuffixOf(format));
    for (auto _ : state) {
        const tarn::WriteResult r = tarn::WritePicture(p, path, format, QStringLiteral("Port"));
        if (!r.ok) state.SkipWithError(r.error.toStdString().c_str());
    }
}

void BM_ExportPortPng(benchmark::State& s) { Export(s, tarn::PictureFormat::Png); }
void BM_ExportPortSvg(benchmark::State& s) { Export(s, tarn::PictureFormat::Svg); }
void BM_ExportPortPdf(benchmark::State& s) { Export(s, tarn::PictureFormat::Pdf); }
BENCHMARK(BM_ExportPortPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportPortSvg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportPortPdf)->Unit(benchmark::kMillisecond);

}  // namespace
