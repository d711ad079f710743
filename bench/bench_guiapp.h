// The one Qt application of a GUI benchmark program, on the offscreen platform: nothing is shown.
// A widget application, so that the real windows can be driven too.
#pragma once

#include <QApplication>

#include <cstdlib>

namespace tarn::bench {

inline QGuiApplication& App() {
    static int argc = 1;
    static char name[] = "gui_bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return new QApplication(argc, argv);
    }();
    return *app;
}

}  // namespace tarn::bench
