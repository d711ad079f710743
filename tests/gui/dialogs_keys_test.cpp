// Enter, Escape and the close box across every window of the program: only the angle dialogs'
// buttons take Enter while they hold the focus, their OK is the only default button, and Escape
// (also from a field) and the close box run Cancel where a window has one and close it otherwise.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "dialogs_support.h"
#include "gui/diagrams/diagramwindow.h"
#include "gui/dialogs/setrevarm.h"
#include "tools_support.h"

using namespace tarn;
using namespace tarn::testing;

namespace {

// Types text over the whole of a dialog's field, as a user who clicked into it.
QLineEdit* Retype(QDialog* d, const char* field, const char* text) {
    auto* f = d->findChild<QLineEdit*>(QString::fromLatin1(field));
    if (!f) return nullptr;
    f->setFocus(Qt::MouseFocusReason);
    f->selectAll();
    QTest::keyClicks(f, QString::fromLatin1(text));
    return f;
}

enum class Way { EscapeInTheField, CloseBox };

// Opens d, types into its field, then leaves it by Escape in the field or by the close box.
void TypeAndLeave(QDialog* d, const char* field, const char* text, Way way) {
    test::ShowActive(*d);
    QLineEdit* f = Retype(d, field, text);
    ASSERT_NE(f, nullptr) << d->objectName().toStdString();
    ASSERT_EQ(f->text(), QString::fromLatin1(text));
    if (way == Way::EscapeInTheField) QTest::keyClick(f, Qt::Key_Escape);
    else d->close();
    EXPECT_FALSE(d->isVisible()) << d->objectName().toStdString();
    EXPECT_EQ(d->result(), QDialog::Rejected) << d->objectName().toStdString();
}

}  // namespace

TEST(WindowKeys, OnlyTheAngleDialogsHaveADefaultButtonAndButtonsThatTakeEnter) {
    Program p;
    const AppWindows& w = p.w;
    for (QDialog* d : {w.SineDia, w.OvalDia, w.SteamDia, w.PortDia})
        static_cast<TDiagramWindow*>(d)->SetRevArmDialogRunner([] {});
    const std::vector<QWidget*> windows = {
        p.form.get(), w.DrivAng,   w.OvalDia,     w.PortDia,     w.RefPnts,
        w.RevPos,     w.SetRevArm, w.SineDia,     w.SteamDia,    w.StpAng,
        w.AboutBox,   w.Inst,      w.TarnISpInst, w.FrameDi,     w.GraphZoom,
        w.DrawLines,  w.DataTable, w.CylDimen,    w.ValveEvents, w.OptimiseGear};
    int buttons = 0;
    for (QWidget* win : windows) {
        // Shown, since a dialog would choose a default button of its own when it first shows.
        win->show();
        QApplication::processEvents();
        // In the angle dialogs the button with the focus takes Enter; from their field Enter
        // goes to OK.
        const bool angle = win == w.DrivAng || win == w.StpAng;
        if (angle) {
            test::ShowActive(*win);
            test::FocusByMouse(win->findChild<QLineEdit*>(QStringLiteral("Edit1")));
        }
        for (QPushButton* b : win->findChildren<QPushButton*>()) {
            if (b->window() != win) continue;
            ++buttons;
            const std::string name =
                win->objectName().toStdString() + "/" + b->objectName().toStdString();
            EXPECT_EQ(b->autoDefault(), angle) << name;
            EXPECT_EQ(b->isDefault(), angle && b->objectName() == "OK") << name;
        }
        win->hide();
    }
    EXPECT_GT(buttons, 80);  // every window was looked at
}

TEST(WindowKeys, EscapeInAFieldAndTheCloseBoxRunCancel) {
    for (Way way : {Way::EscapeInTheField, Way::CloseBox}) {
        Program p;
        auto* run = p.Button("Run");
        const float angle = p.m.motion.CrankAngle;
        TypeAndLeave(p.w.DrivAng, "Edit1", "123", way);
        EXPECT_EQ(p.m.motion.CrankAngle, angle);
        EXPECT_EQ(run->text(), "Stop");  // Cancel does not stop the motion

        TypeAndLeave(p.w.StpAng, "Edit1", "3", way);
        EXPECT_EQ(p.m.motion.StepSetting, 10.0f);

        const float arm = p.m.motion.RevArmPos;
        TypeAndLeave(p.w.RevPos, "Edit1", "7", way);
        EXPECT_EQ(p.m.motion.RevArmPos, arm);
        EXPECT_EQ(p.Bar("SBRevArm")->value(), 0);

        TypeAndLeave(p.w.GraphZoom, "Edit1", "99", way);
        EXPECT_EQ(p.m.closeup.GraphicZoomFactor, 7.5f);

        // Cancel of the reference points switches the mode off, also when it was on.
        p.Action("RefPoints")->trigger();
        ASSERT_TRUE(p.m.display.RefPointsOn);
        TypeAndLeave(p.w.RefPnts, "Edit1", "5", way);
        EXPECT_FALSE(p.m.display.RefPointsOn);
        EXPECT_TRUE(p.Widget("SBRef1Vert")->isHidden());
        EXPECT_EQ(p.m.pivots.PivotY[19], 0.0f);
    }
}

TEST(WindowKeys, WithoutCancelEscapeInAFieldDoesWhatTheCloseBoxDoes) {
    for (Way way : {Way::EscapeInTheField, Way::CloseBox}) {
        Program p;
        // The frame dialog closes without its Close button's work: no new centre.
        const float centre = p.m.motion.RevArmPositions[0];
        p.m.design.LinkRadius = 6.0f;
        TypeAndLeave(p.w.FrameDi, "Edit6", "6", way);
        EXPECT_EQ(p.m.motion.RevArmPositions[0], centre);

        // The positions list is fixed as by its Close button: the entries after the first 0
        // are cleared.
        const float c = p.m.motion.RevArmPositions[0];
        p.m.motion.RevArmPositions[4] = c + 0.5f;
        p.m.motion.RevArmPositions[5] = c + 0.7f;
        p.m.motion.RevArmPositions[6] = c + 0.9f;
        QDialog* d = p.w.SetRevArm;
        test::ShowActive(*d);
        ASSERT_EQ(p.m.diagrams.RevArmCount, 6);
        p.m.diagrams.DiagramStale = false;
        Retype(d, "Edit4", "0");
        QLineEdit* first = Retype(d, "Edit1", "");  // leaving position 4 commits it
        ASSERT_NE(first, nullptr);
        ASSERT_EQ(p.m.motion.RevArmPositions[4], 0.0f);
        if (way == Way::EscapeInTheField) QTest::keyClick(first, Qt::Key_Escape);
        else d->close();
        EXPECT_FALSE(d->isVisible());
        EXPECT_EQ(p.m.diagrams.RevArmCount, 3);
        EXPECT_EQ(p.m.motion.RevArmPositions[5], 0.0f);
        EXPECT_EQ(p.m.motion.RevArmPositions[6], 0.0f);
        EXPECT_TRUE(p.m.diagrams.DiagramStale);
    }
}
