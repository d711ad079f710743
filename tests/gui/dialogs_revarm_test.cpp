// The reverse-arm position dialog and the reverse-arm positions list of the diagrams.
#include <gtest/gtest.h>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "dialogs_support.h"
#include "gui/dialogs/numericfield.h"
#include "gui/dialogs/revpos.h"
#include "gui/dialogs/setrevarm.h"

using namespace tarn;

namespace {

void Retype(NumericField* f, const char* text) {
    test::FocusByMouse(f);
    f->selectAll();
    QTest::keyClicks(f, text);
}

}  // namespace

TEST(RevPosDialog, ATypedPositionIsClampedIntoMidGearPlusMinusTheMaximum) {
    Model m;
    test::TestMain main(m);
    m.motion.RevArmPositions[0] = 2.0f;
    m.design.RevArmToCentMax = 1.8f;
    m.design.RevArmToCentNorm = 1.6f;
    TRevPos d(m, &main.form);
    test::ShowActive(d);
    EXPECT_EQ(d.findChild<QLabel*>("Label2")->text(), "Max = 3.800");
    EXPECT_EQ(d.findChild<QLabel*>("Label3")->text(), "Cen = 2.000");
    EXPECT_EQ(d.findChild<QLabel*>("Label4")->text(), "Min = 0.200");
    EXPECT_EQ(d.findChild<QLabel*>("Label5")->text(), "Rev = 3.600");
    EXPECT_EQ(d.findChild<QLabel*>("Label6")->text(), "Fwd = 0.400");
    EXPECT_TRUE(d.findChild<QPushButton*>("Cancel")->hasFocus());
    auto* edit = d.findChild<NumericField*>("Edit1");
    Retype(edit, "5");
    QTest::mouseClick(d.findChild<QPushButton*>("OK"), Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(m.motion.RevArmPos, 3.8f);
    EXPECT_EQ(main.SBRevArm->value(), -1800);
    test::ShowActive(d);
    EXPECT_EQ(edit->text(), "  3.800");
    Retype(edit, "0.5");
    QTest::keyClick(edit, Qt::Key_Return);  // no default button: Enter does nothing
    EXPECT_TRUE(d.isVisible());
    QTest::mouseClick(d.findChild<QPushButton*>("OK"), Qt::LeftButton);
    EXPECT_EQ(m.motion.RevArmPos, 0.5f);
    EXPECT_EQ(main.SBRevArm->value(), 1500);
}

TEST(RevPosDialog, CancelAndEscapeChangeNothing) {
    Model m = test::StartedModel();
    test::TestMain main(m);
    TRevPos d(m, &main.form);
    const float pos = m.motion.RevArmPos;
    test::ShowActive(d);
    Retype(d.findChild<NumericField*>("Edit1"), "7");
    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_FALSE(d.isVisible());
    test::ShowActive(d);
    Retype(d.findChild<NumericField*>("Edit1"), "7");
    QTest::mouseClick(d.findChild<QPushButton*>("Cancel"), Qt::LeftButton);
    EXPECT_EQ(m.motion.RevArmPos, pos);
    EXPECT_EQ(main.SBRevArm->value(), 0);
}

TEST(SetRevArmDialog, TheListEndsAtTheFirstZero) {
    Model m = test::StartedModel();
    const float c = m.motion.RevArmPositions[0];
    m.motion.RevArmPositions[4] = c + 0.5f;
    m.motion.RevArmPositions[5] = c + 0.7f;
    m.motion.RevArmPositions[6] = c + 0.9f;
    TSetRevArm d(m);
    test::ShowActive(d);
    EXPECT_EQ(m.diagrams.RevArmCount, 6);
    EXPECT_FALSE(d.field(7)->isHidden());  // one empty field after the last position
    EXPECT_EQ(d.field(7)->text(), "0.000");
    EXPECT_TRUE(d.field(8)->isHidden());
    Retype(d.field(4), "0");
    test::FocusByMouse(d.findChild<QPushButton*>("Close1"));
    EXPECT_EQ(m.motion.RevArmPositions[4], 0.0f);
    QTest::mouseClick(d.findChild<QPushButton*>("Close1"), Qt::LeftButton);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(m.diagrams.RevArmCount, 3);
    EXPECT_EQ(m.motion.RevArmPositions[5], 0.0f);
    EXPECT_EQ(m.motion.RevArmPositions[6], 0.0f);
    EXPECT_TRUE(m.diagrams.DiagramStale);
}

TEST(SetRevArmDialog, PositionsAreClampedAndPositionOneIsNeverUnused) {
    Model m = test::StartedModel();
    const float c = m.motion.RevArmPositions[0];
    TSetRevArm d(m);
    test::ShowActive(d);
    Retype(d.field(1), "0");
    Retype(d.field(2), "100");
    Retype(d.field(10), "0.05");
    test::FocusByMouse(d.findChild<QPushButton*>("Close1"));
    // 0 becomes 0.001, then it is raised into range like any other position.
    EXPECT_EQ(m.motion.RevArmPositions[1], static_cast<float>(static_cast<long double>(c) - 1.8f));
    EXPECT_EQ(m.motion.RevArmPositions[2], static_cast<float>(static_cast<long double>(c) + 1.8f));
    EXPECT_EQ(m.diagrams.DiagramScale, 0.1f);
    Retype(d.field(10), "5000");
    test::FocusByMouse(d.findChild<QPushButton*>("Close1"));
    EXPECT_EQ(m.diagrams.DiagramScale, 1000.0f);
}

TEST(SetRevArmDialog, AKeyInAPositionRevealsTheNextAndEscapeFixesTheListToo) {
    Model m = test::StartedModel();
    TSetRevArm d(m);
    test::ShowActive(d);
    EXPECT_EQ(m.diagrams.RevArmCount, 3);
    EXPECT_TRUE(d.field(5)->isHidden());
    test::FocusByMouse(d.field(4));
    QTest::keyClick(d.field(4), Qt::Key_X);  // refused, yet it reveals position 5
    EXPECT_FALSE(d.field(5)->isHidden());
    d.field(4)->selectAll();
    QTest::keyClicks(d.field(4), "6");
    test::FocusByMouse(d.field(5));
    EXPECT_EQ(m.motion.RevArmPositions[4], 6.0f);
    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(m.diagrams.RevArmCount, 4);
    EXPECT_TRUE(m.diagrams.DiagramStale);
}
