// One complete main-window tick: solve, screen points, point tables, advance and the whole frame
// drawn into the 1280 x 1024 image, at the start view with and without steam and at preset 5.
// Then the same tick in the real main window on the offscreen platform, with the repaint and the
// event handling it causes, while the crank turns and while it stands.
#include <QCoreApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "core/scene/mainscene.h"
#include "core/scene/view.h"
#include "gui/common/qpaintercanvas.h"
#include "gui/mainwin/appwindows.h"
#include "gui/mainwin/mainform.h"

#include "bench_guiapp.h"

namespace {

struct SilentHost : tarn::SceneHost {
    void SetCaption(tarn::CaptionWindow, const std::string& t) override {
        benchmark::DoNotOptimize(t.data());
    }
    std::string DateText() override { return "08/12/2026"; }
    std::string TimeText() override { return "10:11:12"; }
    void SetUndoButton(bool, int) override {}
    void SetErrorIndicator(bool) override {}
    void SetDynVarBarEnabled(int, bool) override {}
    tarn::SoundSink& Sound() override { return silent; }
    std::uint32_t ClockSeed() override { return ++seed; }
    tarn::SilentSound silent;
    std::uint32_t seed = 1;
};

void Tick(benchmark::State& state, bool steam, int preset) {
    tarn::bench::App();
    tarn::Model m;
    tarn::StartUp(m);
    m.display.ShowSteam = steam;
    if (preset > 0) tarn::RecallPreset(m.view, preset, false);
    SilentHost host;
    tarn::MainScene scene(m, host);
    tarn::FrameBuffer frame(tarn::kFrameWidth, tarn::kFrameHeight);
    for (auto _ : state) {
        tarn::QPainterCanvas canvas(frame);
        scene.Tick(canvas);
    }
    benchmark::DoNotOptimize(frame.image.constBits());
}

void BM_TickStartView(benchmark::State& s) { Tick(s, false, 0); }
void BM_TickStartViewSteam(benchmark::State& s) { Tick(s, true, 0); }
void BM_TickPreset5Steam(benchmark::State& s) { Tick(s, true, 5); }

// The program's own window at its start size, its timer stopped so the benchmark gives the ticks;
// each tick is followed by the event handling that paints what it changed.
void WindowTick(benchmark::State& state, bool running) {
    tarn::bench::App();
    tarn::Model m;
    tarn::TMainForm form(m, std::make_unique<tarn::SilentSound>());
    tarn::CreateAppWindows(m, form);
    form.show();
    QCoreApplication::processEvents();
    form.PauseAnimation();
    if (!running) form.StopMotion();
    for (int i = 0; i < 10; ++i) {  // the first frames settle the read-outs
        form.Timer1Timer();
        QCoreApplication::processEvents();
    }
    for (auto _ : state) {
        form.Timer1Timer();
        QCoreApplication::processEvents();
    }
}

void BM_WindowTickRunning(benchmark::State& s) { WindowTick(s, true); }
void BM_WindowTickStopped(benchmark::State& s) { WindowTick(s, false); }

}  // namespace

BENCHMARK(BM_TickStartView)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickStartViewSteam)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickPreset5Steam)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WindowTickRunning)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
BENCHMARK(BM_WindowTickStopped)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();
