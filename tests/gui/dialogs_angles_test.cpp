// The driver-angle and step-angle dialogs: clamps, the motion kept or stopped, the step bar's
// log-scale position and the driver bar's steps.
#include <gtest/gtest.h>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "core/scene/motion.h"
#include "dialogs_support.h"
#include "gui/dialogs/angledialog.h"
#include "gui/dialogs/numericfield.h"

using namespace tarn;

namespace {

void EnterAndOk(QDialog& d, const char* text) {
    test::ShowActive(d);
    auto* f = d.findChild<NumericField*>("Edit1");
    test::FocusByMouse(f);
    f->selectAll();
    QTest::keyClick(f, Qt::Key_Backspace);
    QTest::keyClicks(f, text);
    QTest::mouseClick(d.findChild<QPushButton*>("OK"), Qt::LeftButton);
}

}  // namespace

TEST(DriverAngleDialog, ClampsTheAngleAndStopsTheMotion) {
    Model m = test::StartedModel();
    test::TestMain main(m);
    TDrivAng d(m, &main.form);
    test::ShowActive(d);
    EXPECT_EQ(d.findChild<NumericField*>("Edit1")->text(), "0.00");  // running
    EXPECT_TRUE(d.findChild<QPushButton*>("Cancel")->hasFocus());
    QTest::mouseClick(d.findChild<QPushButton*>("Cancel"), Qt::LeftButton);
    EnterAndOk(d, "400");
    EXPECT_EQ(m.motion.CrankAngle, 360.0f);
    EXPECT_EQ(main.SBDrvAng->value(), 36000);
    EXPECT_EQ(m.motion.StepAngle, 0.0f);
    EXPECT_EQ(main.Run->text(), "Run");
    EXPECT_TRUE(main.SBDrvAng->isEnabled());
    EnterAndOk(d, "");
    EXPECT_EQ(m.motion.CrankAngle, 0.0f);
    EXPECT_EQ(main.SBDrvAng->value(), 0);
    // Stopped, the dialog offers the current angle, and OK keeps it as shown.
    m.motion.CrankAngle = 123.456f;
    test::ShowActive(d);
    EXPECT_EQ(d.findChild<NumericField*>("Edit1")->text(), "123.46");
    QTest::mouseClick(d.findChild<QPushButton*>("OK"), Qt::LeftButton);
    EXPECT_EQ(m.motion.CrankAngle, 123.46f);
    EXPECT_EQ(main.SBDrvAng->value(), 12346);
}

// Enter in the field runs OK with the typed value; Enter on a button presses that button.
TEST(AngleDialogs, EnterInTheFieldRunsOkAndEnterOnCancelCancels) {
    Model m = test::StartedModel();
    test::TestMain main(m);
    TDrivAng drivAng(m, &main.form);
    TStpAng stpAng(m, &main.form);
    const auto type = [](QDialog& d, const char* text) {
        test::ShowActive(d);
        auto* f = d.findChild<NumericField*>("Edit1");
        test::FocusByMouse(f);
        f->selectAll();
        QTest::keyClick(f, Qt::Key_Backspace);
        QTest::keyClicks(f, text);
        return f;
    };
    for (QDialog* d : {static_cast<QDialog*>(&drivAng), static_cast<QDialog*>(&stpAng)}) {
        QTest::keyClick(type(*d, "40"), Qt::Key_Return);
        EXPECT_FALSE(d->isVisible());
        EXPECT_EQ(d->result(), QDialog::Accepted);
        // Typed, then Tab past OK to Cancel: Enter there cancels.
        QWidget* f = type(*d, "30");
        QTest::keyClick(f, Qt::Key_Tab);
        QTest::keyClick(d->focusWidget(), Qt::Key_Tab);
        auto* cancel = d->findChild<QPushButton*>("Cancel");
        ASSERT_TRUE(cancel->hasFocus());
        QTest::keyClick(cancel, Qt::Key_Return);
        EXPECT_FALSE(d->isVisible());
        EXPECT_EQ(d->result(), QDialog::Rejected);
    }
    EXPECT_EQ(m.motion.CrankAngle, 40.0f);
    EXPECT_EQ(main.SBDrvAng->value(), 4000);
    EXPECT_EQ(m.motion.StepSetting, 40.0f);
    // Enter on OK presses OK, with the text as it stands.
    type(stpAng, "7.5");
    auto* ok = stpAng.findChild<QPushButton*>("OK");
    test::FocusByMouse(ok);
    QTest::keyClick(ok, Qt::Key_Enter);
    EXPECT_FALSE(stpAng.isVisible());
    EXPECT_EQ(m.motion.StepSetting, 7.5f);
}

TEST(StepAngleDialog, ATypedStepIsKeptAndSetsTheBarsSteps) {
    Model m = test::StartedModel();
    test::TestMain main(m);
    TStpAng d(m, &main.form);
    EnterAndOk(d, "7.3");
    EXPECT_EQ(m.motion.StepSetting, 7.3f);
    EXPECT_EQ(m.motion.StepAngle, 7.3f);  // running: the new speed at once
    EXPECT_EQ(main.Run->text(), "Stop");
    EXPECT_EQ(main.SBDrvAng->singleStep(), 730);
    EXPECT_EQ(main.SBDrvAng->pageStep(), 3650);
    EXPECT_EQ(main.SBStepAng->value(), 11453);
    EXPECT_TRUE(m.motion.StepSnap);
    EXPECT_TRUE(main.Step10->isEnabled());
    EnterAndOk(d, "0");
    EXPECT_EQ(m.motion.StepSetting, 0.01f);
    EXPECT_EQ(main.SBStepAng->value(), 0);
    EnterAndOk(d, "90");
    EXPECT_EQ(m.motion.StepSetting, 45.0f);
    EXPECT_EQ(main.SBStepAng->value(), 14613);
    EXPECT_FALSE(main.Step45->isEnabled());
}

TEST(StepAngleDialog, AStoppedMotionStaysStoppedAndOkWithoutTypingKeepsTheStep) {
    Model m = test::StartedModel();
    test::TestMain main(m);
    main.Run->click();  // stop
    ASSERT_EQ(m.motion.StepAngle, 0.0f);
    TStpAng d(m, &main.form);
    test::ShowActive(d);
    EXPECT_EQ(d.findChild<NumericField*>("Edit1")->text(), "10.00");
    QTest::mouseClick(d.findChild<QPushButton*>("OK"), Qt::LeftButton);
    EXPECT_EQ(m.motion.StepSetting, 10.0f);
    EXPECT_EQ(m.motion.StepAngle, 0.0f);
    EXPECT_EQ(main.Run->text(), "Run");
    // The bar was already at 12000: no change event, yet the snap is back and Step10 is off.
    EXPECT_EQ(main.SBStepAng->value(), 12000);
    EXPECT_TRUE(m.motion.StepSnap);
    EXPECT_FALSE(main.Step10->isEnabled());
    EXPECT_TRUE(main.Step1->isEnabled());
    EXPECT_EQ(StepBarPosition(10.0f), 12000);
}
