// The gear curve: it spans the reverser's range through every gear, agrees with the events table,
// and its points sit where the axes put them.
#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "core/model/recordingcanvas.h"
#include "core/plots/gearcurve.h"
#include "started_model.h"

using namespace tarn;

TEST(GearCurve, SpansTheRangeThroughEveryGearAndAgreesWithTheTable) {
    const Model m = test::StartedModel();
    const GearCurve g = ComputeGearCurve(m);
    ASSERT_GE(g.points.size(), 41u);
    EXPECT_EQ(g.points.front().revArmPos, GearRevArmPos(m, Gear::FullForward));
    EXPECT_EQ(g.points.back().revArmPos, GearRevArmPos(m, Gear::FullReverse));
    EXPECT_TRUE(std::is_sorted(g.points.begin(), g.points.end(),
                               [](const auto& a, const auto& b) { return a.offset < b.offset; }));
    for (Gear gear : kStandardGears) {
        const float pos = GearRevArmPos(m, gear);
        const auto it = std::find_if(g.points.begin(), g.points.end(),
                                     [&](const auto& p) { return p.revArmPos == pos; });
        ASSERT_NE(it, g.points.end()) << GearName(gear);
        const ValveEventsResult r = AnalyseValveEvents(m, pos);
        EXPECT_EQ(it->frontCutoff, r.front.cutoff ? r.front.cutoff->percent : -1);
    }
}

TEST(GearCurve, CutOffIsPlottedWhereTheAxesPutItAndTheReferenceIsDashed) {
    const Model m = test::StartedModel();
    const GearCurve g = ComputeGearCurve(m);
    // 500 x 300: the plot runs x 48..484 over offsets -1.8..+1.8 and y 268 (0 %)..40 (100 %).
    // Normal forward is 1.6 before mid gear: x = 48 + 0.2 / 3.6 * 436 = 72.2; its front cut-off
    // of 82.36 % (the crosshead's travel) stands at y = 268 - 0.8236 * 228 = 80.2.
    RecordingCanvas c;
    DrawGearCurve(c, 500, 300, g, nullptr, {});
    auto frontCutoffLines = [](const RecordingCanvas& rc) {
        std::vector<CanvasOp> out;
        for (const CanvasOp& op : rc.OfKind(CanvasOp::Kind::Line))
            if (op.colour == kGearCurveColours[0] && op.penWidth == 2) out.push_back(op);
        return out;
    };
    const auto solid = frontCutoffLines(c);
    EXPECT_TRUE(std::any_of(solid.begin(), solid.end(),
                            [](const CanvasOp& op) { return op.c[2] == 72 && op.c[3] == 80; }));
    // With a reference, its curve comes in dashes of 6 pixels (each end rounded to a pixel).
    RecordingCanvas withReference;
    DrawGearCurve(withReference, 500, 300, g, &g, {});
    const auto all = frontCutoffLines(withReference);
    ASSERT_GT(all.size(), 2 * solid.size());
    for (std::size_t i = 0; i + solid.size() + 1 < all.size(); ++i)  // the dashes come first
        EXPECT_LE(std::hypot(all[i].c[2] - all[i].c[0], all[i].c[3] - all[i].c[1]),
                  6.0 + std::sqrt(2.0));
}
