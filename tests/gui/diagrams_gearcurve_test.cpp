// The gear curve in the Valve Events window follows the main window's Smooth Lines switch, on
// screen and in its exported picture, as the main picture and the diagrams do.
#include <QApplication>
#include <QSet>
#include <QTest>

#include "core/plots/gearcurve.h"
#include "gui/diagrams/valveeventswindow.h"
#include "mainwin_fixture.h"

namespace tarn {
namespace {

// Pixels of the plot's inside in none of the colours the curve is drawn in: the blends of
// smooth lines (texts stand outside the plot).
int BlendedInsideThePlot(const QImage& image) {
    QSet<QRgb> palette = {qRgb(255, 255, 255),    qRgb(0, 0, 0),          qRgb(0xE0, 0xE0, 0xE0),
                          qRgb(0xA0, 0xA0, 0xA0), qRgb(0x70, 0x70, 0x70), qRgb(255, 0, 0)};
    for (Rgb c : kGearCurveColours) palette.insert(0xFF000000u | c);
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    int blended = 0;
    for (int y = img.height() * 4 / 10; y < img.height() * 7 / 10; ++y)
        for (int x = img.width() / 5; x < img.width() * 4 / 5; ++x)
            blended += !palette.contains(img.pixel(x, y) | 0xFF000000u);
    return blended;
}

using testing::MainWindowTest;

TEST_F(MainWindowTest, GearCurveFollowsSmoothLinesSwitchedInTheMainWindow) {
    form->show();
    Item("ValveEvents1")->trigger();
    auto* events = static_cast<TValveEvents*>(windows.ValveEvents);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(events));
    QApplication::processEvents();
    EXPECT_EQ(BlendedInsideThePlot(events->CurvePicture().pixels), 0);
    EXPECT_FALSE(events->CurvePicture().smooth);

    // Switched while the window stays open: it draws afresh at once.
    Item("SmoothLines")->trigger();
    QApplication::processEvents();
    EXPECT_GT(BlendedInsideThePlot(events->CurvePicture().pixels), 20);
    EXPECT_TRUE(events->CurvePicture().smooth);

    Item("SmoothLines")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(BlendedInsideThePlot(events->CurvePicture().pixels), 0);
    events->close();
    form->hide();
}

}  // namespace
}  // namespace tarn
