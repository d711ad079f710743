// The lines-and-circles tools: rows made in the documented order, the beeps for a wrong order,
// the pivot trip, the three-decimal row update, clearing, and the refresh after opening a file.
#include <cmath>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "core/model/model.h"
#include "core/model/numfmt.h"
#include "core/model/recordingcanvas.h"
#include "core/model/solver.h"
#include "core/overlay/drawlines.h"
#include "core/scene/mainscene.h"
#include "started_model.h"

using namespace tarn;

namespace {

void SetRefPoints(Model& m, float x1, float y1, float x2, float y2) {
    m.pivots.PivotX[19] = x1;
    m.pivots.PivotY[19] = y1;
    m.pivots.PivotX[20] = x2;
    m.pivots.PivotY[20] = y2;
}

enum { kLine = 0, kCircle = 1 };
enum { kBlackItem = 0, kRedItem = 1, kGreenItem = 2 };

TEST(DrawLines, FixedCircleFromTheTwoReferencePoints) {
    Model m = test::StartedWithRefPoints();
    SetRefPoints(m, 1, 2, 4, 6);
    DrawLinesLogic d(m);
    d.FormActivate();
    d.RowNumberClick(1);
    d.TypeClick(kCircle);
    d.ColourClick(kRedItem);
    EXPECT_FALSE(d.drawEnabled());
    d.RefClick(0);
    EXPECT_TRUE(d.drawEnabled());
    EXPECT_FALSE(d.closeRequested);
    EXPECT_FALSE(m.overlay.PivotPickPending);
    d.DrawCloseClick();
    EXPECT_TRUE(d.closeRequested);
    EXPECT_EQ(m.overlay.LineType[0], 1.0f);
    EXPECT_EQ(m.overlay.LineColor[0], 255.0f);
    EXPECT_EQ(m.overlay.LineRef[0], 0.0f);
    EXPECT_EQ(m.overlay.LineV1[1], 2.0f);
    EXPECT_EQ(m.overlay.LineH1[1], 1.0f);
    EXPECT_EQ(m.overlay.LineH2[1], 5.0f);
    const auto& row = d.row(1);
    EXPECT_EQ(row.type, "Circle");
    EXPECT_EQ(row.colour, "Red");
    EXPECT_EQ(row.ref, "0 , 0");
    EXPECT_EQ(row.fields[0], "  2.000");
    EXPECT_EQ(row.fields[1], "  1.000");
    EXPECT_EQ(row.fields[2], "");
    EXPECT_EQ(row.fields[3], "  5.000");
    // The next row is current, the groups are empty.
    EXPECT_EQ(m.overlay.LineIndex, 2);
    EXPECT_EQ(d.highlightedRow(), 2);
    EXPECT_EQ(d.typeChoice(), -1);
    EXPECT_FALSE(d.drawEnabled());
    EXPECT_EQ(d.beeps, 0);
}

TEST(DrawLines, RowUpdateStoresWhatTheFieldsShow) {
    Model m = test::StartedWithRefPoints();
    SetRefPoints(m, 1.23456f, -0.0004f, 2.9996f, 1000.12345f);
    DrawLinesLogic d(m);
    d.FormActivate();
    d.TypeClick(kLine);
    d.ColourClick(kBlackItem);
    d.RefClick(0);
    d.DrawCloseClick();
    EXPECT_EQ(m.overlay.LineH1[1], 1.235f);
    EXPECT_EQ(m.overlay.LineV1[1], 0.0f);  // "-0.000" reads back as zero
    EXPECT_EQ(m.overlay.LineH2[1], 3.0f);
    EXPECT_EQ(m.overlay.LineV2[1], 1000.123f);
    EXPECT_EQ(d.row(1).fields[3], "  3.000");
    EXPECT_EQ(d.row(1).fields[2], "1000.123");
}

TEST(DrawLines, LineTiedToTheCrankPinKeepsItsOffsets) {
    Model m = test::StartedWithRefPoints();
    m.motion.CrankAngle = 0;
    SolveLinkage(m);
    ASSERT_NEAR(m.pivots.PivotX[2], 1.5f, 1e-5);
    SetRefPoints(m, 2.0f, 0.5f, 3.0f, 1.0f);
    DrawLinesLogic d(m);
    d.FormActivate();
    d.RowNumberClick(3);
    d.TypeClick(kLine);
    d.ColourClick(kGreenItem);
    d.RefClick(1);
    // Off to the main window: the prompt names one pivot.
    EXPECT_TRUE(d.closeRequested);
    EXPECT_TRUE(m.overlay.PivotPickPending);
    EXPECT_EQ(m.overlay.PivotPickReference, 1);
    EXPECT_EQ(m.overlay.LineIndex, 3);
    // The user's left click moves RP1 next to the crank pin and reopens the dialog.
    m.pivots.PivotX[19] = 1.45f;
    m.pivots.PivotY[19] = 0.1f;
    EXPECT_TRUE(d.MouseReopens(MouseButton::Left));
    d.FormActivate();
    EXPECT_EQ(m.overlay.LinePivot1[3], 2.0f);
    EXPECT_EQ(m.overlay.LinePiv1X[3], m.pivots.PivotX[2]);
    d.DrawCloseClick();
    EXPECT_FALSE(m.overlay.PivotPickPending);
    EXPECT_EQ(m.overlay.LineIndex, 4);
    EXPECT_EQ(m.overlay.LineRef[2], 1.0f);
    EXPECT_EQ(m.overlay.LineColor[2], 32768.0f);
    // Offsets from the pivot as it stood at the pick, to three decimals.
    EXPECT_EQ(m.overlay.LineH1[3], 0.5f);
    EXPECT_EQ(m.overlay.LineV1[3], 0.5f);
    EXPECT_EQ(m.overlay.LineH2[3], 1.5f);
    EXPECT_EQ(m.overlay.LineV2[3], 1.0f);
    // The drawn ends are the live pivot plus fixed offsets: the line moves without turning.
    m.motion.CrankAngle = 90;
    SolveLinkage(m);
    const double dx =
        (m.pivots.PivotX[2] + m.overlay.LineH2[3]) - (m.pivots.PivotX[2] + m.overlay.LineH1[3]);
    const double dy =
        (m.pivots.PivotY[2] + m.overlay.LineV2[3]) - (m.pivots.PivotY[2] + m.overlay.LineV1[3]);
    EXPECT_DOUBLE_EQ(dx, 1.0);
    EXPECT_DOUBLE_EQ(dy, 0.5);
    // On the picture: at every crank angle the line is the same pixel vector from the pin.
    for (float angle : {0.0f, 90.0f, 200.0f}) {
        m.motion.CrankAngle = angle;
        SolveLinkage(m);
        RecordingCanvas c;
        DrawOverlay(m, c);
        const auto lines = c.OfKind(CanvasOp::Kind::Line);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].colour, kGreen);
        EXPECT_EQ(lines[0].c[0], ScreenXOf(m, static_cast<long double>(m.pivots.PivotX[2]) + 0.5L));
        EXPECT_EQ(lines[0].c[1], ScreenYOf(m, static_cast<long double>(m.pivots.PivotY[2]) + 0.5L));
        EXPECT_NEAR(lines[0].c[2] - lines[0].c[0], 27, 1);
        EXPECT_NEAR(lines[0].c[3] - lines[0].c[1], -13.5, 1);
    }
}

