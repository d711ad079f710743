// The Draw Lines window on its widgets and with the main window: radio order and beeps, the
// blocked third field of a circle, the trip to pick a pivot, the menu item's beep.
#include <QApplication>
#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include "tools_support.h"

using namespace tarn;
using namespace tarn::testing;

namespace {

QRadioButton* Item(TDrawLines* d, int group, int item) {
    return d->findChild<QRadioButton*>(QStringLiteral("RadioGroup%1Item%2").arg(group).arg(item));
}
QLineEdit* Edit(TDrawLines* d, int n) {
    return d->findChild<QLineEdit*>(QStringLiteral("Edit%1").arg(n));
}
QLabel* Label(TDrawLines* d, int n) {
    return d->findChild<QLabel*>(QStringLiteral("Label%1").arg(n));
}

TEST(ToolsDrawLines, TwentyRowsWithTheirLabelsAndFields) {
    Program p;
    TDrawLines* d = p.drawLines;
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Draw Lines"));
    for (int k = 1; k <= 20; ++k) {
        auto* panel = d->findChild<QFrame*>(QStringLiteral("Panel%1").arg(k));
        ASSERT_NE(panel, nullptr) << k;
        EXPECT_EQ(panel->geometry().left(), 39);
        EXPECT_EQ(panel->size(), QSize(480, 16));
        ASSERT_NE(Edit(d, 4 * k), nullptr);
        EXPECT_EQ(Edit(d, 4 * k)->parentWidget(), panel);
        EXPECT_EQ(Edit(d, 4 * k - 3)->x(), 207);
    }
    EXPECT_EQ(Label(d, 1)->text(), QStringLiteral("1  "));
    EXPECT_EQ(Label(d, 77)->text(), QStringLiteral("20"));
    EXPECT_FALSE(d->findChild<QPushButton*>(QStringLiteral("DrawBut"))->isEnabled());
    EXPECT_TRUE(d->findChild<QPushButton*>(QStringLiteral("LinesData"))->isHidden());
    EXPECT_EQ(Item(d, 3, 3)->text(), QStringLiteral("Piv1/Piv2"));
}

TEST(ToolsDrawLines, FixedCircleThroughTheWidgets) {
    Program p;
    p.m.pivots.PivotX[19] = 1;
    p.m.pivots.PivotY[19] = 2;
    p.m.pivots.PivotX[20] = 4;
    p.m.pivots.PivotY[20] = 6;
    TDrawLines* d = p.drawLines;
    d->show();
    Item(d, 2, 1)->click();  // colour before type: beep, cleared
    EXPECT_EQ(p.beeps, 1);
    EXPECT_FALSE(Item(d, 2, 1)->isChecked());
    Item(d, 1, 1)->click();  // circle
    EXPECT_EQ(Label(d, 2)->text(), QStringLiteral("Circle"));
    // The third field of a circle row takes no key.
    QLineEdit* third = Edit(d, 3);
    third->setFocus();
    QTest::keyClicks(third, QStringLiteral("12"));
    EXPECT_EQ(third->text(), QString());
    QLineEdit* fourth = Edit(d, 4);
    QTest::keyClicks(fourth, QStringLiteral("1"));
    EXPECT_EQ(fourth->text(), QStringLiteral("1"));
    fourth->clear();
    Item(d, 2, 1)->click();  // red
    Item(d, 3, 0)->click();  // 0,0
    auto* draw = d->findChild<QPushButton*>(QStringLiteral("DrawBut"));
    EXPECT_TRUE(draw->isEnabled());
    draw->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(p.m.overlay.LineH2[1], 5.0f);
    EXPECT_EQ(Edit(d, 4)->text(), QStringLiteral("  5.000"));
    EXPECT_EQ(Edit(d, 1)->text(), QStringLiteral("  2.000"));
    EXPECT_EQ(p.m.overlay.LineIndex, 2);
    // The new current row is highlighted.
    auto* panel2 = d->findChild<QFrame*>(QStringLiteral("Panel2"));
    EXPECT_EQ(panel2->palette().color(QPalette::Window), QColor(0x00, 0xFF, 0xFF));
    EXPECT_FALSE(Item(d, 1, 1)->isChecked());
}

// A row read from a file shows three decimals; entering and leaving a field stores what it
// shows, and a typed value is stored as typed. Real focus changes, not calls.
TEST(ToolsDrawLines, FieldsStoreWhatTheyShowWhenTheFocusLeaves) {
    Program p;
    p.m.overlay.LineType[0] = 0;  // row 1: a line
    p.m.overlay.LineColor[0] = 1;
    p.m.overlay.LineRef[0] = 0;
    p.m.overlay.LineV1[1] = 1.23456f;
    p.m.overlay.LineH1[1] = 7.0f;
    TDrawLines* d = p.drawLines;
    d->LinesDataClick();
    EXPECT_EQ(Edit(d, 1)->text(), QStringLiteral("  1.235"));
    EXPECT_EQ(Edit(d, 2)->text(), QStringLiteral("  7.000"));
    d->show();
    QApplication::setActiveWindow(d);
    d->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(d, 1000));
    Edit(d, 1)->setFocus(Qt::TabFocusReason);
    Edit(d, 2)->setFocus(Qt::TabFocusReason);  // leaves field 1 untouched
    EXPECT_EQ(p.m.overlay.LineV1[1], 1.235f);
    QTest::keyClick(Edit(d, 2), Qt::Key_End);
    for (int i = 0; i < 7; ++i) QTest::keyClick(Edit(d, 2), Qt::Key_Backspace);
    QTest::keyClicks(Edit(d, 2), QStringLiteral("2.0625"));
    Edit(d, 3)->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(p.m.overlay.LineH1[1], 2.0625f);
    d->hide();
}

