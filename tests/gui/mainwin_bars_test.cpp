// The jog bars on real input (a press to its release, a key press to its release, one wheel
// turn: one undo entry each, then the focus moves on), the reverse arm with no gear travel, the
// driver-angle bar after the angle dialogs, and what "&ResetAllDimensions" puts back.
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <cmath>

#include "core/variation/commit.h"
#include "dialogs_support.h"
#include "gui/diagrams/diagramwindow.h"
#include "mainwin_fixture.h"

namespace tarn {
namespace {

using testing::MainWindowTest;

// Slot 1 holds Link Radius, as after leaving its field.
void ChooseLinkRadius(Model& m) {
    m.undo.EditChanged = false;
    CommitDimensionField(m, 6, "5.0");
}

QPoint RightArrow(const QScrollBar* bar) { return {bar->width() - 3, bar->height() / 2}; }

void Key(QWidget* w, QEvent::Type type, bool autoRepeat) {
    QKeyEvent e(type, Qt::Key_Right, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(w, &e);
}

void WheelUp(QWidget* w) {
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

// Presses on the bar, then lets go: a press, key strokes and a wheel turn in turn, each one
// interaction. Returns the undo count after each.
std::vector<int> ThreeInteractions(Model& m, QScrollBar* bar) {
    std::vector<int> counts;
    QTest::mousePress(bar, Qt::LeftButton, {}, RightArrow(bar));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, RightArrow(bar));
    counts.push_back(m.undo.UndoCount);
    bar->setFocus(Qt::MouseFocusReason);
    Key(bar, QEvent::KeyPress, false);
    Key(bar, QEvent::KeyPress, true);  // held: the key repeats
    Key(bar, QEvent::KeyRelease, true);
    Key(bar, QEvent::KeyPress, true);
    Key(bar, QEvent::KeyRelease, false);
    counts.push_back(m.undo.UndoCount);
    WheelUp(bar);
    counts.push_back(m.undo.UndoCount);
    return counts;
}

TEST_F(MainWindowTest, EachPressKeyStrokeOrWheelTurnOnAJogBarIsOneUndoEntry) {
    ChooseLinkRadius(m);
    Item("DynamicVariables")->trigger();
    form->Timer1Timer();  // the frame enables the bars of filled slots
    test::ShowActive(*form.get());
    QScrollBar* bar = Bar("SBDynVar1");
    ASSERT_TRUE(bar->isEnabled());
    // These bars, and the reverse-arm bar, take the focus when clicked.
    for (const char* n : {"SBRevArm", "SBDynVar1", "SBDynVar4"})
        EXPECT_TRUE(Bar(n)->focusPolicy() & Qt::ClickFocus) << n;

    QTest::mousePress(bar, Qt::LeftButton, {}, RightArrow(bar));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, RightArrow(bar));
    EXPECT_FLOAT_EQ(m.design.LinkRadius, 5.001f);
    ASSERT_EQ(m.undo.UndoCount, 1);
    EXPECT_EQ(m.undo.UndoOld[1], 5.0f);
    EXPECT_EQ(m.undo.UndoNew[1], m.design.LinkRadius);
    EXPECT_TRUE(Button("UnDoDn")->isEnabled());
    EXPECT_TRUE(Bar("SBRevArm")->hasFocus());  // the focus goes back to the reverse arm
    EXPECT_EQ(bar->value(), 0);

    // A key held down: three steps (the first press and two repeats), one entry at the release.
    bar->setFocus(Qt::MouseFocusReason);
    Key(bar, QEvent::KeyPress, false);
    Key(bar, QEvent::KeyPress, true);
    Key(bar, QEvent::KeyRelease, true);
    Key(bar, QEvent::KeyPress, true);
    Key(bar, QEvent::KeyRelease, false);
    const float afterKeys = m.design.LinkRadius;
    EXPECT_NEAR(std::fabs(afterKeys - 5.001f), 0.003f, 1e-6f);
    ASSERT_EQ(m.undo.UndoCount, 2);
    EXPECT_EQ(m.undo.UndoOld[1], 5.001f);
    EXPECT_EQ(m.undo.UndoNew[1], afterKeys);
    EXPECT_TRUE(Bar("SBRevArm")->hasFocus());

    WheelUp(bar);
    ASSERT_EQ(m.undo.UndoCount, 3);
    EXPECT_EQ(m.undo.UndoOld[1], afterKeys);
    EXPECT_NE(m.design.LinkRadius, afterKeys);
    // Undo takes each interaction back as a whole.
    for (float v : {afterKeys, 5.001f, 5.0f}) {
        Button("UnDoDn")->click();
        EXPECT_EQ(m.design.LinkRadius, v);
    }
    EXPECT_FALSE(Button("UnDoDn")->isEnabled());
    // A press on the thumb that moves nothing records nothing.
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() / 2));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() / 2));
    EXPECT_EQ(m.undo.UndoCount, 0);
    form->hide();
}

