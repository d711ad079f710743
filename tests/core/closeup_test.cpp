// The dimension close-up: forced view, blink, label, the end after 1000 frames or a click,
// the saved view and which dialog closes and reopens.
#include <gtest/gtest.h>

#include "core/model/dimensions.h"
#include "core/model/model.h"
#include "core/model/recordingcanvas.h"
#include "core/model/solver.h"
#include "core/scene/closeup.h"
#include "core/scene/mainscene.h"

using namespace tarn;

namespace {

Model Started() {
    Model m;
    StartUp(m);
    SolveLinkage(m);
    SolveValveEvents(m);
    MapPivotsToScreen(m);
    UpdateCylinderPoints(m);
    UpdatePistonPoints(m);
    return m;
}

// The thick line of the frame (pen width 3), as drawn.
std::vector<CanvasOp> ThickLines(const RecordingCanvas& c) {
    std::vector<CanvasOp> out;
    for (const auto& op : c.OfKind(CanvasOp::Kind::Line))
        if (op.penWidth == 3) out.push_back(op);
    return out;
}

}  // namespace

TEST(Closeup, StrokeZoomsToThirtyOrFifteenWithFactorFifteen) {
    Model m = Started();
    m.closeup.GraphicPosId = 2;
    RecordingCanvas c;
    const CloseupActions a = DrawDimensionCloseup(m, c);
    EXPECT_EQ(m.view.Zoom, 30.0f);
    EXPECT_EQ(m.view.OffsetX, 290.0f);
    EXPECT_EQ(m.view.OffsetY, 212.0f);
    EXPECT_TRUE(a.closeFrameDialog);
    EXPECT_FALSE(a.closeCylDialog);
    EXPECT_FALSE(a.reopenFrameDialog);
    const CanvasOp* label = c.FindText("Stroke");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->c[0], 30);
    EXPECT_EQ(label->c[1], 75);
    EXPECT_EQ(label->font.points, 14);
    // The line from the crank pin through the axle to the opposite side, in the new view.
    const auto lines = ThickLines(c);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].c[0], m.pivots.ScreenX[2]);
    EXPECT_EQ(lines[0].c[2], ScreenXOf(m, 2.0L * m.pivots.PivotX[1] - m.pivots.PivotX[2]));

    Model f = Started();
    f.closeup.GraphicZoomFactor = 15;
    f.closeup.GraphicPosId = 2;
    DrawDimensionCloseup(f, c);
    EXPECT_EQ(f.view.Zoom, 15.0f);
}

TEST(Closeup, OnlyTheLineBlinksThreeFramesRedThreeBlack) {
    Model m = Started();
    m.closeup.GraphicPosId = 6;
    for (int frame = 1; frame <= 12; ++frame) {
        RecordingCanvas c;
        c.SetFontColor(kRed);  // whatever the read-outs left: the name is black
        DrawDimensionCloseup(m, c);
        const auto lines = ThickLines(c);
        ASSERT_EQ(lines.size(), 1u);
        const bool red = ((frame - 1) / 3) % 2 == 0;
        EXPECT_EQ(lines[0].colour, red ? kRed : kBlack) << "frame " << frame;
        EXPECT_EQ(c.FindText("Link Radius")->colour, kBlack);
    }
}

TEST(Closeup, TheViewComesBackAfterAThousandFramesAndTheDialogReopens) {
    Model m = Started();
    m.view.Zoom = 44;
    m.view.OffsetX = 10;
    m.view.OffsetY = 20;
    m.closeup.GraphicPosId = 7;
    RecordingCanvas c;
    CloseupActions a;
    for (int frame = 1; frame <= 1000; ++frame) {
        a = DrawDimensionCloseup(m, c);
        c.Reset();
        ASSERT_FALSE(a.reopenFrameDialog);
        m.view.Zoom = 99;  // a zoom bar meanwhile has no lasting effect
    }
    EXPECT_EQ(m.closeup.GraphicPosId, 7);
    a = DrawDimensionCloseup(m, c);
    EXPECT_TRUE(a.reopenFrameDialog);
    EXPECT_TRUE(a.defaultCursor);
    EXPECT_EQ(m.closeup.GraphicPosId, 0);
    EXPECT_EQ(m.closeup.GraphicPosFrames, 0);
    EXPECT_EQ(m.view.Zoom, 44.0f);
    EXPECT_EQ(m.view.OffsetX, 10.0f);
    EXPECT_EQ(m.view.OffsetY, 20.0f);
}

TEST(Closeup, AClickEndsItAtTheNextFrameAndTheNextCloseUpSavesTheViewAnew) {
    Model m = Started();
    m.closeup.GraphicPosId = 103;
    RecordingCanvas c;
    CloseupActions a = DrawDimensionCloseup(m, c);
    EXPECT_TRUE(a.closeCylDialog);
    EXPECT_EQ(m.view.Zoom, 55.0f);
    m.closeup.GraphicPosFrames = 1005;  // the main window's mouse-down
    a = DrawDimensionCloseup(m, c);
    EXPECT_TRUE(a.reopenCylDialog);
    EXPECT_FALSE(a.reopenFrameDialog);
    EXPECT_EQ(m.view.Zoom, 27.0f);
    EXPECT_EQ(m.view.OffsetX, 115.0f);
    m.view.Zoom = 62;
    m.closeup.GraphicPosId = 1;
    DrawDimensionCloseup(m, c);
    m.closeup.GraphicPosFrames = 1005;
    DrawDimensionCloseup(m, c);
    EXPECT_EQ(m.view.Zoom, 62.0f);
}

TEST(Closeup, TheGearLimitsShowBothHalvesInTurn) {
    Model m = Started();
    m.closeup.GraphicPosId = 17;
    RecordingCanvas c;
    DrawDimensionCloseup(m, c);
    const auto lines = ThickLines(c);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].colour, kRed);
    EXPECT_EQ(lines[1].colour, kBlack);
    const int y = m.pivots.ScreenY[18] + 5;
    EXPECT_EQ(lines[0].c[1], y);
    EXPECT_EQ(lines[0].c[0], ScreenXOf(m, static_cast<long double>(m.motion.RevArmPositions[0]) -
                                              m.design.RevArmToCentNorm));
    EXPECT_EQ(lines[0].c[2], ScreenXOf(m, m.motion.RevArmPositions[0]));
    EXPECT_EQ(lines[1].c[2], ScreenXOf(m, static_cast<long double>(m.motion.RevArmPositions[0]) +
                                              m.design.RevArmToCentNorm));
}

TEST(Closeup, EveryDimensionHasItsCloseUp) {
    for (const auto& d : Dimensions()) {
        Model m = Started();
        m.closeup.GraphicPosId = d.id;
        RecordingCanvas c;
        DrawDimensionCloseup(m, c);
        const CloseupView v = CloseupViewOf(d.id);
        EXPECT_FALSE(v.label.empty()) << d.id;
        EXPECT_NE(c.FindText(v.label), nullptr) << d.id;
        EXPECT_FALSE(ThickLines(c).empty()) << d.id;
        EXPECT_FLOAT_EQ(m.view.Zoom, v.k) << d.id;
        // The hourglass comes first, in black.
        const auto all = c.OfKind(CanvasOp::Kind::Line);
        ASSERT_FALSE(all.empty());
        EXPECT_EQ(all[0].colour, kBlack);
        EXPECT_EQ(all[0].penWidth, 2);
    }
}