TEST(ToolsDrawLines, CircleToTwoPivotsBeepsAndClears) {
    Program p;
    p.m.pivots.PivotX[19] = 1;
    p.m.pivots.PivotX[20] = 2;
    TDrawLines* d = p.drawLines;
    d->show();
    Item(d, 1, 1)->click();
    Item(d, 2, 0)->click();
    Item(d, 3, 3)->click();
    EXPECT_EQ(p.beeps, 1);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(Label(d, 2)->text(), QString());
    EXPECT_FALSE(Item(d, 3, 3)->isChecked());
    EXPECT_EQ(p.m.overlay.LineType[0], -1.0f);
    d->hide();
}

TEST(ToolsDrawLines, PivotTripThroughTheMainWindow) {
    Program p;
    p.Action("RefPoints")->trigger();
    p.form->Timer1Timer();
    p.form->FormMouseDown(Qt::LeftButton, 200, 200);  // RP1 somewhere
    p.form->FormMouseDown(Qt::RightButton, 250, 180);
    TDrawLines* d = p.drawLines;
    bool activated = false;
    // The menu item opens the dialog modally; choose a line tied to one pivot.
    WhenModal([&] {
        activated = d->isVisible();
        Item(d, 1, 0)->click();
        Item(d, 2, 4)->click();
        Item(d, 3, 1)->click();  // the dialog closes for the pick
    });
    p.Action("DrawLines1")->trigger();
    EXPECT_TRUE(activated);
    EXPECT_FALSE(d->isVisible());
    EXPECT_TRUE(p.m.overlay.PivotPickPending);
    EXPECT_EQ(p.m.overlay.LineIndex, 1);
    // A left click next to the crank pin reopens the dialog, which picks pivot 2.
    bool reopened = false;
    p.form->FormMouseDown(Qt::LeftButton, p.m.pivots.ScreenX[2] + 1, p.m.pivots.ScreenY[2]);
    WhenModal([&] {
        reopened = d->isVisible();
        d->findChild<QPushButton*>(QStringLiteral("DrawBut"))->click();
    });
    QTest::qWait(0);
    QApplication::processEvents();
    EXPECT_TRUE(reopened);
    EXPECT_EQ(p.m.overlay.LinePivot1[1], 2.0f);
    EXPECT_EQ(p.m.overlay.LineType[0], 0.0f);
    EXPECT_EQ(p.m.overlay.LineColor[0], 16711680.0f);
    EXPECT_FALSE(p.m.overlay.PivotPickPending);
    EXPECT_EQ(p.m.overlay.LineIndex, 2);
}

TEST(ToolsDrawLines, MenuItemBeepsWhenBothPointsAreAtTheOrigin) {
    Program p;
    p.Action("RefPoints")->trigger();
    WhenModal([&] { p.drawLines->findChild<QPushButton*>(QStringLiteral("CloseBut"))->click(); });
    p.Action("DrawLines1")->trigger();
    EXPECT_EQ(p.beeps, 1);
    EXPECT_FALSE(p.drawLines->isVisible());
}

}  // namespace
