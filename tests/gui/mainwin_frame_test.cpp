// The main picture on a modern desktop: drawn at the screen's pixel ratio, covering a window of
// any size, and left alone while nothing it shows changes.
#include <QApplication>
#include <QPainter>

#include <algorithm>

#include "mainwin_fixture.h"

namespace tarn {
namespace {

using testing::MainWindowTest;

// The box of the pixels of one colour, in the image's own pixels.
QRect Extent(const QImage& img, QRgb colour) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == colour) box |= QRect(x, y, 1, 1);
    return box;
}

bool Dark(const QImage& img, int x, int y) { return qGray(img.pixel(x, y)) < 128; }

// Signs of a frame drawn at twice the resolution rather than enlarged: an enlarged frame is made
// of whole 2 x 2 blocks, so a diagonal rod steps, and glyphs start, on even device pixels only.
struct Sharpness {
    int rodPixels = 0, rodPixelsInPartBlocks = 0;
    int evenGlyphEdges = 0, oddGlyphEdges = 0;
};

Sharpness SharpnessAtTwice(const QImage& f, QRgb rodColour) {
    Sharpness s;
    const QRect rod = Extent(f, rodColour);
    for (int y = rod.top(); y <= rod.bottom(); ++y)
        for (int x = rod.left(); x <= rod.right(); ++x) {
            if (f.pixel(x, y) != rodColour) continue;
            ++s.rodPixels;
            const int bx = x & ~1, by = y & ~1;
            s.rodPixelsInPartBlocks +=
                f.pixel(bx, by) != rodColour || f.pixel(bx + 1, by) != rodColour ||
                f.pixel(bx, by + 1) != rodColour || f.pixel(bx + 1, by + 1) != rodColour;
        }
    // The labels "Pan Vert", "Pan Horz" and "Zoom" beside the pan and zoom bars.
    for (int y = 2 * 24; y < 2 * 68; ++y)
        for (int x = 2 * 199; x < 2 * 250; ++x)
            if (Dark(f, x, y) && !Dark(f, x - 1, y)) ++(x % 2 ? s.oddGlyphEdges : s.evenGlyphEdges);
    return s;
}

TEST_F(MainWindowTest, FrameIsDrawnAtTheScreensPixelRatioNotEnlarged) {
    form->StopMotion();
    form->Timer1Timer();
    const QImage one = form->Frame().copy();
    ASSERT_EQ(one.size(), QSize(1280, 1024));
    const QRgb lime = qRgb(0, 255, 0);  // the radius rod, a shallow diagonal
    const QRect rod = Extent(one, lime);
    ASSERT_GT(rod.width(), 50);
    // The signs tell an enlarged frame.
    const Sharpness enlarged = SharpnessAtTwice(one.scaled(one.size() * 2), lime);
    EXPECT_EQ(enlarged.rodPixelsInPartBlocks, 0);
    EXPECT_EQ(enlarged.oddGlyphEdges, 0);

    for (const qreal ratio : {2.0, 1.5}) {
        SCOPED_TRACE(ratio);
        form->SetFrameRatio(ratio);
        form->Timer1Timer();
        const QImage& f = form->Frame();
        EXPECT_EQ(f.devicePixelRatio(), ratio);
        EXPECT_EQ(f.size(), QSize(1280, 1024) * ratio);
        // The same rod in the same place, in device pixels.
        const QRect scaled = Extent(f, lime);
        EXPECT_NEAR(scaled.left() / ratio, rod.left(), 1.0);
        EXPECT_NEAR(scaled.right() / ratio, rod.right(), 1.0);
        EXPECT_NEAR(scaled.top() / ratio, rod.top(), 1.0);
        EXPECT_NEAR(scaled.bottom() / ratio, rod.bottom(), 1.0);
        if (ratio != 2) continue;
        const Sharpness sharp = SharpnessAtTwice(f, lime);
        EXPECT_GT(sharp.rodPixelsInPartBlocks, sharp.rodPixels / 10) << sharp.rodPixels;
        EXPECT_GT(sharp.evenGlyphEdges, 20);
        EXPECT_GT(sharp.oddGlyphEdges, 20);
    }
    // Back at ratio 1 the frame is pixel for pixel the one before.
    form->SetFrameRatio(1);
    form->Timer1Timer();
    EXPECT_EQ(form->Frame(), one);
}