TEST_F(MainWindowTest, ADiagramsJogBarsRecordOneEntryPerInteractionAndGiveTheFocusToClose) {
    ChooseLinkRadius(m);
    auto* d = static_cast<TDiagramWindow*>(windows.OvalDia);
    d->SetRevArmDialogRunner([] {});
    d->DynVariClick();
    test::ShowActive(*d);
    QScrollBar* bar = d->findChild<QScrollBar*>("SBDynVarO1");
    ASSERT_TRUE(bar->isEnabled());
    EXPECT_TRUE(bar->focusPolicy() & Qt::ClickFocus);
    EXPECT_EQ(ThreeInteractions(m, bar), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(d->findChild<QPushButton*>("CloseOval")->hasFocus());
    EXPECT_EQ(m.undo.UndoOld[3], 5.0f);               // the press
    EXPECT_EQ(m.undo.UndoOld[2], m.undo.UndoNew[3]);  // the key strokes
    EXPECT_EQ(m.undo.UndoOld[1], m.undo.UndoNew[2]);  // the wheel turn
    EXPECT_NEAR(std::fabs(m.undo.UndoNew[2] - m.undo.UndoOld[2]), 0.003f, 1e-6f);
    d->reject();
}

TEST_F(MainWindowTest, WithNoGearTravelFwdAndRevPutTheArmAtMidGear) {
    const float centre = m.motion.RevArmPositions[0];
    CommitGearLimitNorm(m, "0");
    CommitGearLimitMax(m, "0");
    Bar("SBRevArm")->setRange(-RevArmBarMax(m.design), RevArmBarMax(m.design));
    Button("Fwd")->click();
    EXPECT_EQ(Bar("SBRevArm")->value(), 0);
    EXPECT_EQ(m.motion.RevArmPos, centre);
    Button("Rev")->click();
    EXPECT_EQ(Bar("SBRevArm")->value(), 0);
    EXPECT_EQ(m.motion.RevArmPos, centre);
    form->Timer1Timer();
    EXPECT_TRUE(std::isfinite(m.pivots.PivotX[4]));
}

TEST_F(MainWindowTest, TheDriverAngleBarIsLockedOnlyWhileTheMotionRuns) {
    auto okInside = [](QDialog* d) {
        QTimer::singleShot(0, d, [d] { d->findChild<QPushButton*>("OK")->click(); });
    };
    ASSERT_FALSE(Bar("SBDrvAng")->isEnabled());  // running
    // OK of the driver angle stops the motion: the activation that follows leaves the bar free.
    okInside(windows.DrivAng);
    form->ShowModal(windows.DrivAng);
    EXPECT_EQ(Button("Run")->text(), "Run");
    EXPECT_TRUE(Bar("SBDrvAng")->isEnabled());
    // The step dialog keeps the motion as it was, and so the bar.
    okInside(windows.StpAng);
    form->ShowModal(windows.StpAng);
    EXPECT_TRUE(Bar("SBDrvAng")->isEnabled());
    Button("Run")->click();
    okInside(windows.StpAng);
    form->ShowModal(windows.StpAng);
    EXPECT_EQ(Button("Run")->text(), "Stop");
    EXPECT_FALSE(Bar("SBDrvAng")->isEnabled());
}

TEST_F(MainWindowTest, ResetAllPutsItsControlsBackAndLeavesTheAnnotations) {
    // A wider gear, the arm off centre, dynamic variables and undo on, the view moved and a
    // preset armed; annotations of the user.
    CommitGearLimitMax(m, "2.5");
    Bar("SBRevArm")->setRange(-RevArmBarMax(m.design), RevArmBarMax(m.design));
    Bar("SBRevArm")->setValue(2200);
    ChooseLinkRadius(m);
    Item("DynamicVariables")->trigger();
    Item("SetUnDo")->trigger();
    Button("UnDoDn")->setEnabled(true);
    Bar("SBZoom")->setValue(10);
    Button("Preset0")->click();
    m.view.ViewPresets[6] = 99;
    m.overlay.LineType[0] = 1;
    m.overlay.LineIndex = 5;
    m.motion.RevArmPositions[6] = 3.5f;

    Item("ResetAll")->trigger();
    EXPECT_EQ(Bar("SBRevArm")->maximum(), 1800);
    EXPECT_EQ(Bar("SBRevArm")->minimum(), -1800);
    EXPECT_EQ(Bar("SBRevArm")->value(), 0);
    EXPECT_EQ(m.motion.RevArmPos, m.motion.RevArmPositions[0]);
    EXPECT_FALSE(Button("Center")->isEnabled());
    EXPECT_TRUE(Button("Fwd")->isEnabled());
    EXPECT_FALSE(Button("NormVHZ")->isEnabled());
    EXPECT_TRUE(Button("Preset0")->isEnabled());
    EXPECT_FLOAT_EQ(m.view.Zoom, 27.0f);
    EXPECT_FALSE(m.display.DynVarOn);
    for (const char* n : {"SBDynVar1", "SBDynVar4", "Panel7", "Panel8", "Panel9"})
        EXPECT_FALSE(Shown(n)) << n;
    EXPECT_FALSE(m.display.UndoOn);
    EXPECT_FALSE(Button("UnDoDn")->isEnabled());
    EXPECT_EQ(m.design.DesignName, "Nominal");
    EXPECT_EQ(m.view.ViewPresets[6], 99.0f);
    EXPECT_EQ(m.overlay.LineType[0], 1.0f);
    EXPECT_EQ(m.overlay.LineIndex, 5);
    EXPECT_EQ(m.motion.RevArmPositions[6], 3.5f);
}

// The arrow keys move a bar the way they point.
TEST_F(MainWindowTest, TheRightKeyMovesABarToTheRight) {
    QScrollBar* bar = Bar("SBRevArm");
    const int start = bar->value();
    for (const auto key : {Qt::Key_Right, Qt::Key_Left}) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(bar, &e);
        EXPECT_EQ(bar->value(), start + (key == Qt::Key_Right ? bar->singleStep() : 0));
    }
}

}  // namespace
}  // namespace tarn
