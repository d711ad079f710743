// A main window with its windows and a silent sound sink, for the main-window tests.
#pragma once

#include <QAction>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

#include "gui/mainwin/appwindows.h"
#include "gui/mainwin/mainform.h"

namespace tarn::testing {

struct CountingSound : SoundSink {
    int exhaust = 0, error = 0, beeps = 0, volumes = 0;
    void PlayExhaust() override { ++exhaust; }
    void PlayError() override { ++error; }
    void SetVolume(std::uint16_t) override { ++volumes; }
    void Beep() override { ++beeps; }
};

// The window's timer is stopped, so that no tick runs between the steps of a test: a test gives
// the frames itself (Timer1Timer). Whether the window had started it is kept.
struct MainWindowTest : ::testing::Test {
    Model m;
    CountingSound* sound = new CountingSound;
    std::unique_ptr<TMainForm> form;
    AppWindows windows;
    bool timerStarted = false;

    MainWindowTest() {
        form = std::make_unique<TMainForm>(m, std::unique_ptr<SoundSink>(sound));
        windows = CreateAppWindows(m, *form);
        auto* timer = form->findChild<QTimer*>(QStringLiteral("Timer1"));
        timerStarted = timer->isActive();
        timer->stop();
    }
    QPushButton* Button(const char* n) const { return form->findChild<QPushButton*>(n); }
    QScrollBar* Bar(const char* n) const { return form->findChild<QScrollBar*>(n); }
    QAction* Item(const char* n) const { return form->findChild<QAction*>(n); }
    QWidget* Widget(const char* n) const { return form->findChild<QWidget*>(n); }
    // Shown unless hidden, also while the window itself is not on screen.
    bool Shown(const char* n) const { return !Widget(n)->isHidden(); }
};

}  // namespace tarn::testing