TEST_F(MainWindowTest, FrameCoversALargeWindow) {
    form->show();
    form->resize(2000, 1500);
    QApplication::processEvents();
    form->Timer1Timer();
    QWidget* area = Widget("ClientArea");
    ASSERT_GE(area->width(), 2000);
    ASSERT_GE(area->height(), 1400);
    EXPECT_EQ(form->Frame().size(), area->size());
    const QImage shot = area->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // At the start view nothing is drawn beyond 1280 x 1024: white there, to the window's edge.
    int other = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = y < 1024 ? 1280 : 0; x < shot.width(); ++x)
            other += shot.pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_EQ(other, 0);
    // Back to the start size, the frame is the fixed size again.
    form->resize(632, 400);
    QApplication::processEvents();
    EXPECT_EQ(form->Frame().size(), QSize(1280, 1024));
    form->hide();
}

// Counts the paint events a widget gets.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        paints += e->type() == QEvent::Paint;
        return false;
    }
};

TEST_F(MainWindowTest, AStoppedUnchangedPictureIsNotDrawnAgain) {
    QDateTime now(QDate(2026, 3, 1), QTime(10, 0, 0));
    form->SetClock([&now] { return now; });
    form->show();
    form->StopMotion();
    auto tick = [this](int ticks) {
        for (int i = 0; i < ticks; ++i) {
            form->Timer1Timer();
            QApplication::processEvents();
        }
    };
    tick(2);
    PaintCounter picture;
    Widget("ClientArea")->installEventFilter(&picture);
    const long settled = form->FramesDrawn();
    const QImage before = form->Frame().copy();
    const QString caption = form->windowTitle();
    tick(100);
    EXPECT_EQ(form->FramesDrawn(), settled);
    EXPECT_EQ(picture.paints, 0);
    EXPECT_EQ(form->windowTitle(), caption);
    // The caption's clock still runs.
    now = now.addSecs(1);
    tick(1);
    EXPECT_NE(form->windowTitle(), caption);
    EXPECT_EQ(form->FramesDrawn(), settled);

    // One bar moved by hand: the next tick draws the crank where it now stands, and the one
    // after draws it again only to find that nothing moves on; the screen is painted once.
    Bar("SBDrvAng")->setValue(9000);
    tick(1);
    EXPECT_EQ(form->FramesDrawn(), settled + 1);
    EXPECT_EQ(picture.paints, 1);
    EXPECT_NE(form->Frame(), before);
    const QImage turned = form->Frame().copy();
    tick(100);
    EXPECT_EQ(form->FramesDrawn(), settled + 2);
    EXPECT_EQ(picture.paints, 1);
    EXPECT_EQ(form->Frame(), turned);
    form->hide();

    // Frame-counted things keep the ticks drawing while the crank stands: a close-up blinks
    // until a click ends it, the steam's dots move.
    auto drawnIn = [this](int ticks) {
        const long before = form->FramesDrawn();
        for (int i = 0; i < ticks; ++i) form->Timer1Timer();
        return form->FramesDrawn() - before;
    };
    m.closeup.GraphicPosId = 1;  // as a dimension dialog's close-up button sets it
    EXPECT_EQ(drawnIn(20), 20);
    form->FormMouseDown(Qt::LeftButton, 300, 300);
    drawnIn(5);
    EXPECT_EQ(drawnIn(100), 0);
    Item("SetSteam")->trigger();
    EXPECT_EQ(drawnIn(20), 20);
    Item("SetSteam")->trigger();
    drawnIn(2);
    EXPECT_EQ(drawnIn(100), 0);
    // While the crank turns every tick draws.
    form->StartMotion();
    EXPECT_EQ(drawnIn(5), 5);
}

TEST_F(MainWindowTest, WhileTheCrankTurnsTheControlsAreNotRepainted) {
    form->show();
    for (int i = 0; i < 2; ++i) {  // the first frame is new everywhere
        form->Timer1Timer();
        QApplication::processEvents();
    }
    PaintCounter counter;
    for (const char* name : {"Preset1", "Run", "Rev", "SBRevArm", "SBPanVert", "SBStepAng"})
        Widget(name)->installEventFilter(&counter);
    for (int i = 0; i < 10; ++i) {
        form->Timer1Timer();
        QApplication::processEvents();
    }
    EXPECT_EQ(counter.paints, 0);
    form->hide();
}

}  // namespace
}  // namespace tarn
