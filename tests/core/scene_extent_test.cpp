// The gear's extent and the view that fits it, with numbers worked by hand.
#include <gtest/gtest.h>

#include "core/scene/extent.h"
#include "core/scene/mainscene.h"
#include "started_model.h"

namespace tarn {
namespace {

TEST(GearExtent, TheWheelBoundsTheGearBelowAndBehindAndTheUsersShapesCount) {
    Model m = test::StartedModel();
    const Model before = m;
    // The driver wheel (diameter 8 about the axle at the origin) is the lowest and rearmost
    // thing drawn: the extent starts 4 units behind and below the axle.
    const ModelBox box = GearExtent(m);
    ASSERT_FALSE(box.empty);
    EXPECT_NEAR(box.left, -4.0, 1e-3);
    EXPECT_NEAR(box.bottom, -4.0, 1e-3);
    EXPECT_GT(box.right, 4.0);  // the cylinder lies ahead of the wheel
    EXPECT_GT(box.top, 4.0);    // the link and the reverse arm stand above it
    EXPECT_EQ(m.motion.CrankAngle, before.motion.CrankAngle);
    EXPECT_EQ(m.pivots.PivotX, before.pivots.PivotX);

    // A user's circle of radius 2 about (40, -1) and a user's line up to (0, 20) widen it.
    m.overlay.LineType[0] = 1;
    m.overlay.LineRef[0] = 0;
    m.overlay.LineH1[1] = 40;
    m.overlay.LineV1[1] = -1;
    m.overlay.LineH2[1] = 2;
    m.overlay.LineType[1] = 0;
    m.overlay.LineRef[1] = 0;
    m.overlay.LineH1[2] = 1;
    m.overlay.LineV1[2] = 1;
    m.overlay.LineH2[2] = 0;
    m.overlay.LineV2[2] = 20;
    const ModelBox wide = GearExtent(m);
    EXPECT_NEAR(wide.right, 42.0, 1e-3);
    EXPECT_NEAR(wide.top, 20.0, 1e-3);
    EXPECT_NEAR(wide.left, -4.0, 1e-3);
}

TEST(FitView, CentresTheBoxByItsTighterSideInsideTheMargins) {
    ModelBox box;
    box.empty = false;
    box.left = -4;
    box.right = 12;
    box.bottom = -4;
    box.top = 4;
    // Room 580 x 280 for a box 16 x 8: 36.25 pixels a unit would fit across, 35 fits the height.
    const auto fit = FitView(box, {0, 100, 600, 300}, 10, 27);
    ASSERT_TRUE(fit.has_value());
    EXPECT_FLOAT_EQ(fit->Zoom, 35.0f);
    // The area's middle pixel is (299.5, 249.5); the box's middle, (4, 0), goes there.
    EXPECT_FLOAT_EQ(fit->OffsetX, 299.5f - 35 * 4);
    EXPECT_FLOAT_EQ(fit->OffsetY, 249.5f);
    EXPECT_FALSE(FitView(ModelBox{}, {0, 0, 600, 300}, 10, 27).has_value());
    EXPECT_FALSE(FitView(box, {0, 0, 20, 300}, 10, 27).has_value());
    // The zoom bar's limits hold.
    box.right = box.left + 1e-6L;
    box.top = box.bottom + 1e-6L;
    EXPECT_FLOAT_EQ(FitView(box, {0, 0, 600, 300}, 10, 27)->Zoom, 3000.0f);
}

}  // namespace
}  // namespace tarn
