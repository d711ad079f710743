// Smooth lines: switched through the SetUp menu, drawn antialiased in the main picture, the
// diagrams and their exports, and remembered for the next start.
#include <QFile>
#include <QScrollBar>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/scene/scenehost.h"
#include "gui/common/pictureexport.h"
#include "gui/diagrams/diagramwindow.h"
#include "gui/mainwin/appwindows.h"
#include "gui/mainwin/mainform.h"

namespace tarn {
namespace {

// The colours the pictures are drawn in; an exact drawing has no other.
bool InPalette(QRgb c) {
    static const QSet<QRgb> palette = {qRgb(255, 255, 255), qRgb(0, 0, 0),     qRgb(255, 0, 0),
                                       qRgb(0, 255, 0),     qRgb(0, 128, 0),   qRgb(0, 0, 255),
                                       qRgb(0, 255, 255),   qRgb(255, 0, 255), qRgb(128, 128, 128),
                                       qRgb(0, 128, 128),   qRgb(128, 0, 0),   qRgb(255, 255, 0)};
    return palette.contains((c & 0xFFFFFFu) | 0xFF000000u);
}

// Pixels of other colours within two pixels of the main rod, from the crank pin (pivot 2) to
// the crosshead (pivot 3), away from both ends' circles.
int BlendedAlongTheMainRod(const QImage& frame, const Model& m) {
    const QPointF a(m.pivots.ScreenX[2], m.pivots.ScreenY[2]);
    const QPointF b(m.pivots.ScreenX[3], m.pivots.ScreenY[3]);
    int blended = 0;
    QSet<QPair<int, int>> seen;
    for (double t = 0.2; t <= 0.8; t += 0.005) {
        const QPointF p = a + (b - a) * t;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const int x = qRound(p.x()) + dx, y = qRound(p.y()) + dy;
                if (seen.contains({x, y})) continue;
                seen.insert({x, y});
                blended += !InPalette(frame.pixel(x, y));
            }
    }
    return blended;
}

struct StartedProgram {
    Model m;
    TMainForm form;
    AppWindows windows;
    explicit StartedProgram(const QString& settings)
        : form(m, std::make_unique<SilentSound>(), nullptr, settings),
          windows(CreateAppWindows(m, form)) {
        form.findChild<QTimer*>("Timer1")->stop();
        // The crank stopped at 90 degrees: the main rod runs steeply down to the crosshead.
        form.RunClick();
        form.findChild<QScrollBar*>("SBDrvAng")->setValue(9000);
        form.Timer1Timer();
    }
    QAction* Item() const { return form.findChild<QAction*>("SmoothLines"); }
    std::string Caption() const { return Item()->text().toStdString(); }
    bool SvgAsksForCrispEdges() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("gear.svg"));
        EXPECT_TRUE(WritePicture(form.ShownPicture(), path, PictureFormat::Svg, "gear").ok);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll().contains("shape-rendering=\"crispEdges\"");
    }
};

TEST(SmoothLines, SwitchedThroughTheMenuDrawnBlendedAndRememberedForTheNextStart) {
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("tarn1.ini"));
    {
        StartedProgram first(settings);
        ASSERT_NE(first.Item(), nullptr);
        EXPECT_FALSE(first.m.display.SmoothLines);
        EXPECT_EQ(first.Caption(), "S&mooth Lines On");
        EXPECT_EQ(BlendedAlongTheMainRod(first.form.Frame(), first.m), 0);
        EXPECT_TRUE(first.SvgAsksForCrispEdges());
        first.Item()->trigger();
        EXPECT_TRUE(first.m.display.SmoothLines);
        EXPECT_EQ(first.Caption(), "S&mooth Lines Off");
        first.form.Timer1Timer();
        EXPECT_GT(BlendedAlongTheMainRod(first.form.Frame(), first.m), 20);
    }
    {
        StartedProgram second(settings);
        EXPECT_TRUE(second.m.display.SmoothLines);
        EXPECT_EQ(second.Caption(), "S&mooth Lines Off");
        EXPECT_GT(BlendedAlongTheMainRod(second.form.Frame(), second.m), 20);
        EXPECT_FALSE(second.SvgAsksForCrispEdges());
        second.Item()->trigger();
        EXPECT_EQ(second.Caption(), "S&mooth Lines On");
        second.form.Timer1Timer();
        EXPECT_EQ(BlendedAlongTheMainRod(second.form.Frame(), second.m), 0);
    }
    StartedProgram third(settings);
    EXPECT_FALSE(third.m.display.SmoothLines);
}

// The sine diagram's curves: blended only with smooth lines on (its texts are smoothed either
// way).
TEST(SmoothLines, TheDiagramsFollowTheSwitch) {
    QTemporaryDir dir;
    StartedProgram run(dir.filePath(QStringLiteral("tarn1.ini")));
    auto* sine = static_cast<TDiagramWindow*>(run.windows.SineDia);
    run.m.diagrams.RevArmCount = 3;  // three curves
    auto blended = [&] {
        sine->Redraw();
        const QImage& picture = sine->Picture();
        int n = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) n += !InPalette(picture.pixel(x, y));
        return n;
    };
    const int plain = blended();
    run.Item()->trigger();
    const int smooth = blended();
    EXPECT_GT(smooth, plain + 1000) << plain << " " << smooth;
}

}  // namespace
}  // namespace tarn
