// A whole program for the measuring, overlay, file and help tests: the main window with every
// window made, silent sound, and helpers to find controls and close a modal window. The window's
// timer is stopped, so that no tick runs between the steps of a test (nor in a modal window's
// loop): a test gives the frames itself (Timer1Timer).
#pragma once

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <memory>

#include "core/model/model.h"
#include "gui/mainwin/appwindows.h"
#include "gui/mainwin/designfiles.h"
#include "gui/mainwin/mainform.h"
#include "gui/mainwin/measuretools.h"
#include "gui/overlay/drawlinesdialog.h"

namespace tarn::testing {

struct Program {
    Model m;
    std::unique_ptr<TMainForm> form;
    AppWindows w;
    MeasureTools* tools = nullptr;
    DesignFiles* files = nullptr;
    TDrawLines* drawLines = nullptr;
    int beeps = 0;

    Program() {
        form = std::make_unique<TMainForm>(m, std::make_unique<SilentSound>());
        w = CreateAppWindows(m, *form);
        form->findChild<QTimer*>(QStringLiteral("Timer1"))->stop();
        tools = form->findChild<MeasureTools*>(QStringLiteral("MeasureTools"));
        files = form->findChild<DesignFiles*>(QStringLiteral("DesignFiles"));
        drawLines = static_cast<TDrawLines*>(w.DrawLines);
        tools->SetBeeper([this] { ++beeps; });
        drawLines->SetBeeper([this] { ++beeps; });
    }
    template <class T>
    T* Find(const char* name) const {
        return form->findChild<T*>(QString::fromLatin1(name));
    }
    QAction* Action(const char* name) const { return Find<QAction>(name); }
    QWidget* Widget(const char* name) const { return Find<QWidget>(name); }
    QScrollBar* Bar(const char* name) const { return Find<QScrollBar>(name); }
    QPushButton* Button(const char* name) const { return Find<QPushButton>(name); }
};

// Runs f inside the next modal loop (or right away from the event loop).
inline void WhenModal(std::function<void()> f) { QTimer::singleShot(0, qApp, std::move(f)); }

}  // namespace tarn::testing
