// The Qt canvas: line ends, ellipse boxes, arc direction, fonts, and a frame buffer that whitens
// only what the last frame drew yet gives the same picture as a fresh white image.
#include <QFontInfo>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include "core/model/solver.h"
#include "core/scene/mainscene.h"
#include "core/scene/view.h"
#include "gui/common/qpaintercanvas.h"
#include "gui/dialogs/dialogkit.h"

namespace tarn {
namespace {

QImage White(int w = 64, int h = 64) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

bool Black(const QImage& img, int x, int y) { return img.pixel(x, y) == qRgb(0, 0, 0); }

TEST(QPainterCanvas, LineExcludesItsEndPoint) {
    QImage img = White();
    {
        QPainterCanvas c(img);
        c.MoveTo(2, 5);
        c.LineTo(10, 5);
        c.MoveTo(20, 20);
        c.LineTo(20, 20);  // zero length: nothing
    }
    EXPECT_TRUE(Black(img, 2, 5));
    EXPECT_TRUE(Black(img, 9, 5));
    EXPECT_FALSE(Black(img, 10, 5));
    EXPECT_FALSE(Black(img, 20, 20));
}

TEST(QPainterCanvas, EllipseStaysInsideItsBox) {
    QImage img = White();
    {
        QPainterCanvas c(img);
        c.Ellipse(30, 30, 10, 10);  // corners in any order
    }
    int minX = 99, maxX = -1, minY = 99, maxY = -1;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            if (Black(img, x, y)) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    EXPECT_EQ(minX, 10);
    EXPECT_EQ(maxX, 29);  // the right edge is outside
    EXPECT_EQ(minY, 10);
    EXPECT_EQ(maxY, 29);
}

TEST(QPainterCanvas, ArcRunsCounterClockwiseFromStartToEndRay) {
    QImage img = White();
    {
        QPainterCanvas c(img);
        // Start ray up-left, end ray down-left: the left half.
        c.Arc(10, 10, 51, 51, 0, 0, 0, 61);
    }
    EXPECT_TRUE(Black(img, 10, 30) || Black(img, 11, 30));
    EXPECT_FALSE(Black(img, 49, 30) || Black(img, 50, 30));
}

// At a pixel ratio of 2 a logical pixel is the 2 x 2 device pixels under it: an L of two lines,
// a single pixel and a circle cover the device pixels of the logical pixels they cover at ratio 1.
TEST(QPainterCanvas, AtRatioTwoShapesCoverTheDevicePixelsOfTheirLogicalPixels) {
    QImage one = White(), two = White(128, 128);
    two.setDevicePixelRatio(2);
    for (QImage* img : {&one, &two}) {
        QPainterCanvas c(*img);
        c.MoveTo(2, 5);
        c.LineTo(10, 5);
        c.LineTo(10, 12);
        c.Ellipse(30, 30, 50, 50);
        c.SetPixel(20, 20, kRed);
    }
    // The lines and the pixel exactly; the circle at full resolution, so a little off its
    // enlarged self.
    int lines = 0, circle = 0;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            if (two.pixel(x, y) != one.pixel(x / 2, y / 2)) ++(x < 50 && y < 50 ? lines : circle);
    EXPECT_EQ(lines, 0);
    EXPECT_GT(circle, 0);
    EXPECT_LT(circle, 200);
}

TEST(QPainterCanvas, FontsHaveFixedPixelSizes) {
    EXPECT_EQ(QFontFor(FontSpec{}).pixelSize(), 11);
    EXPECT_EQ(QFontFor(FontSpec{FontFamily::Sans, 14}).pixelSize(), 19);
    const QFont serif = QFontFor(FontSpec{FontFamily::Serif, 8, true});
    EXPECT_EQ(serif.family().toStdString(), "Liberation Serif");
    EXPECT_TRUE(serif.bold());
    // The dialogs' "MS Sans Serif": Liberation Sans at 11 pixels, whatever the desktop's font.
    EXPECT_EQ(DialogFont().family().toStdString(), "Liberation Sans");
    EXPECT_EQ(DialogFont().pixelSize(), 11);
    EXPECT_EQ(QFontInfo(DialogFont()).family().toStdString(), "Liberation Sans");
    EXPECT_EQ(QFontInfo(QFontFor(FontSpec{})).family().toStdString(), "Liberation Sans");
}

TEST(QPainterCanvas, TextTopLeftAndPixels) {
    QImage img = White(200, 40);
    {
        QPainterCanvas c(img);
        c.SetFontColor(kRed);
        c.TextOut(10, 10, "Zoom");
        c.SetPixel(150, 5, kBlue);
        c.SetPixel(-1, 5, kBlue);  // outside: ignored
    }
    int top = 99;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x)
            if (qRed(img.pixel(x, y)) > 128 && qGreen(img.pixel(x, y)) < 128)
                top = std::min(top, y);
    EXPECT_GE(top, 10);
    EXPECT_LE(top, 14);
    EXPECT_EQ(img.pixel(150, 5), qRgb(0, 0, 255));
}

struct NoHost : SceneHost {
    void SetCaption(CaptionWindow, const std::string&) override {}
    std::string DateText() override { return "1/1/26"; }
    std::string TimeText() override { return "1:00:00"; }
    void SetUndoButton(bool, int) override {}
    void SetErrorIndicator(bool) override {}
    void SetDynVarBarEnabled(int, bool) override {}
    SoundSink& Sound() override { return silent; }
    std::uint32_t ClockSeed() override { return 1; }
    SilentSound silent;
};

TEST(FrameBuffer, RedrawGivesTheSamePictureAsAFreshImage) {
    Model m;
    StartUp(m);
    NoHost host;
    MainScene scene(m, host);
    FrameBuffer fb(kFrameWidth, kFrameHeight);
    // A busy frame first: close in, thick lines, steam.
    m.display.ShowSteam = true;
    m.display.LineWidth = 2;
    RecallPreset(m.view, 5, false);
    {
        QPainterCanvas c(fb);
        scene.Tick(c);
    }
    // Then the start view without steam, drawn on the buffer and on a fresh white image.
    m.display.ShowSteam = false;
    m.display.LineWidth = 1;
    m.view.Zoom = 27;
    m.view.OffsetX = 115;
    m.view.OffsetY = 270;
    m.motion.StepAngle = 0;
    {
        QPainterCanvas c(fb);
        scene.Tick(c);
    }
    QImage fresh(kFrameWidth, kFrameHeight, QImage::Format_RGB32);
    fresh.fill(Qt::white);
    {
        QPainterCanvas c(fresh);
        scene.Tick(c);
    }
    EXPECT_TRUE(fb.image == fresh);
}

}  // namespace
}  // namespace tarn
