// View control and the step-angle bands.
#include <gtest/gtest.h>

#include "core/scene/motion.h"
#include "core/scene/view.h"

namespace tarn {
namespace {

struct ViewTest : ::testing::Test {
    Model m;
    BarHistory vert, horz, zoom;  // each bar's own history, as its window keeps it
    ViewTest() { StartUp(m); }
    // A bar change and the change with 0 that putting the bar back brings.
    void Click(void (*step)(Model&, BarHistory&, i32), BarHistory& bar, i32 p) {
        step(m, bar, p);
        step(m, bar, 0);
    }
};

TEST_F(ViewTest, OneZoomArrowClick) {
    Click(ZoomStep, zoom, 1);
    EXPECT_NEAR(m.view.Zoom, 27.027f, 1e-4);
    EXPECT_NEAR(m.view.OffsetX, 114.795f, 1e-3);
    EXPECT_NEAR(m.view.OffsetY, 270.03f, 1e-3);
    EXPECT_FLOAT_EQ(m.dyn.Increment, 0.0f);  // the follow-up step of 0
}

TEST_F(ViewTest, PanArrowAndTroughSteps) {
    Click(PanHorizontal, horz, 1);
    EXPECT_NEAR(m.view.OffsetX, 115.1f, 1e-4);
    Click(PanHorizontal, horz, 10);
    EXPECT_NEAR(m.view.OffsetX, 116.1f, 1e-4);
    Click(PanHorizontal, horz, -10);
    EXPECT_NEAR(m.view.OffsetX, 115.1f, 1e-4);
    Click(PanVertical, vert, 1);
    EXPECT_NEAR(m.view.OffsetY, 269.9f, 1e-4);
    EXPECT_FLOAT_EQ(m.view.ZoomBaseY, m.view.OffsetY);
}

TEST_F(ViewTest, ThumbDragStepsBySizeWithTheSignOfMotion) {
    BarHistory bar;
    RelativeStep(m.dyn.Increment, 37, bar, 10, 10);
    EXPECT_NEAR(m.dyn.Increment, 3.7f, 1e-6);
    EXPECT_EQ(bar.beforeLast, 0);
    EXPECT_EQ(bar.last, 37);
    RelativeStep(m.dyn.Increment, 0, bar, 10, 10);
    EXPECT_EQ(bar.beforeLast, 37);
    RelativeStep(m.dyn.Increment, 20, bar, 10, 10);  // positive but below the one before: backwards
    EXPECT_NEAR(m.dyn.Increment, -2.0f, 1e-6);
    RelativeStep(m.dyn.Increment, 0, bar, 1000, 25);
    RelativeStep(m.dyn.Increment, -25, bar, 1000, 25);  // a reference-point trough click
    EXPECT_NEAR(m.dyn.Increment, -0.025f, 1e-7);
}

TEST_F(ViewTest, ZoomClampsButKeepsTheUnclampedOffsets) {
    m.view.Zoom = 2990;
    m.view.OffsetX = 400;
    ZoomStep(m, zoom, 10);  // +1 % = 3019.9
    EXPECT_FLOAT_EQ(m.view.Zoom, 3000.0f);
    EXPECT_NEAR(m.view.OffsetX, (400 - 320) * 3019.9 / 2990 + 320, 1e-2);
    m.view.Zoom = 0.5f;
    ZoomStep(m, zoom, 0);
    ZoomStep(m, zoom, -200);  // -20 %
    EXPECT_FLOAT_EQ(m.view.Zoom, 0.5f);
    // A base of 0 leaves the offsets alone.
    m.view.Zoom = 0;
    m.view.OffsetX = 12;
    ZoomStep(m, zoom, 1);
    EXPECT_FLOAT_EQ(m.view.OffsetX, 12.0f);
    EXPECT_FLOAT_EQ(m.view.Zoom, 0.5f);
}

TEST_F(ViewTest, PresetsStoreWhenArmedAndRecall) {
    RecallPreset(m.view, 3, false);
    EXPECT_FLOAT_EQ(m.view.Zoom, 62);
    EXPECT_FLOAT_EQ(m.view.OffsetX, -150);
    EXPECT_FLOAT_EQ(m.view.OffsetY, 200);
    m.view.Zoom = 40;
    m.view.OffsetX = 1;
    m.view.OffsetY = 2;
    TakePresetView(m.view);
    RecallPreset(m.view, 3, true);
    m.view.Zoom = 99;
    RecallPreset(m.view, 3, false);
    EXPECT_FLOAT_EQ(m.view.Zoom, 40);
    EXPECT_FLOAT_EQ(m.view.OffsetY, 2);
    RecallPreset(m.view, 5, false);
    EXPECT_FLOAT_EQ(m.view.Zoom, 350);
}

TEST(GraphicZoom, FieldIsClamped) {
    EXPECT_FLOAT_EQ(GraphicZoomFromText("2500"), 2000.0f);
    EXPECT_FLOAT_EQ(GraphicZoomFromText("0.1"), 0.5f);
    EXPECT_FLOAT_EQ(GraphicZoomFromText(""), 0.5f);
    EXPECT_FLOAT_EQ(GraphicZoomFromText("12.5"), 12.5f);
}

TEST(StepBar, BandsAndTheirClickSizes) {
    EXPECT_FLOAT_EQ(StepBarLookup(0).step, 0.01f);
    EXPECT_FLOAT_EQ(StepBarLookup(704).step, 0.01f);
    EXPECT_FLOAT_EQ(StepBarLookup(705).step, 0.02f);
    EXPECT_FLOAT_EQ(StepBarLookup(8000).step, 1.0f);
    EXPECT_EQ(StepBarLookup(8000).smallChange, 100);
    EXPECT_FLOAT_EQ(StepBarLookup(12000).step, 10.0f);
    EXPECT_EQ(StepBarLookup(12000).largeChange, 4500);
    EXPECT_FLOAT_EQ(StepBarLookup(14408).step, 30.0f);
    EXPECT_FLOAT_EQ(StepBarLookup(14613).step, 45.0f);
    EXPECT_EQ(StepBarPosition(0.01f), 0);
    EXPECT_EQ(StepBarPosition(45), 14613);
    EXPECT_EQ(StepBarPosition(10), 12000);
}

}  // namespace
}  // namespace tarn
