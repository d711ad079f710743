// The reference-point mode on the real main window: the switch, clicks, bars, zero buttons,
// centring with the pan bars' follow-up, pivot data, and the reference points dialog.
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "gui/dialogs/refpnts.h"
#include "tools_support.h"

using namespace tarn;
using namespace tarn::testing;

namespace {

TEST(ToolsRefPoints, ModeSwitchShowsAndHidesTheMeasuringControls) {
    Program p;
    for (const char* name : {"SBRef1Vert", "SBRef2Horz", "RefPt1Zero", "Panel5", "Panel11"})
        EXPECT_TRUE(p.Widget(name)->isHidden()) << name;
    EXPECT_FALSE(p.Widget("RefPt1")->isEnabled());
    EXPECT_FALSE(p.Action("DrawLines1")->isEnabled());
    p.Action("RefPoints")->trigger();
    EXPECT_TRUE(p.m.display.RefPointsOn);
    for (const char* name : {"SBRef1Vert", "SBRef1Horz", "SBRef2Vert", "SBRef2Horz", "RefPt1Zero",
                             "RefPt2Zero", "Panel5", "Panel6", "Panel11"})
        EXPECT_FALSE(p.Widget(name)->isHidden()) << name;
    EXPECT_TRUE(p.Widget("RefPt1")->isEnabled());
    EXPECT_TRUE(p.Widget("RefPt2")->isEnabled());
    EXPECT_TRUE(p.Widget("ToolButton23")->isEnabled());
    EXPECT_TRUE(p.Action("DrawLines1")->isEnabled());
    EXPECT_FALSE(p.Widget("RefPt1Zero")->isEnabled());  // its own state
    // Pivot data on; then the mode off takes pivot data with it.
    p.Action("SetPivotData")->trigger();
    EXPECT_TRUE(p.m.display.PivotDataOn);
    EXPECT_FALSE(p.Widget("DataTableBut")->isHidden());
    p.Action("RefPoints")->trigger();
    EXPECT_FALSE(p.m.display.RefPointsOn);
    EXPECT_FALSE(p.m.display.PivotDataOn);
    EXPECT_TRUE(p.Widget("DataTableBut")->isHidden());
    EXPECT_TRUE(p.Widget("SBRef1Vert")->isHidden());
    EXPECT_FALSE(p.Action("DrawLines1")->isEnabled());
    // Pivot data switches the reference points on when they are off.
    p.Action("SetPivotData")->trigger();
    EXPECT_TRUE(p.m.display.RefPointsOn);
    EXPECT_TRUE(p.m.display.PivotDataOn);
}

TEST(ToolsRefPoints, ClicksPlaceThePointsAndEnableTheirZeroButtons) {
    Program p;
    p.Action("RefPoints")->trigger();
    p.form->FormMouseDown(Qt::LeftButton, 142, 243);
    EXPECT_EQ(p.m.pivots.PivotX[19], 1.0f);
    EXPECT_EQ(p.m.pivots.PivotY[19], 1.0f);
    EXPECT_TRUE(p.Widget("RefPt1Zero")->isEnabled());
    EXPECT_FALSE(p.Widget("RefPt2Zero")->isEnabled());
    p.form->FormMouseDown(Qt::LeftButton, 100, 100);
    EXPECT_EQ(p.m.pivots.PivotX[19], 1.0f);
    p.form->FormMouseDown(Qt::RightButton, 115, 270);
    EXPECT_EQ(p.m.pivots.PivotX[20], 0.0f);
    EXPECT_TRUE(p.Widget("RefPt2Zero")->isEnabled());
    // Zero: the point, its bars and its button.
    p.Button("RefPt1Zero")->click();
    EXPECT_EQ(p.m.pivots.PivotX[19], 0.0f);
    EXPECT_EQ(p.m.pivots.PivotY[19], 0.0f);
    EXPECT_FALSE(p.Widget("RefPt1Zero")->isEnabled());
}

TEST(ToolsRefPoints, BarsNudgeAndSpringBack) {
    Program p;
    p.Action("RefPoints")->trigger();
    p.Bar("SBRef1Vert")->setValue(1);
    EXPECT_FLOAT_EQ(p.m.pivots.PivotY[19], 0.001f);
    EXPECT_EQ(p.Bar("SBRef1Vert")->value(), 0);
    EXPECT_TRUE(p.Widget("RefPt1Zero")->isEnabled());
    p.Bar("SBRef2Horz")->setValue(-25);
    EXPECT_FLOAT_EQ(p.m.pivots.PivotX[20], -0.025f);
    EXPECT_EQ(p.Bar("SBRef2Horz")->value(), 0);
    EXPECT_TRUE(p.Widget("RefPt2Zero")->isEnabled());
}

TEST(ToolsRefPoints, CentringOnAPointThenThePanBarsStep) {
    Program p;
    p.Action("RefPoints")->trigger();
    p.form->FormMouseDown(Qt::LeftButton, 142, 243);  // RP1 = (1, 1)
    p.Button("RefPt1")->click();
    // 293 and 267 first; then the pan bars' own steps at -155 and -2.
    EXPECT_FLOAT_EQ(p.m.view.OffsetX, 293.0f - 15.5f);
    EXPECT_FLOAT_EQ(p.m.view.OffsetY, 267.0f + 0.2f);
    EXPECT_EQ(p.Bar("SBPanHorz")->value(), 0);
    EXPECT_EQ(p.Bar("SBPanVert")->value(), 0);
}

TEST(ToolsRefPoints, PivotRowsFromTheMouse) {
    Program p;
    p.Action("SetPivotData")->trigger();
    p.form->Timer1Timer();                          // solve and map the pivots
    p.form->FormMouseDown(Qt::LeftButton, 5, 155);  // row 1
    EXPECT_TRUE(p.m.refs.PivotPickArmed);
    p.form->FormMouseDown(Qt::LeftButton, p.m.pivots.ScreenX[3], p.m.pivots.ScreenY[3]);
    EXPECT_FALSE(p.m.refs.PivotPickArmed);
    EXPECT_EQ(p.m.refs.DataPivots[1], 3.0f);
}

TEST(ToolsRefPoints, DialogRefusesASecondPointAndItsButtonsSwitchTheMode) {
    Program p;
    auto* d = static_cast<TRefPnts*>(p.w.RefPnts);
    auto* e1 = d->findChild<QLineEdit*>(QStringLiteral("Edit1"));
    ASSERT_NE(e1, nullptr);
    d->show();
    EXPECT_EQ(e1->text(), QStringLiteral("0.000"));
    EXPECT_TRUE(d->findChild<QPushButton*>(QStringLiteral("Cancel"))->hasFocus() ||
                QApplication::focusWidget() == nullptr);
    e1->clear();
    QTest::keyClicks(e1, QStringLiteral("1.2.3"));
    EXPECT_EQ(e1->text(), QStringLiteral("1.23"));
    // OK: only the edited field is written; the mode comes on; the point's "0" is enabled.
    p.m.pivots.PivotX[19] = 0.12345f;
    d->OKClick();
    EXPECT_EQ(p.m.pivots.PivotY[19], 1.23f);
    EXPECT_EQ(p.m.pivots.PivotX[19], 0.12345f);
    EXPECT_TRUE(p.m.display.RefPointsOn);
    EXPECT_TRUE(p.Widget("RefPt1Zero")->isEnabled());
    EXPECT_FALSE(d->isVisible());
    // Cancel turns the mode off even when it was on before the dialog.
    d->show();
    d->CancelClick();
    EXPECT_FALSE(p.m.display.RefPointsOn);
    EXPECT_TRUE(p.Widget("SBRef1Vert")->isHidden());
    // Escape does what Cancel does.
    p.Action("RefPoints")->trigger();
    d->show();
    QTest::keyClick(d, Qt::Key_Escape);
    EXPECT_FALSE(p.m.display.RefPointsOn);
    // Zero clears both points and switches the mode off.
    p.Action("RefPoints")->trigger();
    d->show();
    d->ZeroClick();
    EXPECT_EQ(p.m.pivots.PivotY[19], 0.0f);
    EXPECT_EQ(p.m.pivots.PivotX[19], 0.0f);
    EXPECT_FALSE(p.m.display.RefPointsOn);
    EXPECT_FALSE(p.Widget("RefPt1Zero")->isEnabled());
}

}  // namespace
