// Fit Picture to Window through its menu item and tool button, and the window's place kept
// between runs.
#include <QApplication>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "core/scene/mainscene.h"
#include "gui/common/qpaintercanvas.h"
#include "mainwin_fixture.h"

namespace tarn {
namespace {

using testing::MainWindowTest;

// The control strip ends with Panel4 (top 134, height 4).
constexpr int kStripBottom = 138;

// The bounds of the gear's pixels over a revolution of the crank, as the window draws them: each
// tick's linkage and overlay layers drawn again on white.
QRect GearPixelsOverARevolution(TMainForm& form, Model& m) {
    QRect drawn;
    for (int tick = 0; tick < 36; ++tick) {  // 10 degrees a tick
        form.Timer1Timer();
        QImage img(kFrameWidth, kFrameHeight, QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            QPainterCanvas c(img);
            DrawLinkage(m, c);
            DrawOverlay(m, c);
        }
        for (int y = 0; y < img.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
            for (int x = 0; x < img.width(); ++x)
                if (row[x] != qRgb(255, 255, 255)) drawn |= QRect(x, y, 1, 1);
        }
    }
    return drawn;
}

TEST_F(MainWindowTest, FitPutsTheWholeGearInThePictureAreaAtTwoWindowSizes) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    // A user's circle well ahead of the cylinder belongs to the picture too.
    ASSERT_NE(Item("FitPicture"), nullptr);
    m.overlay.LineType[0] = 1;
    m.overlay.LineRef[0] = 0;
    m.overlay.LineH1[1] = 30;
    m.overlay.LineH2[1] = 1;
    for (const QSize client : {QSize(632, 380), QSize(760, 560)}) {
        form->resize(client.width(), client.height() + form->menuBar()->height());
        QApplication::processEvents();
        ASSERT_EQ(Widget("ClientArea")->size(), client);
        Item("FitPicture")->trigger();
        const QRect area(0, kStripBottom, client.width(), client.height() - kStripBottom);
        const QRect gear = GearPixelsOverARevolution(*form, m);
        EXPECT_TRUE(area.contains(gear))
            << gear.x() << "," << gear.y() << " " << gear.width() << "x" << gear.height();
        EXPECT_TRUE(gear.width() > 0.7 * area.width() || gear.height() > 0.7 * area.height())
            << gear.width() << "x" << gear.height();
        // A little room is left on the side that limits the zoom.
        EXPECT_GE(gear.left(), 2);
        EXPECT_GE(gear.top(), kStripBottom + 2);
    }

    // From the fitted view the bars step as from a preset, and Norm goes back to the start view.
    EXPECT_TRUE(Button("NormVHZ")->isEnabled());
    const ViewState fitted = m.view;
    Bar("SBPanHorz")->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_NEAR(m.view.OffsetX, fitted.OffsetX + 1.0f, 1e-3);
    EXPECT_EQ(m.view.Zoom, fitted.Zoom);
    const ViewState panned = m.view;
    Bar("SBZoom")->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // 0.1 percent
    EXPECT_NEAR(m.view.Zoom, panned.Zoom * 1.001f, 1e-4 * panned.Zoom);
    EXPECT_NEAR(m.view.OffsetX, (panned.OffsetX - 320) * 1.001f + 320, 1e-2);
    EXPECT_NEAR(m.view.OffsetY, (panned.OffsetY - 240) * 1.001f + 240, 1e-2);
    Button("NormVHZ")->click();
    EXPECT_EQ(m.view.Zoom, 27.0f);
    EXPECT_EQ(m.view.OffsetX, 115.0f);
    EXPECT_EQ(m.view.OffsetY, 270.0f);

    // The tool button beside the others does the same, at both font settings, wholly on the bar.
    auto* bar = form->findChild<QToolBar*>("ToolBar1");
    auto* button = form->findChild<QToolButton*>("ToolButton25");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolTip().toStdString(), "Fit Picture to Window");
    EXPECT_FALSE(button->icon().isNull());
    for (int font = 0; font < 2; ++font) {
        QApplication::processEvents();
        EXPECT_TRUE(button->isVisible()) << font;
        EXPECT_TRUE(bar->rect().contains(button->geometry())) << font;
        Item("LargeFont")->trigger();
    }
    m.view.Zoom = 27;
    button->click();
    EXPECT_NE(m.view.Zoom, 27.0f);
    form->hide();
}

