// The diagram windows and the pivot data table on the real widgets: names and places of the
// controls, activation once per opening, the main timer stopped and restarted, the stale
// redraw, the dynamic-variable bars and UnDo wired to the variation routines, the clipboard.
#include <QApplication>
#include <QClipboard>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

#include "core/model/dimensions.h"
#include "core/model/numfmt.h"
#include "core/variation/commit.h"
#include "gui/common/qpaintercanvas.h"
#include "gui/diagrams/datatable.h"
#include "gui/diagrams/diagramwindow.h"
#include "gui/mainwin/appwindows.h"
#include "gui/mainwin/mainform.h"

using namespace tarn;

namespace {

// The main window's timer is stopped, so that no tick runs between the steps of a test (nor in a
// modal window's loop), unless the test is about the timer.
constexpr bool kTimerRuns = true;

struct App {
    Model m;
    std::unique_ptr<TMainForm> form;
    AppWindows w;
    explicit App(bool timerRuns = false) {
        form = std::make_unique<TMainForm>(m, std::make_unique<SilentSound>());
        w = CreateAppWindows(m, *form);
        if (!timerRuns) Timer()->stop();
        m.diagrams.RevArmCount = 3;
    }
    TDiagramWindow* Dia(DiagramKind k) {
        QDialog* d = k == DiagramKind::Sine    ? w.SineDia
                     : k == DiagramKind::Oval  ? w.OvalDia
                     : k == DiagramKind::Steam ? w.SteamDia
                                               : w.PortDia;
        return dynamic_cast<TDiagramWindow*>(d);
    }
    QTimer* Timer() { return form->findChild<QTimer*>("Timer1"); }
};

constexpr DiagramKind kAll[] = {DiagramKind::Sine, DiagramKind::Oval, DiagramKind::Steam,
                                DiagramKind::Port};

int NonWhite(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) ++n;
    return n;
}

int RedPixels(const QImage& img, QRect r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qRed(img.pixel(x, y)) > 200 && qGreen(img.pixel(x, y)) < 120 &&
                qBlue(img.pixel(x, y)) < 120)
                ++n;  // text is smoothed: reddish counts
    return n;
}

// Slot 1 holds Link Radius, as after leaving its field.
void ChooseLinkRadius(Model& m) {
    m.undo.EditChanged = false;
    CommitDimensionField(m, 6, "5.0");
}

}  // namespace

TEST(DiagramWindows, ControlsCarryTheirNamesPlacesAndStartStates) {
    App a;
    for (DiagramKind kind : kAll) {
        TDiagramWindow* d = a.Dia(kind);
        ASSERT_NE(d, nullptr);
        const DiagramWindowNames& n = NamesOf(kind);
        EXPECT_EQ(d->objectName(), n.objectName);
        auto* close = d->findChild<QPushButton*>(n.closeButton);
        ASSERT_NE(close, nullptr);
        EXPECT_EQ(close->geometry(), QRect(n.closeX, n.closeY, 75, 25));
        EXPECT_EQ(close->text(), "Close");
        EXPECT_FALSE(close->autoDefault());
        for (int k = 0; k < 4; ++k) {
            auto* bar = d->findChild<QScrollBar*>(n.bars[k]);
            ASSERT_NE(bar, nullptr);
            EXPECT_EQ(bar->geometry(), QRect(112, 3 + 12 * k, 121, 10));
            EXPECT_EQ(bar->minimum(), -200);
            EXPECT_EQ(bar->maximum(), 200);
            EXPECT_EQ(bar->pageStep(), 10);
            EXPECT_TRUE(bar->isHidden());
        }
        auto* undo = d->findChild<QPushButton*>(n.undoButton);
        ASSERT_NE(undo, nullptr);
        EXPECT_EQ(undo->geometry(), QRect(110, 54, 40, 16));
        EXPECT_TRUE(undo->isHidden());
        EXPECT_FALSE(undo->isEnabled());
        EXPECT_NE(d->findChild<QMenuBar*>(n.menu), nullptr);
        EXPECT_EQ(d->findChild<QAction*>(n.undoItem)->text(), "&UnDo");
        EXPECT_EQ(d->findChild<QAction*>(n.dynVarItem)->text(), n.dynVarCaption);
        EXPECT_EQ(d->findChild<QAction*>(n.redrawItem)->text(), n.redrawCaption);
        EXPECT_EQ(d->Picture().size(), QSize(632, kind == DiagramKind::Oval ? 426 : 414));
    }
    EXPECT_EQ(a.Dia(DiagramKind::Sine)->findChild<QAction*>("DynVari")->text(),
              "&DymamicVariables");
    auto* port = a.Dia(DiagramKind::Port);
    EXPECT_NE(port->findChild<QAction*>("BothGraphs1"), nullptr);
    EXPECT_EQ(port->findChild<QAction*>("SetRevArmPos"), nullptr);
}

