// Shared pieces of the dialog tests: a started model, a stand-in for the main window's
// controls that the dialogs move, and focus helpers.
#pragma once

#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWidget>

#include "model/model.h"
#include "model/numfmt.h"

namespace tarn::test {

inline Model StartedModel() {
    Model m;
    StartUp(m);
    return m;
}

// The main window's reverse-arm, driver-angle and step-angle bars, the run/stop button and the
// step buttons, with run/stop acting on the model as the main window's does.
struct FakeMain {
    explicit FakeMain(Model& m) : model(m) {
        auto bar = [this](const char* name, int lo, int hi, int v) {
            auto* b = new QScrollBar(Qt::Horizontal, &window);
            b->setObjectName(QString::fromLatin1(name));
            b->setRange(lo, hi);
            b->setValue(v);
            return b;
        };
        const int max = RevArmBarMax(m);
        SBRevArm = bar("SBRevArm", -max, max, 0);
        SBDrvAng = bar("SBDrvAng", -4000, 40000, 1);
        SBStepAng = bar("SBStepAng", 0, 14613, 12000);
        auto button = [this](const char* name, const char* text) {
            auto* b = new QPushButton(QString::fromLatin1(text), &window);
            b->setObjectName(QString::fromLatin1(name));
            return b;
        };
        Run = button("Run", "Stop");
        Step1 = button("Step1", "1.0");
        Step10 = button("Step10", "10.0");
        Step45 = button("Step45", "45.0");
        Step10->setEnabled(false);
        QObject::connect(Run, &QPushButton::clicked, [this] {
            ++runClicks;
            if (Run->text() == QLatin1String("Run")) {
                model.StepAngle = model.StepSetting;
                SBDrvAng->setEnabled(false);
                Run->setText(QStringLiteral("Stop"));
            } else {
                SBDrvAng->setValue(Round(static_cast<long double>(model.CrankAngle) * 100));
                model.StepAngle = 0;
                SBDrvAng->setEnabled(true);
                Run->setText(QStringLiteral("Run"));
            }
        });
    }
    Model& model;
    QWidget window;
    QScrollBar* SBRevArm;
    QScrollBar* SBDrvAng;
    QScrollBar* SBStepAng;
    QPushButton* Run;
    QPushButton* Step1;
    QPushButton* Step10;
    QPushButton* Step45;
    int runClicks = 0;
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
