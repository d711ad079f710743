// Reference points and pivot-data rows: where clicks place points, the nudging bars, centring,
// the pivot pick and row choice, the dialog's write-back, and the crosses and rows drawn.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "core/model/model.h"
#include "core/model/numfmt.h"
#include "core/model/recordingcanvas.h"
#include "core/model/solver.h"
#include "core/scene/refpoints.h"
#include "started_model.h"

using namespace tarn;

namespace {

void MapToScreen(Model& m) {
    for (int i = 0; i <= 20; ++i) {
        m.pivots.ScreenX[i] =
            Round(static_cast<long double>(m.pivots.PivotX[i]) * m.view.Zoom + m.view.OffsetX);
        m.pivots.ScreenY[i] =
            Round(-static_cast<long double>(m.pivots.PivotY[i]) * m.view.Zoom + m.view.OffsetY);
    }
}

bool HasText(const RecordingCanvas& c, int x, int y, const std::string& text, Rgb colour = kBlack) {
    for (const auto& op : c.Ops())
        if (op.kind == CanvasOp::Kind::Text && op.c[0] == x && op.c[1] == y && op.text == text &&
            op.colour == colour)
            return true;
    return false;
}

bool HasLine(const RecordingCanvas& c, int x1, int y1, int x2, int y2) {
    for (const auto& op : c.Ops())
        if (op.kind == CanvasOp::Kind::Line && op.c[0] == x1 && op.c[1] == y1 && op.c[2] == x2 &&
            op.c[3] == y2)
            return true;
    return false;
}

TEST(RefPointMouse, ClicksOnThePicturePlaceThePoints) {
    Model m = test::StartedWithRefPoints();
    EXPECT_EQ(PlaceReferencePoint(m, 142, 243, MouseButton::Left), 1);
    EXPECT_EQ(m.pivots.PivotX[19], 1.0f);
    EXPECT_EQ(m.pivots.PivotY[19], 1.0f);
    EXPECT_EQ(PlaceReferencePoint(m, 115, 270, MouseButton::Left), 1);
    EXPECT_EQ(m.pivots.PivotX[19], 0.0f);
    EXPECT_EQ(m.pivots.PivotY[19], 0.0f);
    // The right button places RP2.
    EXPECT_EQ(PlaceReferencePoint(m, 169, 216, MouseButton::Right), 2);
    EXPECT_EQ(m.pivots.PivotX[20], 2.0f);
    EXPECT_EQ(m.pivots.PivotY[20], 2.0f);
    EXPECT_EQ(m.pivots.PivotX[19], 0.0f);
    // The control strip is not the picture.
    EXPECT_EQ(PlaceReferencePoint(m, 100, 100, MouseButton::Left), 0);
    EXPECT_EQ(m.pivots.PivotX[19], 0.0f);
    EXPECT_EQ(PlaceReferencePoint(m, 300, 100, MouseButton::Left), 1);
    EXPECT_NE(m.pivots.PivotX[19], 0.0f);
    // With the mode off nothing moves.
    m.display.RefPointsOn = false;
    EXPECT_EQ(PlaceReferencePoint(m, 142, 243, MouseButton::Left), 0);
}

TEST(RefPointMouse, PictureBoundary) {
    EXPECT_FALSE(OnPicture(0, 120));
    EXPECT_TRUE(OnPicture(0, 121));
    EXPECT_FALSE(OnPicture(247, 100));
    EXPECT_TRUE(OnPicture(248, 68));
    EXPECT_FALSE(OnPicture(248, 67));
}

TEST(RefPointBars, ArrowAndTroughStepsMoveTheirCoordinate) {
    Model m = test::StartedWithRefPoints();
    BarHistory ref1Vert, ref2Horz;
    NudgeReferencePoint(m, RefBar::Ref1Vert, ref1Vert, 1);  // arrow
    NudgeReferencePoint(m, RefBar::Ref1Vert, ref1Vert, 0);  // the bar put back to 0
    EXPECT_FLOAT_EQ(m.pivots.PivotY[19], 0.001f);
    NudgeReferencePoint(m, RefBar::Ref1Vert, ref1Vert, 25);  // trough
    NudgeReferencePoint(m, RefBar::Ref1Vert, ref1Vert, 0);
    EXPECT_FLOAT_EQ(m.pivots.PivotY[19], 0.026f);
    NudgeReferencePoint(m, RefBar::Ref2Horz, ref2Horz, -1);
    NudgeReferencePoint(m, RefBar::Ref2Horz, ref2Horz, 0);
    EXPECT_FLOAT_EQ(m.pivots.PivotX[20], -0.001f);
    EXPECT_EQ(m.pivots.PivotX[19], 0.0f);
    EXPECT_EQ(m.pivots.PivotY[20], 0.0f);
    // The bars share Increment with the other relative bars.
    EXPECT_EQ(m.dyn.Increment, 0.0f);
    ZeroReferencePoint(m, 1);
    EXPECT_EQ(m.pivots.PivotY[19], 0.0f);
    EXPECT_EQ(m.pivots.PivotX[20], -0.001f);
}

TEST(RefPointCentre, PutsThePointAtTheViewCentreAndGivesThePanBars) {
    Model m = test::StartedWithRefPoints();
    m.pivots.PivotX[19] = 1;
    m.pivots.PivotY[19] = 1;
    const PanBarPositions bars = CentreOnReferencePoint(m, 1);
    EXPECT_EQ(m.view.OffsetX, 293.0f);
    EXPECT_EQ(m.view.OffsetY, 267.0f);
    EXPECT_EQ(bars.horz, Round(-((293.0L - 320 + 320 - 115) * 100) / 115));
    EXPECT_EQ(bars.horz, -155);
    EXPECT_EQ(bars.vert, -2);
    // Far off, the bars stop at their ends; a zero zoom cannot reach here but must not crash.
    m.pivots.PivotX[20] = -1000;
    m.pivots.PivotY[20] = 1000;
    const PanBarPositions far = CentreOnReferencePoint(m, 2);
    EXPECT_EQ(far.horz, -500);
    EXPECT_EQ(far.vert, 500);
}

TEST(PivotSearch, LowerNumberWinsATieAndTablesAreNeverLeft) {
    Model m = test::StartedWithRefPoints();
    for (int i = 0; i < kPivotCount; ++i) {
        m.pivots.PivotX[i] = 500;
        m.pivots.PivotY[i] = 500;
    }
    m.pivots.PivotX[7] = 1;
    m.pivots.PivotX[5] = -1;
    EXPECT_EQ(NearestPivot(m, 0, 0, 1, 18, false), 5);
    // The reference points are skipped when asked, even when they lie on the spot.
    m.pivots.PivotX[19] = m.pivots.PivotY[19] = 0;
    EXPECT_EQ(NearestPivot(m, 0, 0, 1, 26, true), 5);
    EXPECT_EQ(NearestPivot(m, 0, 0, 1, 26, false), 19);
    // Ranges beyond the tables are cut to them.
    EXPECT_EQ(NearestPivot(m, 0, 0, -5, 400, false), 19);
    // Nothing within 10000, or nothing finite: no pivot.
    EXPECT_EQ(NearestPivot(m, 20000, 0, 1, 18, false), -1);
    EXPECT_EQ(NearestPivot(m, std::numeric_limits<float>::quiet_NaN(), 0, 1, 18, false), -1);
}

TEST(PivotDataRows, ChooseARowThenPickItsPivot) {
    Model m = test::StartedWithRefPoints();
    m.display.PivotDataOn = true;
    m.motion.CrankAngle = 90;
    SolveLinkage(m);
    // Row 1's number: 152 < y < 161 at x below 20.
    PickOrChooseDataRow(m, 5, 152, MouseButton::Left);
    EXPECT_FALSE(m.refs.PivotPickArmed);
    PickOrChooseDataRow(m, 20, 155, MouseButton::Left);
    EXPECT_FALSE(m.refs.PivotPickArmed);
    PickOrChooseDataRow(m, 5, 155, MouseButton::Right);
    EXPECT_FALSE(m.refs.PivotPickArmed);
    PickOrChooseDataRow(m, 5, 163, MouseButton::Left);
    EXPECT_TRUE(m.refs.PivotPickArmed);
    EXPECT_EQ(m.refs.PickSlot, 2);
    EXPECT_EQ(m.refs.SlotUsed[2], 1);
    // A click near the crank pin binds row 2 to pivot 2 and moves RP1 there.
    const int x =
        Round(static_cast<long double>(m.pivots.PivotX[2]) * m.view.Zoom + m.view.OffsetX) + 1;
    const int y =
        Round(-static_cast<long double>(m.pivots.PivotY[2]) * m.view.Zoom + m.view.OffsetY);
    PickOrChooseDataRow(m, x, y, MouseButton::Left);
    EXPECT_FALSE(m.refs.PivotPickArmed);
    EXPECT_EQ(m.refs.DataPivots[2], 2.0f);
    EXPECT_NEAR(m.pivots.PivotX[19], m.pivots.PivotX[2], 0.05);
    // A pick that lies on a row number also arms that row.
    m.refs.PivotPickArmed = true;
    m.refs.PickSlot = 3;
    PickOrChooseDataRow(m, 5, 155, MouseButton::Left);
    EXPECT_TRUE(m.refs.PivotPickArmed);
    EXPECT_EQ(m.refs.PickSlot, 1);
    EXPECT_GE(m.refs.DataPivots[3], 1.0f);
    EXPECT_LE(m.refs.DataPivots[3], 18.0f);
}

TEST(PivotDataRows, APickThatFindsNothingKeepsTheRow) {
    Model m = test::StartedWithRefPoints();
    m.display.PivotDataOn = true;
    m.refs.DataPivots[4] = 7;
    m.refs.PickSlot = 4;
    m.refs.PivotPickArmed = true;
    m.view.Zoom = 0.5f;  // a click far out in model units
    m.view.OffsetX = -100000;
    PickOrChooseDataRow(m, 600, 300, MouseButton::Left);
    EXPECT_FALSE(m.refs.PivotPickArmed);
    EXPECT_EQ(m.refs.DataPivots[4], 7.0f);
    // Only pivots 1..18 are ever picked: RP2 on the spot does not count.
    m = test::StartedWithRefPoints();
    m.display.PivotDataOn = true;
    m.refs.PickSlot = 1;
    m.refs.PivotPickArmed = true;
    m.pivots.PivotX[20] = 3.0f;
    m.pivots.PivotY[20] = 5.0f;
    PickOrChooseDataRow(m, 115 + 81, 270 - 135, MouseButton::Left);
    EXPECT_NE(m.refs.DataPivots[1], 20.0f);
    EXPECT_NE(m.refs.DataPivots[1], 0.0f);
}

TEST(PivotDataRows, DrawnRowsAndTheDistanceOfAPair) {
    Model m = test::StartedWithRefPoints();
    m.display.PivotDataOn = true;
    m.motion.CrankAngle = 30;
    SolveLinkage(m);
    m.refs.SlotUsed[1] = m.refs.SlotUsed[2] = 1;
    m.refs.DataPivots[1] = 2;
    m.refs.DataPivots[2] = 3;
    RecordingCanvas c;
    DrawPivotDataRows(m, c);
    EXPECT_TRUE(HasText(c, 1, 128, "    Pivot Data"));
    EXPECT_TRUE(HasText(c, 1, 138, "No.  Vert     Horz"));
    for (int k = 1; k <= 6; ++k)
        EXPECT_TRUE(HasText(c, 3, 140 + 10 * k, std::to_string(k), kRed)) << k;
    EXPECT_TRUE(HasText(c, 12, 150, Str(m.pivots.PivotY[2], 7, 3)));
    EXPECT_TRUE(HasText(c, 50, 160, Str(m.pivots.PivotX[3], 7, 3)));
    const long double dx = static_cast<long double>(m.pivots.PivotX[2]) - m.pivots.PivotX[3];
    const long double dy = static_cast<long double>(m.pivots.PivotY[2]) - m.pivots.PivotY[3];
    EXPECT_TRUE(HasText(c, 90, 155, Str(std::sqrt(dx * dx + dy * dy), 7, 3)));
    // The main rod's length between its ends, crank pin to crosshead.
    EXPECT_NEAR(std::sqrt(dx * dx + dy * dy), 6.207 + 2.793, 0.01);
    // The row number beside the pivot, unscaled; the font is black again at the end.
    EXPECT_TRUE(HasText(c, Round(static_cast<long double>(m.pivots.PivotX[2]) * 27 + 115 + 4),
                        Round(-static_cast<long double>(m.pivots.PivotY[2]) * 27 + 270 - 12), "1",
                        kRed));
    EXPECT_EQ(c.FontColor(), kBlack);
    // Unbound rows show their number only; an unbound pair shows no distance.
    EXPECT_EQ(c.OfKind(CanvasOp::Kind::Text).size(), 2u + 6u + 2u * 3u + 1u);
}

TEST(RefPointDrawing, CrossesReadoutsAndDifferences) {
    Model m = test::StartedWithRefPoints();
    m.pivots.PivotX[19] = 1;
    m.pivots.PivotY[19] = 2;
    m.pivots.PivotX[20] = 4;
    m.pivots.PivotY[20] = 6;
    MapToScreen(m);
    RecordingCanvas c;
    c.SetPenColor(kGreen);  // the colour the overlay left
    DrawReferencePoints(m, c);
    const int x1 = 115 + 27, y1 = 270 - 54, x2 = 115 + 108, y2 = 270 - 162;
    EXPECT_TRUE(HasLine(c, x2, y2 - 10, x2, y2 + 10));
    EXPECT_TRUE(HasLine(c, x2 - 10, y2, x2 + 10, y2));
    EXPECT_TRUE(HasLine(c, x1, y1 - 10, x1, y1 + 10));
    for (const auto& op : c.OfKind(CanvasOp::Kind::Line)) EXPECT_EQ(op.colour, kGreen);
    EXPECT_TRUE(HasText(c, 143, 71, "Pt1V  2.000"));
    EXPECT_TRUE(HasText(c, 143, 83, "Pt1H  1.000"));
    EXPECT_TRUE(HasText(c, 143, 95, "Pt2V  6.000"));
    EXPECT_TRUE(HasText(c, 143, 107, "Pt2H  4.000"));
    EXPECT_TRUE(HasText(c, x1 + 3, y1 - 17, "1"));
    EXPECT_TRUE(HasText(c, x2 + 3, y2 - 17, "2"));
    EXPECT_TRUE(HasText(c, 210, 71, "-4.000"));
    EXPECT_TRUE(HasText(c, 210, 83, "-3.000"));
    EXPECT_TRUE(HasText(c, 207, 95, "Pt1-Pt2"));
    EXPECT_TRUE(HasText(c, 209, 107, " 5.000"));
    // The large layout scales the read-outs, not the labels at the crosses.
    m.display.FontScaleX = 1.27f;
    m.display.FontScaleY = 1.22f;
    c.Reset();
    DrawReferencePoints(m, c);
    EXPECT_TRUE(HasText(c, 182, 87, "Pt1V  2.000"));
    EXPECT_TRUE(HasText(c, x1 + 3, y1 - 17, "1"));
}

TEST(RefPointDialog, OkWritesOnlyTheEditedFields) {
    Model m = test::StartedWithRefPoints();
    m.pivots.PivotX[19] = 0.12345f;  // placed by the mouse, finer than the field shows
    m.pivots.PivotY[19] = 1234567.5f;
    const auto texts = RefPointFieldTexts(m);
    EXPECT_EQ(texts[0], "1234567.50");
    EXPECT_EQ(texts[1], "0.123");
    EXPECT_EQ(texts[2], "0.000");
    auto enable = ApplyRefPointFields(m, {std::nullopt, std::nullopt, std::nullopt, std::nullopt});
    EXPECT_EQ(m.pivots.PivotX[19], 0.12345f);
    EXPECT_EQ(m.pivots.PivotY[19], 1234567.5f);
    EXPECT_TRUE(enable[0]);
    EXPECT_FALSE(enable[1]);
    enable = ApplyRefPointFields(
        m, {std::string("-2.5"), std::nullopt, std::nullopt, std::string("1.23")});
    EXPECT_EQ(m.pivots.PivotY[19], -2.5f);
    EXPECT_EQ(m.pivots.PivotX[19], 0.12345f);
    EXPECT_EQ(m.pivots.PivotX[20], 1.23f);
    EXPECT_TRUE(enable[1]);
}

}  // namespace