TEST(DiagramWindows, ActivationStopsTheTimerAsksForPositionsAndDraws) {
    for (DiagramKind kind : kAll) {
        App a(kTimerRuns);
        TDiagramWindow* d = a.Dia(kind);
        int asked = 0;
        d->SetRevArmDialogRunner([&] { ++asked; });
        a.m.motion.CrankAngle = 40;
        const f32 arm = a.m.motion.RevArmPos;
        ASSERT_TRUE(a.Timer()->isActive());
        d->show();
        QApplication::processEvents();
        EXPECT_FALSE(a.Timer()->isActive());
        EXPECT_EQ(asked, kind == DiagramKind::Port ? 0 : 1);
        EXPECT_GT(NonWhite(d->Picture()), 1000);
        // Switching windows is no new opening.
        d->activateWindow();
        QApplication::processEvents();
        EXPECT_EQ(asked, kind == DiagramKind::Port ? 0 : 1);
        // Closing resumes the animation where it was.
        d->reject();
        EXPECT_TRUE(a.Timer()->isActive());
        EXPECT_EQ(a.m.motion.CrankAngle, 40.0f);
        EXPECT_EQ(a.m.motion.RevArmPos, arm);
    }
}

TEST(DiagramWindows, PortOpensOnTheForwardGraph) {
    App a;
    a.m.diagrams.PortGraphMode = PortGraphMode::Both;
    a.Dia(DiagramKind::Port)->FormActivate();
    EXPECT_EQ(a.m.diagrams.PortGraphMode, PortGraphMode::Forward);
    a.Dia(DiagramKind::Port)->BothGraphs1Click();
    EXPECT_EQ(a.m.diagrams.PortGraphMode, PortGraphMode::Both);
    a.Dia(DiagramKind::Port)->ReverseGraph1Click();
    EXPECT_EQ(a.m.diagrams.PortGraphMode, PortGraphMode::Reverse);
}

TEST(DiagramWindows, StaleDiagramRedrawsOnTheNextMouseMove) {
    App a;
    TDiagramWindow* d = a.Dia(DiagramKind::Sine);
    d->SetRevArmDialogRunner([&] {
        a.m.diagrams.RevArmCount = 1;  // the user kept one position
        a.m.diagrams.DiagramStale = true;
    });
    d->SetRevArmPosClick();
    const QImage before = d->Picture().copy();
    d->FormMouseMove();
    EXPECT_FALSE(a.m.diagrams.DiagramStale);
    EXPECT_NE(d->Picture(), before);
    // The port window has no mouse-move redraw.
    a.m.diagrams.DiagramStale = true;
    a.Dia(DiagramKind::Port)->FormMouseMove();
    EXPECT_TRUE(a.m.diagrams.DiagramStale);
}

TEST(DiagramWindows, DynamicVariablesShowBarsHereAndInTheMainWindow) {
    App a;
    TDiagramWindow* d = a.Dia(DiagramKind::Oval);
    d->DynVariClick();
    EXPECT_TRUE(a.m.display.DynVarOn);
    auto* bar1 = d->findChild<QScrollBar*>("SBDynVarO1");
    EXPECT_FALSE(bar1->isHidden());
    EXPECT_FALSE(bar1->isEnabled());  // no dimension chosen yet
    EXPECT_FALSE(a.form->findChild<QScrollBar*>("SBDynVar1")->isHidden());
    EXPECT_FALSE(a.form->findChild<QWidget*>("Panel7")->isHidden());
    // The red notice is in the picture.
    EXPECT_GT(RedPixels(d->Picture(), QRect(235, 0, 160, 40)), 50);
    d->Picture().save("diagram_oval_dynvars.png");
    d->DynVariClick();
    EXPECT_FALSE(a.m.display.DynVarOn);
    EXPECT_TRUE(bar1->isHidden());
    EXPECT_TRUE(a.form->findChild<QScrollBar*>("SBDynVar1")->isHidden());
}