// The window's place between runs, each run a window of its own on one settings file.
struct StartedProgram {
    Model m;
    TMainForm form;
    explicit StartedProgram(const QString& settings)
        : form(m, std::make_unique<SilentSound>(), nullptr, settings) {
        form.findChild<QTimer*>("Timer1")->stop();
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    QSize Client() const { return form.findChild<QWidget*>("ClientArea")->size(); }
};

TEST(MainWindowPlacement, FirstStartCentredAtItsSizeThenWhereTheLastRunLeftIt) {
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("tarn1.ini"));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect placed(screen.left() + 30, screen.top() + 40, 700, 450);
    {
        StartedProgram first(settings);
        EXPECT_EQ(first.Client(), QSize(632, 380));
        // Centred, but for the window's border.
        EXPECT_LE((first.form.frameGeometry().center() - screen.center()).manhattanLength(), 4);
        first.form.setGeometry(placed);
        QApplication::processEvents();
        first.form.close();
    }
    {
        StartedProgram second(settings);
        EXPECT_EQ(second.form.geometry(), placed);
        second.form.showMaximized();
        QApplication::processEvents();
        second.form.close();
    }
    {
        StartedProgram third(settings);
        EXPECT_TRUE(third.form.isMaximized());
        EXPECT_EQ(third.form.normalGeometry(), placed);
        third.form.showNormal();
        // Left on a screen that is not there any more.
        third.form.setGeometry(placed.translated(screen.width() + 2000, 0));
        QApplication::processEvents();
        third.form.close();
    }
    StartedProgram fourth(settings);
    EXPECT_FALSE(fourth.form.isMaximized());
    EXPECT_EQ(fourth.Client(), QSize(632, 380));
    EXPECT_LE((fourth.form.frameGeometry().center() - screen.center()).manhattanLength(), 4);
    fourth.form.hide();
}

TEST(MainWindowPlacement, AFittedViewAndTheLargeFontComeBackWithTheWindow) {
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("tarn1.ini"));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect placed(screen.left() + 20, screen.top() + 30, 720, 500);
    ViewState fitted;
    {
        StartedProgram first(settings);
        first.form.findChild<QAction*>("LargeFont")->trigger();
        first.form.setGeometry(placed);
        QApplication::processEvents();
        first.form.findChild<QAction*>("FitPicture")->trigger();
        fitted = first.m.view;
        ASSERT_NE(fitted.Zoom, 27.0f);
        first.form.close();
    }
    {
        // The same window, the same large font and the same fitted gear, Norm ready to go back.
        StartedProgram second(settings);
        QApplication::processEvents();
        EXPECT_EQ(second.form.geometry(), placed);
        EXPECT_EQ(second.m.display.FontScaleX, 1.27f);
        EXPECT_EQ(second.form.findChild<QAction*>("LargeFont")->text().toStdString(),
                  "SetSmall&Font");
        EXPECT_EQ(second.m.view.Zoom, fitted.Zoom);
        EXPECT_EQ(second.m.view.OffsetX, fitted.OffsetX);
        EXPECT_EQ(second.m.view.OffsetY, fitted.OffsetY);
        EXPECT_TRUE(second.form.findChild<QPushButton*>("NormVHZ")->isEnabled());
        // A view moved after the fit is a view of the user's own: not fitted next time.
        second.form.findChild<QScrollBar*>("SBPanHorz")
            ->triggerAction(QAbstractSlider::SliderPageStepAdd);
        second.form.close();
    }
    StartedProgram third(settings);
    QApplication::processEvents();
    EXPECT_EQ(third.m.view.Zoom, 27.0f);
    EXPECT_EQ(third.m.display.FontScaleX, 1.27f);
    third.form.hide();
}

}  // namespace
}  // namespace tarn
