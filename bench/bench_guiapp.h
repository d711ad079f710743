// The one Qt application of a GUI benchmark program, on the offscreen platform: nothing is shown.
#pragma once

#include <QGuiApplication>

#include <cstdlib>

namespace tarn::bench {

inline QGuiApplication& App() {
    static int argc = 1;
    static char name[] = "gui_bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return new QGuiApplication(argc, argv);
    }();
    return *app;
}

}  // namespace tarn::bench
