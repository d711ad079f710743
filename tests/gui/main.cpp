// The GUI tests' entry: one QApplication for all of them, on a laptop's screen, then every test.
// The program's settings (the recent designs) go to a folder of this run's own, never the user's.
#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (as ctest does before a run) needs no display.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    // The offscreen platform's own screen is 800 x 600; the windows are made for a laptop's
    // 1366 x 768 at least. A screen given in the platform's options is kept.
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen")
        qputenv("QT_QPA_PLATFORM",
                "offscreen:configfile=" TARN_SOURCE_DIR "/tests/gui/screens/laptop.json");
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
