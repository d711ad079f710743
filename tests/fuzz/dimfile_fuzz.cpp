// Fuzz target from a dimension file to the picture: decode the bytes as a design, solve it, run
// two ticks of the main picture with steam, reference points and pivot-data rows, and analyse
// the valve events once. Built with libFuzzer (and the address and undefined-behaviour
// sanitizers) by `make fuzz`; the normal build replays the seed corpus through the same function.
//
// Besides crashes and sanitizer reports it traps on two things a picture must never do: hand the
// canvas a co-ordinate near the 32-bit limit, or print an infinity or NaN.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string_view>

#include "core/analysis/valveevents.h"
#include "core/io/dimensionfile.h"
#include "core/model/canvas.h"
#include "core/model/model.h"
#include "core/model/solver.h"
#include "core/scene/mainscene.h"

namespace {

using namespace tarn;

// Far outside any window, and still eight times inside the 32-bit range.
constexpr long long kFarOut = 1LL << 28;

[[noreturn]] void Fail(const char* what, long long value) {
    std::fprintf(stderr, "dimfile_fuzz: %s (%lld)\n", what, value);
    std::abort();
}

// A canvas that draws nothing and checks every call.
class CheckingCanvas final : public Canvas {
public:
    void Ellipse(int x1, int y1, int x2, int y2) override { Check({x1, y1, x2, y2}); }
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override {
        Check({x1, y1, x2, y2, x3, y3, x4, y4});
    }
    void TextOut(int x, int y, std::string_view text) override {
        Check({x, y});
        if (text.find("Inf") != std::string_view::npos ||
            text.find("NaN") != std::string_view::npos)
            Fail("a text shows a number that is not finite", static_cast<long long>(text.size()));
    }
    void SetPixel(int x, int y, Rgb) override { Check({x, y}); }
    void Clear(Rgb) override {}

protected:
    void DrawLine(int x1, int y1, int x2, int y2) override { Check({x1, y1, x2, y2}); }

private:
    static void Check(std::initializer_list<int> coords) {
        for (int v : coords)
            if (v > kFarOut || v < -kFarOut) Fail("a co-ordinate beyond the canvas range", v);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Model m;
    StartUp(m);
    if (!DecodeDimensionFile(std::span<const std::uint8_t>(data, size), "input", m).empty())
        return 0;
    SolveLinkage(m);
    SolveValveEvents(m);

    // Every measuring layer on: both reference points, six data rows on linkage pivots.
    m.display.ShowSteam = true;
    m.display.ScreenData = true;
    m.display.RefPointsOn = true;
    m.display.PivotDataOn = true;
    const int pivots[7] = {0, 2, 3, 4, 7, 11, 18};
    for (int k = 1; k <= 6; ++k) {
        m.refs.SlotUsed[static_cast<std::size_t>(k)] = 1;
        m.refs.DataPivots[static_cast<std::size_t>(k)] = static_cast<f32>(pivots[k]);
    }
    m.pivots.PivotX[19] = m.pivots.PivotX[7];
    m.pivots.PivotY[19] = m.pivots.PivotY[7];
    m.pivots.PivotX[20] = m.pivots.PivotX[3];
    m.pivots.PivotY[20] = m.pivots.PivotY[3];

    QuietHost host;
    CheckingCanvas canvas;
    MainScene scene(m, host);
    scene.Tick(canvas);
    scene.Tick(canvas);

    const ValveEventsResult r = AnalyseValveEvents(m, m.motion.RevArmPos);
    for (const EndEvents* end : {&r.front, &r.rear})
        for (const auto* e : {&end->admission, &end->cutoff, &end->release, &end->compression})
            if (*e && !((*e)->crankAngle >= 0 && (*e)->crankAngle < 360))
                Fail("an event angle outside 0..360", static_cast<long long>((*e)->crankAngle));
    return 0;
}
