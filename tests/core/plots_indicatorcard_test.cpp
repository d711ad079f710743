// The indicator cards: a point of known pressure and travel lands where the axes put it, gauge
// pressure above the atmospheric line, and the reference's cards come in dashes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/model/recordingcanvas.h"
#include "core/plots/indicatorcard.h"

using namespace tarn;

namespace {

constexpr double kPsi = 6894.757293168361, kAtmosphere = 101325.0;

// A card drawn by hand over a 4 in stroke: steam at 100 psi gauge to cut-off at 2 in, expanded
// to 50 psi at the end of the stroke, exhausted to the atmosphere and back.
EnginePerformance HandMadeCards() {
    EnginePerformance r;
    r.ok = true;
    const auto gauge = [](double psi) { return kAtmosphere + psi * kPsi; };
    r.front.card = {{0, gauge(100)}, {2, gauge(100)}, {4, gauge(50)}, {4, gauge(0)}, {0, gauge(0)}};
    r.rear.card = {{4, gauge(90)}, {2.5, gauge(90)}, {0, gauge(40)}, {0, gauge(0)}, {4, gauge(0)}};
    return r;
}

struct Frame {
    int left = 0, right = 0, top = 0, bottom = 0;
};

// The axes as drawn: the longest black level line is the bottom axis, the black upright line
// from its left end the left axis.
Frame FrameOf(const RecordingCanvas& c) {
    Frame f;
    int longest = 0;
    for (const CanvasOp& op : c.OfKind(CanvasOp::Kind::Line))
        if (op.colour == kBlack && op.c[1] == op.c[3] && op.c[2] - op.c[0] > longest) {
            longest = op.c[2] - op.c[0];
            f = {op.c[0], op.c[2] - 1, 0, op.c[1]};
        }
    f.top = f.bottom;
    for (const CanvasOp& op : c.OfKind(CanvasOp::Kind::Line))
        if (op.colour == kBlack && op.c[0] == f.left && op.c[2] == f.left && op.c[1] != op.c[3])
            f.top = std::min({f.top, op.c[1], op.c[3]});
    return f;
}

std::vector<CanvasOp> LinesIn(const RecordingCanvas& c, Rgb colour, int width) {
    std::vector<CanvasOp> out;
    for (const CanvasOp& op : c.OfKind(CanvasOp::Kind::Line))
        if (op.colour == colour && op.penWidth == width) out.push_back(op);
    return out;
}

}  // namespace

TEST(IndicatorCard, PlotsGaugePressureAgainstTravelWhereTheAxesPutIt) {
    IndicatorCards cards;
    cards.design = {{Gear::FullForward, HandMadeCards()}};
    cards.atmosphere = kAtmosphere;
    RecordingCanvas c;
    DrawIndicatorCards(c, 600, 400, cards);
    const Frame f = FrameOf(c);
    ASSERT_GT(f.right - f.left, 300);
    ASSERT_GT(f.bottom - f.top, 200);
    // The axes run 0..4 in and, with a little of the vacuum below the atmosphere and room above
    // the steam, -20..120 psi gauge in steps of 20: those numbers stand at the axes' ends.
    for (const char* t : {"0.0", "4.0", "-20", "0", "100", "120", "psi gauge"})
        EXPECT_NE(c.FindText(t), nullptr) << t;
    EXPECT_GT(c.FindText("4.0")->c[0], c.FindText("0.0")->c[0]);
    EXPECT_LT(c.FindText("120")->c[1], c.FindText("0")->c[1]);
    EXPECT_LT(c.FindText("0")->c[1], c.FindText("-20")->c[1]);
    const auto y = [&](double psi) { return f.bottom - (psi + 20) / 140 * (f.bottom - f.top); };
    // Cut-off, 2 in along at 100 psi gauge: half way across, five sevenths of the way up.
    const double x = f.left + 0.5 * (f.right - f.left);
    const std::vector<CanvasOp> front = LinesIn(c, kCardFrontColour, 2);
    ASSERT_FALSE(front.empty());
    EXPECT_TRUE(std::any_of(front.begin(), front.end(),
                            [&](const CanvasOp& op) {
                                return std::fabs(op.c[2] - x) <= 0.5 &&
                                       std::fabs(op.c[3] - y(100)) <= 0.5;
                            }))
        << "expected a front line ending at " << x << "," << y(100);
    // The atmospheric line stands at 0 psi gauge, a seventh of the way up, and the exhaust at
    // atmospheric pressure runs along it from the end of the stroke: the card is of gauge
    // pressure, not absolute.
    const std::vector<CanvasOp> atmosphere = LinesIn(c, kAtmosphereColour, 1);
    ASSERT_EQ(atmosphere.size(), 1u);
    const int atmY = atmosphere[0].c[1];
    EXPECT_LE(std::fabs(atmY - y(0)), 0.5);
    EXPECT_TRUE(std::any_of(front.begin(), front.end(), [&](const CanvasOp& op) {
        return op.c[1] == atmY && op.c[3] == atmY && op.c[0] == f.right;
    }));
    // The rear end's expansion ends 40 psi up at the front dead centre.
    const std::vector<CanvasOp> rear = LinesIn(c, kCardRearColour, 2);
    EXPECT_TRUE(std::any_of(rear.begin(), rear.end(), [&](const CanvasOp& op) {
        return op.c[2] == f.left && std::fabs(op.c[3] - y(40)) <= 0.5;
    }));

    // With a reference, its cards come in dashes of 6 pixels at width 1, the design's as before.
    cards.reference = cards.design;
    RecordingCanvas withReference;
    DrawIndicatorCards(withReference, 600, 400, cards);
    EXPECT_EQ(LinesIn(withReference, kCardFrontColour, 2).size(), front.size());
    const std::vector<CanvasOp> dashes = LinesIn(withReference, kCardFrontColour, 1);
    ASSERT_GT(dashes.size(), 20u);
    for (const CanvasOp& op : dashes)
        EXPECT_LE(std::hypot(op.c[2] - op.c[0], op.c[3] - op.c[1]), 6.0 + std::sqrt(2.0));
    EXPECT_NE(withReference.FindText("reference"), nullptr);
}

TEST(IndicatorCard, SaysWhyWhenThereIsNothingToDraw) {
    IndicatorCards cards;
    EnginePerformance failed;
    failed.problem = "chest pressure must be above 0 psi";
    cards.design = {{Gear::NormalForward, failed}};
    RecordingCanvas c;
    DrawIndicatorCards(c, 600, 400, cards);
    EXPECT_NE(c.FindText("No indicator cards: chest pressure must be above 0 psi"), nullptr);

    PerformanceCurves curves;
    curves.revPerMin = {100, 200};
    for (auto& gear : curves.bySpeed) gear = {failed, failed};
    RecordingCanvas curvesCanvas;
    DrawPerformanceCurves(curvesCanvas, 900, 300, curves, nullptr, PressureUnit::Bar,
                          LengthUnit::Millimetre);
    EXPECT_NE(curvesCanvas.FindText("No performance curves: chest pressure must be above 0 psi"),
              nullptr);
}