TEST(DrawLines, TwoPivotLineNeedsALeftThenARightClick) {
    Model m = test::StartedWithRefPoints();
    SolveLinkage(m);
    SetRefPoints(m, 1.0f, 1.0f, 2.0f, 2.0f);
    DrawLinesLogic d(m);
    d.FormActivate();
    d.TypeClick(kLine);
    d.ColourClick(kBlackItem);
    d.RefClick(3);
    EXPECT_TRUE(d.closeRequested);
    EXPECT_EQ(m.overlay.PivotPickReference, 3);
    EXPECT_FALSE(d.MouseReopens(MouseButton::Right));
    EXPECT_FALSE(d.MouseReopens(MouseButton::Left));
    // RP1 on pivot 3 (crosshead), RP2 on pivot 12 (anchor-link pivot).
    m.pivots.PivotX[19] = m.pivots.PivotX[3];
    m.pivots.PivotY[19] = m.pivots.PivotY[3];
    m.pivots.PivotX[20] = m.pivots.PivotX[12] + 0.01f;
    m.pivots.PivotY[20] = m.pivots.PivotY[12];
    EXPECT_TRUE(d.MouseReopens(MouseButton::Right));
    d.FormActivate();
    EXPECT_EQ(m.overlay.LinePivot1[1], 3.0f);
    EXPECT_EQ(m.overlay.LinePivot2[1], 12.0f);  // 12 and 13 coincide: the lower wins
    d.DrawCloseClick();
    EXPECT_EQ(m.overlay.LineV2[1], 3.677f);  // 2.0 - PivotY[12] (-1.677)
    EXPECT_EQ(m.overlay.LineH2[1], ParseField(RowFieldText(2.0f - m.pivots.PivotX[12])));
}