TEST(DiagramWindows, BarJogsTheDimensionAndOneInteractionIsOneUndo) {
    App a;
    ChooseLinkRadius(a.m);
    TDiagramWindow* d = a.Dia(DiagramKind::Sine);
    d->DynVariClick();
    auto* bar = d->findChild<QScrollBar*>("SBDynVarS1");
    ASSERT_TRUE(bar->isEnabled());
    const float before = a.m.design.LinkRadius;
    d->SBDynVarInteractionStart(1);
    bar->setValue(1);  // an arrow step
    EXPECT_EQ(bar->value(), 0);
    bar->setValue(1);
    d->SBDynVarInteractionEnd(1);
    EXPECT_FLOAT_EQ(a.m.design.LinkRadius, before + 0.002f);
    EXPECT_EQ(a.m.undo.UndoCount, 1);
    auto* undo = d->findChild<QPushButton*>("UnDoDnS");
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_TRUE(a.form->findChild<QPushButton*>("UnDoDn")->isEnabled());
    EXPECT_TRUE(d->findChild<QPushButton*>("CloseSin")->hasFocus() || !d->isVisible());
    d->UnDoButtonClick();
    EXPECT_FLOAT_EQ(a.m.design.LinkRadius, before);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(a.form->findChild<QPushButton*>("UnDoDn")->isEnabled());
    // An UnDo on the empty history only disables the buttons.
    d->UnDoButtonClick();
    EXPECT_FLOAT_EQ(a.m.design.LinkRadius, before);
}

TEST(DiagramWindows, UndoItemShowsTheLineAndTheButton) {
    App a;
    TDiagramWindow* d = a.Dia(DiagramKind::Steam);
    d->Redraw();
    d->UnDoItemClick();
    EXPECT_TRUE(a.m.display.UndoOn);
    EXPECT_FALSE(d->findChild<QPushButton*>("UnDoDnSt")->isHidden());
    EXPECT_EQ(a.m.readouts.UndoLine.size(), 2u + 2u + 1u + 6u + 4u + 6u + 46u);
    d->UnDoItemClick();
    EXPECT_FALSE(a.m.display.UndoOn);
    EXPECT_TRUE(d->findChild<QPushButton*>("UnDoDnSt")->isHidden());
}

TEST(DiagramWindows, PictureIsRetainedAndPainted) {
    App a;
    TDiagramWindow* d = a.Dia(DiagramKind::Port);
    d->SetRevArmDialogRunner([] {});
    d->show();
    QApplication::processEvents();
    auto* view = d->findChild<QWidget*>("ClientArea");
    ASSERT_NE(view, nullptr);
    const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage kept = d->Picture().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), kept.size());
    // The child controls cover part of it; the rest is the retained picture.
    const QRect free(0, 80, 632, 300);
    EXPECT_EQ(shown.copy(free), kept.copy(free));
    d->reject();
}

TEST(DiagramWindows, LargeFontWidensTheClientArea) {
    App a;
    a.m.display.FontScaleX = 1.27f;
    a.m.display.FontScaleY = 1.22f;
    TDiagramWindow* d = a.Dia(DiagramKind::Sine);
    d->SetRevArmDialogRunner([] {});
    d->FormActivate();
    EXPECT_EQ(d->Picture().width(), Round(632 * static_cast<long double>(1.27f)));
}

// ---------------------------------------------------------------- data table

TEST(DataTableWindow, OpeningBuildsTheTableAndClipboardWorks) {
    App a(kTimerRuns);
    auto* t = dynamic_cast<TDataTable*>(a.w.DataTable);
    ASSERT_NE(t, nullptr);
    t->SetClock([] { return QDateTime(QDate(2024, 2, 1), QTime(13, 45)); });
    t->SetTableLocale(QLocale(QLocale::English, QLocale::UnitedKingdom));
    t->show();
    auto* memo = t->findChild<QPlainTextEdit*>("DataMemo");
    ASSERT_NE(memo, nullptr);
    const QStringList lines = memo->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 4 + 37);
    EXPECT_TRUE(lines[0].startsWith("Pivot Data   Nominal     01/02/2024   13:45"));
    EXPECT_TRUE(lines[4].startsWith("   0.00"));
    EXPECT_TRUE(lines.last().startsWith(" 360.00"));
    // The timer keeps running under the table.
    EXPECT_TRUE(a.Timer()->isActive());

    auto* cut = t->findChild<QAction*>("Cut1");
    auto* copy = t->findChild<QAction*>("Copy1");
    auto* all = t->findChild<QAction*>("SelectAll1");
    EXPECT_FALSE(cut->isEnabled());
    EXPECT_FALSE(copy->isEnabled());
    t->SelectAll1Click();
    EXPECT_TRUE(copy->isEnabled());
    EXPECT_FALSE(all->isEnabled());
    t->Copy1Click();
    EXPECT_EQ(QApplication::clipboard()->text(), memo->toPlainText());
    EXPECT_TRUE(all->isEnabled());
    // Pasted text goes away at the next opening.
    QApplication::clipboard()->setText("pasted");
    memo->moveCursor(QTextCursor::End);
    t->Past1Click();
    EXPECT_TRUE(memo->toPlainText().endsWith("pasted"));
    t->hide();
    t->show();
    EXPECT_FALSE(memo->toPlainText().contains("pasted"));
    EXPECT_FALSE(cut->isEnabled());
    t->hide();
}

