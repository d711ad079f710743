// Shared pieces of the dialog tests: a started model, the main window whose controls the
// dialogs move, and focus helpers.
#pragma once

#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "core/scene/scenehost.h"
#include "gui/mainwin/mainform.h"

#include "../core/started_model.h"
#include "core/model/model.h"
#include "core/model/numfmt.h"

namespace tarn::test {

// The real main window, its timer stopped so that no tick runs between the steps of a test,
// and silent. Constructing it runs the model's start-up.
struct TestMain {
    explicit TestMain(Model& m) : model(m), form(m, std::make_unique<SilentSound>()) {
        form.findChild<QTimer*>(QStringLiteral("Timer1"))->stop();
        SBRevArm = form.findChild<QScrollBar*>(QStringLiteral("SBRevArm"));
        SBDrvAng = form.findChild<QScrollBar*>(QStringLiteral("SBDrvAng"));
        SBStepAng = form.findChild<QScrollBar*>(QStringLiteral("SBStepAng"));
        Run = form.findChild<QPushButton*>(QStringLiteral("Run"));
        Step1 = form.findChild<QPushButton*>(QStringLiteral("Step1"));
        Step10 = form.findChild<QPushButton*>(QStringLiteral("Step10"));
        Step45 = form.findChild<QPushButton*>(QStringLiteral("Step45"));
    }
    Model& model;
    TMainForm form;
    QScrollBar* SBRevArm;
    QScrollBar* SBDrvAng;
    QScrollBar* SBStepAng;
    QPushButton* Run;
    QPushButton* Step1;
    QPushButton* Step10;
    QPushButton* Step45;
};

// Shows a dialog as the active window so that focus changes send their events.
inline void ShowActive(QWidget& w) {
    w.show();
    QApplication::setActiveWindow(&w);
    w.activateWindow();
    (void)QTest::qWaitForWindowActive(&w, 1000);
    QApplication::processEvents();
}

// Gives w the focus as a click would.
inline void FocusByMouse(QWidget* w) {
    w->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
}

}  // namespace tarn::test