TEST(DrawLines, WrongOrderBeepsAndClears) {
    Model m = test::StartedWithRefPoints();
    DrawLinesLogic d(m);
    d.FormActivate();
    // Both reference points at the origin: the type closes the dialog with a beep.
    d.TypeClick(kLine);
    EXPECT_EQ(d.beeps, 1);
    EXPECT_TRUE(d.closeRequested);
    EXPECT_EQ(d.typeChoice(), -1);
    SetRefPoints(m, 1, 1, 2, 2);
    d.FormActivate();
    // Colour before type, reference before colour.
    d.ColourClick(kRedItem);
    EXPECT_EQ(d.beeps, 1);
    EXPECT_EQ(d.colourChoice(), -1);
    d.TypeClick(kCircle);
    d.RefClick(0);
    EXPECT_EQ(d.beeps, 2);
    EXPECT_EQ(d.refChoice(), -1);
    EXPECT_EQ(m.overlay.LineRef[0], -1.0f);
    // A circle cannot be tied to two pivots, nor to a pivot and the origin.
    for (int ref : {2, 3}) {
        d.TypeClick(kCircle);
        d.ColourClick(kRedItem);
        const int before = d.beeps;
        d.RefClick(ref);
        EXPECT_EQ(d.beeps, before + 1);
        EXPECT_FALSE(d.closeRequested);
        EXPECT_FALSE(m.overlay.PivotPickPending);
        EXPECT_EQ(d.row(1).type, "");
        EXPECT_EQ(d.row(1).ref, "");
        EXPECT_EQ(m.overlay.LineType[0], -1.0f);
        EXPECT_EQ(m.overlay.LineRef[0], -1.0f);
        EXPECT_EQ(d.typeChoice(), -1);
        EXPECT_FALSE(d.drawEnabled());
    }
}

TEST(DrawLines, ThirdFieldOfACircleRowIsBlocked) {
    Model m = test::StartedWithRefPoints();
    SetRefPoints(m, 1, 1, 2, 2);
    DrawLinesLogic d(m);
    d.FormActivate();
    d.RowNumberClick(5);
    EXPECT_FALSE(d.ThirdFieldBlocked(5));
    d.TypeClick(kCircle);
    EXPECT_TRUE(d.ThirdFieldBlocked(5));
    EXPECT_FALSE(d.ThirdFieldBlocked(4));
    d.TypeClick(kLine);
    EXPECT_FALSE(d.ThirdFieldBlocked(5));
}

TEST(DrawLines, PivotPicksPreferLowerNumbersAndSkipTheReferencePoints) {
    Model m = test::StartedWithRefPoints();
    for (int i = 0; i < kPivotCount; ++i) m.pivots.PivotX[i] = m.pivots.PivotY[i] = 100;
    m.pivots.PivotX[9] = 1.0f;
    m.pivots.PivotY[9] = 0.0f;
    m.pivots.PivotX[4] = -1.0f;
    m.pivots.PivotY[4] = 0.0f;
    SetRefPoints(m, 0, 0, 5, 5);
    DrawLinesLogic d(m);
    d.FormActivate();
    d.TypeClick(kLine);
    d.ColourClick(kBlackItem);
    d.RefClick(1);
    d.FormActivate();
    EXPECT_EQ(m.overlay.LinePivot1[1], 4.0f);
    // A pick that finds nothing keeps the row's pivot.
    m.pivots.PivotX[19] = std::numeric_limits<float>::quiet_NaN();
    d.FormActivate();
    EXPECT_EQ(m.overlay.LinePivot1[1], 4.0f);
    EXPECT_EQ(m.overlay.LinePiv1X[1], -1.0f);
}

TEST(DrawLines, LastRowStaysCurrentWithABeep) {
    Model m = test::StartedWithRefPoints();
    SetRefPoints(m, 1, 1, 2, 2);
    DrawLinesLogic d(m);
    d.FormActivate();
    d.RowNumberClick(20);
    d.TypeClick(kLine);
    d.ColourClick(kBlackItem);
    d.RefClick(0);
    d.DrawCloseClick();
    EXPECT_EQ(m.overlay.LineIndex, 20);
    EXPECT_EQ(d.beeps, 1);
    EXPECT_EQ(m.overlay.LineType[19], 0.0f);
}