TEST(DataTableWindow, ZeroStepStillEnds) {
    App a;
    a.m.motion.StepSetting = 0;
    auto* t = dynamic_cast<TDataTable*>(a.w.DataTable);
    t->FormActivate();
    EXPECT_GT(t->findChild<QPlainTextEdit*>("DataMemo")->blockCount(), 30000);
}

// ---------------------------------------------------------------- pictures for a person

TEST(DiagramPictures, DefaultDesignAtCentreNormalForwardAndReverse) {
    App a;
    a.m.diagrams.RevArmCount = 3;  // centre, normal reverse, normal forward
    for (DiagramKind kind : kAll) {
        TDiagramWindow* d = a.Dia(kind);
        if (kind == DiagramKind::Port) a.m.diagrams.PortGraphMode = PortGraphMode::Both;
        d->Redraw();
        const char* file = kind == DiagramKind::Sine    ? "diagram_sine.png"
                           : kind == DiagramKind::Oval  ? "diagram_oval.png"
                           : kind == DiagramKind::Steam ? "diagram_steam.png"
                                                        : "diagram_port.png";
        EXPECT_TRUE(d->Picture().save(QString::fromLatin1(file)));
    }
}

TEST(DiagramWindows, OpeningAsksForPositionsWithTheRealDialogThenDrawsThem) {
    App a(kTimerRuns);
    a.m.diagrams.RevArmCount = 0;
    TDiagramWindow* d = a.Dia(DiagramKind::Sine);
    d->show();  // queues the activation
    // Runs inside the positions dialog's own loop: the user closes it with "Close".
    QTimer::singleShot(0, d, [&] {
        QDialog* set = a.w.SetRevArm;
        ASSERT_TRUE(set->isVisible());
        set->findChild<QPushButton*>("Close1")->click();
    });
    QApplication::processEvents();
    // Close1 re-read the list (three positions from the centre calculation) and marked the
    // diagrams stale; the drawing after it shows the three curves.
    EXPECT_EQ(a.m.diagrams.RevArmCount, 3);
    EXPECT_TRUE(a.m.diagrams.DiagramStale);
    const QImage first = d->Picture().copy();
    EXPECT_GT(NonWhite(first), 5000);
    d->FormMouseMove();
    EXPECT_FALSE(a.m.diagrams.DiagramStale);
    EXPECT_EQ(d->Picture(), first);  // nothing changed meanwhile: the same picture again
    d->reject();
    EXPECT_TRUE(a.Timer()->isActive());
}

TEST(DataTableWindow, DataTableButtonOpensTheTable) {
    App a;
    bool shown = false;
    QTimer::singleShot(0, a.w.DataTable, [&] {
        shown = a.w.DataTable->isVisible();
        a.w.DataTable->findChild<QAction*>("Close1")->trigger();
    });
    a.form->findChild<QPushButton*>("DataTableBut")->click();
    EXPECT_TRUE(shown);
    EXPECT_FALSE(a.w.DataTable->isVisible());
}

TEST(DiagramWindows, UndoLineOverBothPortGraphsKeepsBothGraphs) {
    App a;
    TDiagramWindow* d = a.Dia(DiagramKind::Port);
    d->BothGraphs1Click();
    d->UnDoItemClick();  // the line is painted without losing the reverse graph
    QImage expected(d->Picture().size(), QImage::Format_RGB32);
    {
        QPainterCanvas c(expected);
        PortBothGraphs(a.m, c);
    }
    EXPECT_EQ(d->Picture().convertToFormat(QImage::Format_RGB32), expected);
}