TEST(DrawLines, LineIndexNeverLeavesTheRowsWhateverTheClicks) {
    Model m = test::StartedWithRefPoints();
    SolveLinkage(m);
    DrawLinesLogic d(m);
    std::mt19937 rng(7);
    for (int step = 0; step < 20000; ++step) {
        const int item = static_cast<int>(rng() % 8) - 1;
        switch (rng() % 11) {
            case 0: d.FormActivate(); break;
            case 1: d.RowNumberClick(static_cast<int>(rng() % 24) - 2); break;
            case 2: d.TypeClick(item); break;
            case 3: d.ColourClick(item); break;
            case 4: d.RefClick(item); break;
            case 5: d.DrawCloseClick(); break;
            case 6: d.ClearLineClick(); break;
            case 7: d.CloseClick(); break;
            case 8:
                SetRefPoints(m, static_cast<float>(rng() % 5), 1, 2, static_cast<float>(rng() % 3));
                break;
            case 9: d.MouseReopens(rng() % 2 ? MouseButton::Left : MouseButton::Right); break;
            default: d.LinesDataClick(); break;
        }
        ASSERT_GE(m.overlay.LineIndex, 1);
        ASSERT_LE(m.overlay.LineIndex, 20);
        for (int k = 1; k <= 20; ++k) {
            ASSERT_GE(Round(m.overlay.LinePivot1[k]), 0);
            ASSERT_LT(Round(m.overlay.LinePivot1[k]), kPivotCount);
        }
    }
}

TEST(DrawLines, ClearLineEmptiesTheRow) {
    Model m = test::StartedWithRefPoints();
    SetRefPoints(m, 1, 1, 2, 2);
    DrawLinesLogic d(m);
    d.FormActivate();
    d.TypeClick(kLine);
    d.ColourClick(kRedItem);
    d.RefClick(0);
    d.DrawCloseClick();
    d.RowNumberClick(1);
    d.ClearLineClick();
    EXPECT_EQ(m.overlay.LineType[0], -1.0f);
    EXPECT_EQ(m.overlay.LineColor[0], -1.0f);
    EXPECT_EQ(m.overlay.LineRef[0], -1.0f);
    EXPECT_EQ(m.overlay.LineH2[1], 0.0f);
    EXPECT_EQ(d.row(1).fields[0], "");
    EXPECT_EQ(d.row(1).colour, "");
}

TEST(DrawLines, FieldsCommitIntoTheirArrays) {
    Model m = test::StartedWithRefPoints();
    DrawLinesLogic d(m);
    d.FieldExit(7, 0, "1.5");
    d.FieldExit(7, 1, "-2");
    d.FieldExit(7, 2, "3-4");
    d.FieldExit(7, 3, "");
    EXPECT_EQ(m.overlay.LineV1[7], 1.5f);
    EXPECT_EQ(m.overlay.LineH1[7], -2.0f);
    EXPECT_EQ(m.overlay.LineV2[7], 3.0f);
    EXPECT_EQ(m.overlay.LineH2[7], 0.0f);
    EXPECT_EQ(d.row(7).fields[0], "1.5");
    d.FieldExit(0, 0, "9");  // outside the rows: ignored
    d.FieldExit(21, 0, "9");
    EXPECT_EQ(m.overlay.LineV1[0], 0.0f);
}

TEST(DrawLines, LinesDataRewritesUsedRowsFromTheModel) {
    Model m = test::StartedWithRefPoints();
    DrawLinesLogic d(m);
    d.FieldExit(2, 0, "8");  // a stale text in an unused row
    m.overlay.LineType[0] = 1;
    m.overlay.LineColor[0] = 16711680;
    m.overlay.LineRef[0] = 1;
    m.overlay.LineV1[1] = 0.5f;
    m.overlay.LineH2[1] = 2.25f;
    m.overlay.LineType[4] = 0.4f;  // rounds to a line
    m.overlay.LineColor[4] = 8421504;
    m.overlay.LineRef[4] = 3;
    d.LinesDataClick();
    EXPECT_EQ(d.row(1).type, "Circle");
    EXPECT_EQ(d.row(1).colour, "Blue");
    EXPECT_EQ(d.row(1).ref, "Pivot1");
    EXPECT_EQ(d.row(1).fields[0], "  0.500");
    EXPECT_EQ(d.row(1).fields[3], "  2.250");
    EXPECT_EQ(d.row(5).type, "Line");
    EXPECT_EQ(d.row(5).colour, "Gray");
    EXPECT_EQ(d.row(5).ref, "Piv1/P2");
    EXPECT_EQ(d.row(2).fields[0], "");
    // Opening a file empties the labels first, then refreshes.
    d.ClearRowLabels();
    EXPECT_EQ(d.row(1).type, "");
    m.overlay.LineIndex = 5;
    d.HighlightCurrentRow();
    EXPECT_EQ(d.highlightedRow(), 5);
}

}  // namespace
