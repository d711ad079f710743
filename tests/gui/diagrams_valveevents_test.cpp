// The valve-events window on its real widgets: the table follows the design off the GUI thread,
// highlights unequal ends, compares with a reference, copies, saves and prints what it shows.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <sstream>

#include <gtest/gtest.h>

#include "../core/started_model.h"
#include "core/analysis/eventsgrid.h"
#include "core/analysis/eventstable.h"
#include "core/io/dimensionfile.h"
#include "core/model/dimensions.h"
#include "core/model/model.h"
#include "core/model/numfmt.h"
#include "core/model/recordingcanvas.h"
#include "core/model/solver.h"
#include "dialogs_support.h"
#include "gui/diagrams/valveeventswindow.h"
#include "gui/dialogs/setrevarm.h"
#include "gui/mainwin/appwindows.h"

using namespace tarn;

namespace {

// The table cell of an event row (0 lead, 1 admission, 2 cut-off ...) at position column group
// `position` and end (0 front, 1 rear, 2 front - rear).
QTableWidgetItem* Cell(QTableWidget* t, EventRow row, int position, int end) {
    return t->item(1 + static_cast<int>(row), 1 + 3 * position + end);
}

}  // namespace

TEST(ValveEventsWindow, ShowsEveryEventOfFiveGearsAtItsDefaultSizeAndFollowsTheDesign) {
    Model m = test::StartedModel();
    TValveEvents w(m);
    auto* table = w.findChild<QTableWidget*>(QStringLiteral("EventsTable"));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Valve Events"));
    w.show();
    QApplication::processEvents();
    EXPECT_FALSE(w.Refresh());  // shown: computed once, nothing changed since
    // Events as rows, the five gears as columns of front, rear and front - rear, all visible.
    ASSERT_EQ(table->rowCount(), 1 + kEventRows);
    ASSERT_EQ(table->columnCount(), 1 + 5 * 3);
    EXPECT_EQ(table->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(table->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(table->item(0, 4)->text(), QStringLiteral("normal forward 4.647 Fwd"));
    EXPECT_EQ(table->columnSpan(0, 4), 3);
    EXPECT_EQ(Cell(table, EventRow::Cutoff, 1, 0)->text(), QStringLiteral("82.36"));
    EXPECT_EQ(Cell(table, EventRow::Cutoff, 1, 1)->text(), QStringLiteral("55.83"));
    EXPECT_EQ(
        Cell(table, EventRow::Cutoff, 1, 1)->toolTip(),
        QStringLiteral("at crank angle 281.374 deg, piston 55.83 % of the stroke from this end"));
    // Admission at 355.618 degrees, turning forward: before the front dead centre.
    EXPECT_EQ(Cell(table, EventRow::Admission, 1, 0)->text(), QStringLiteral("4.38 before"));
    EXPECT_EQ(Cell(table, EventRow::CutoffMark, 1, 0)->text(), QStringLiteral("2.4707"));

    SetDimension(m, 5, 5.2f);  // a dialog, a bar, undo or a file changes the design
    EXPECT_TRUE(w.Refresh());
    w.WaitForResults();
    EXPECT_NE(Cell(table, EventRow::Cutoff, 1, 0)->text(), QStringLiteral("82.36"));
    const QString cutoff = Cell(table, EventRow::Cutoff, 1, 0)->text();
    SetDimension(m, 102, 0.25f);  // the crosshead's and the valve's height belong to it as well
    EXPECT_TRUE(w.Refresh());
    w.WaitForResults();
    EXPECT_NE(Cell(table, EventRow::Cutoff, 1, 0)->text(), cutoff);

    // Asked for them, the reverse-arm dialog's list decides the columns.
    m.motion.RevArmPositions[4] = 5.0f;
    m.diagrams.RevArmCount = 4;
    EXPECT_FALSE(w.Refresh());
    w.findChild<QComboBox*>(QStringLiteral("PositionsChoice"))->setCurrentIndex(1);
    w.WaitForResults();
    ASSERT_EQ(table->columnCount(), 1 + 4 * 3);
    EXPECT_EQ(table->item(0, 10)->text(), QStringLiteral("5.000 Fwd"));
}

TEST(ValveEventsWindow, HighlightsDifferencesBeyondTheToleranceAndShowsAnErrorsReason) {
    Model m = test::StartedModel();
    TValveEvents w(m);
    w.Refresh();
    w.WaitForResults();
    auto* table = w.findChild<QTableWidget*>(QStringLiteral("EventsTable"));
    auto* tol = w.findChild<QDoubleSpinBox*>(QStringLiteral("Tolerance"));
    ASSERT_NE(tol, nullptr);
    EXPECT_DOUBLE_EQ(tol->value(), 2.0);
    auto beyond = [&](int position) {
        return Cell(table, EventRow::Cutoff, position, 2)->data(Qt::UserRole).toBool();
    };
    EXPECT_TRUE(beyond(1));   // 26.53 at normal forward
    EXPECT_FALSE(beyond(2));  // 0.82 at mid gear
    tol->setValue(50.0);
    EXPECT_FALSE(beyond(1));

    SetDimension(m, 13, 0.1f);  // a linkage that cannot close
    w.Refresh();
    w.WaitForResults();
    QTableWidgetItem* reason = table->item(1, 7);
    ASSERT_NE(reason, nullptr);
    EXPECT_TRUE(reason->text().startsWith(QStringLiteral("geometry error at crank angle ")))
        << reason->text().toStdString();
    EXPECT_EQ(table->rowSpan(1, 7), kEventRows);
}

TEST(ValveEventsWindow, ComparesWithAReferenceFromTheOpenDialogLeavingTheDesignAlone) {
    Model m = test::StartedModel();
    QTemporaryDir dir;
    // The reference: the same design with a longer radius rod, saved as a file.
    Model other = test::StartedModel();
    SetDimension(other, 5, GetDimension(other, 5) * 1.03f);
    const QString path = dir.filePath(QStringLiteral("as built.dti"));
    ASSERT_TRUE(SaveDimensionFile(other, path.toStdString()).ok);

    TValveEvents w(m);
    w.show();
    QApplication::processEvents();
    const DimFileImage before = EncodeDimensionFile(m);
    QTimer answer;
    answer.setInterval(5);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            answer.stop();
            d->setDirectory(dir.path());
            d->selectFile(QStringLiteral("as built.dti"));
            QMetaObject::invokeMethod(d, "accept");
        }
    });
    answer.start();
    w.findChild<QPushButton*>(QStringLiteral("CompareWith"))->click();
    answer.stop();
    ASSERT_TRUE(w.HasReference());
    EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("ReferenceName"))->text(),
              QStringLiteral("Reference: as built"));
    EXPECT_TRUE(EncodeDimensionFile(m) == before);

    auto* table = w.findChild<QTableWidget*>(QStringLiteral("EventsTable"));
    auto* show = w.findChild<QComboBox*>(QStringLiteral("ShowTable"));
    auto value = [&](int mode, EventRow row, int end) {
        show->setCurrentIndex(mode);
        return ParseNumber(Cell(table, row, 1, end)->text().toStdString());
    };
    // Design, reference and their difference, at normal forward.
    for (EventRow row : {EventRow::Cutoff, EventRow::Lead, EventRow::CutoffMark}) {
        const long double mine = value(0, row, 0), theirs = value(1, row, 0);
        EXPECT_NE(mine, theirs);
        EXPECT_NEAR(static_cast<double>(value(2, row, 0)), static_cast<double>(mine - theirs),
                    0.011);
    }
    // The curve draws the reference too: its picture says so.
    EXPECT_TRUE(w.CurvePicture().subject.contains(QStringLiteral("as built")));

    w.findChild<QPushButton*>(QStringLiteral("ClearReference"))->click();
    EXPECT_FALSE(w.HasReference());
    EXPECT_FALSE(show->isEnabled());
    // A file the program refuses is reported and leaves no reference.
    QFile bad(dir.filePath(QStringLiteral("bad.dti")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a design");
    bad.close();
    EXPECT_FALSE(w.LoadReference(bad.fileName()).isEmpty());
    EXPECT_FALSE(w.HasReference());
}

TEST(ValveEventsWindow, CopyAndSave) {
    Model m = test::StartedModel();
    TValveEvents w(m);
    w.findChild<QPushButton*>(QStringLiteral("Copy"))->click();
    const QString text = QApplication::clipboard()->text();
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Rev arm pos [len]\tGear\tCrank turns\t")));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("4.647\tnormal forward\tFwd\t")));

    const QString path =
        QString::fromStdString(::testing::TempDir()) + QStringLiteral("/events.csv");
    ASSERT_TRUE(w.SaveCsv(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList csv =
        QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(csv.size(), 6);
    EXPECT_TRUE(csv[2].startsWith(QStringLiteral("4.647,normal forward,Fwd,355.618,")));
    std::remove(path.toStdString().c_str());
    EXPECT_FALSE(w.SaveCsv(QStringLiteral("/nonexistent-folder/x.csv")));
}

TEST(ValveEventsWindow, AFailedSaveThroughItsDialogSaysWhy) {
    Model m = test::StartedModel();
    TValveEvents w(m);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/events.csv"));
    // The save dialog, then the message box: each answered from the event loop once it is up.
    bool chosen = false;
    QString shown;
    QTimer answer;
    answer.setInterval(5);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* d = qobject_cast<QFileDialog*>(modal); d && !chosen) {
            chosen = true;
            d->setDirectory(dir.path());
            d->selectFile(QStringLiteral("missing/events.csv"));
            QMetaObject::invokeMethod(d, "accept");
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            shown = box->text();
            box->accept();
            answer.stop();
        }
    });
    answer.start();
    w.findChild<QPushButton*>(QStringLiteral("Save"))->click();
    answer.stop();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(shown.toStdString(),
              "Cannot write " + path.toStdString() + ": No such file or directory");
}

TEST(ValveEventsWindow, OpensFromTheDrawGraphsMenuWithoutBlocking) {
    Model m;
    TMainForm form(m, std::make_unique<SilentSound>());
    form.findChild<QTimer*>(QStringLiteral("Timer1"))->stop();
    CreateAppWindows(m, form);
    auto* item = form.findChild<QAction*>(QStringLiteral("ValveEvents1"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QStringLiteral("&ValveEvents"));
    item->trigger();  // returns at once: the window is not modal
    auto* w = form.findChild<TValveEvents*>(QStringLiteral("ValveEvents"));
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->isModal());
    EXPECT_EQ(w->findChild<QTableWidget*>(QStringLiteral("EventsTable"))->columnCount(), 16);
    w->close();
}

namespace {

// The design saved with every dimension a hundred times as large: the same gear, numbers that
// need wider columns.
QString SaveScaledDesign(const QTemporaryDir& dir, const QString& name) {
    Model big = test::StartedModel();
    for (const DimensionInfo& d : Dimensions())
        SetDimension(big, d.id, GetDimension(big, d.id) * 100);
    CentreRevArm(big);
    const QString path = dir.filePath(name);
    EXPECT_TRUE(SaveDimensionFile(big, path.toStdString()).ok);
    return path;
}

QStringList Headings(QTableWidget* t) {
    QStringList out;
    for (int c = 1; c < t->columnCount(); c += 3)
        out << (t->item(0, c) ? t->item(0, c)->text() : QString());
    return out;
}

}  // namespace

TEST(ValveEventsWindow, ShowsTheFiveGearsUnlessAskedForTheDiagramsOrTypedPositions) {
    Model m = test::StartedModel();
    // Opening a diagram runs the reverse-arm dialog, which lists Cen, Rev and Fwd.
    {
        TSetRevArm positions(m);
        positions.show();
        positions.close();
    }
    ASSERT_EQ(m.diagrams.RevArmCount, 3);
    TValveEvents w(m);
    w.show();
    QApplication::processEvents();
    auto* table = w.findChild<QTableWidget*>(QStringLiteral("EventsTable"));
    auto* choice = w.findChild<QComboBox*>(QStringLiteral("PositionsChoice"));
    auto* typed = w.findChild<QLineEdit*>(QStringLiteral("TypedPositions"));
    auto* shown = w.findChild<QLabel*>(QStringLiteral("PositionsShown"));
    ASSERT_NE(choice, nullptr);
    ASSERT_NE(typed, nullptr);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(choice->currentText(), QStringLiteral("Standard gears"));
    EXPECT_EQ(shown->text(), QStringLiteral("Shown: the five standard gears."));
    EXPECT_EQ(Headings(table), QStringList({"full forward 4.447 Fwd", "normal forward 4.647 Fwd",
                                            "mid gear 6.247 Fwd", "normal reverse 7.847 Rev",
                                            "full reverse 8.047 Rev"}));
    EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("PistonTravelNote"))->text(),
              QStringLiteral(
                  "Piston positions are the crosshead's true travel between its dead centres."));

    choice->setCurrentIndex(1);
    w.WaitForResults();
    EXPECT_EQ(Headings(table), QStringList({"mid gear 6.247 Fwd", "normal reverse 7.847 Rev",
                                            "normal forward 4.647 Fwd"}));
    EXPECT_EQ(shown->text(), QStringLiteral("Shown: the 3 positions listed for the diagrams."));

    choice->setCurrentIndex(2);
    ASSERT_TRUE(typed->isEnabled());
    typed->setFocus();
    QTest::keyClicks(typed, "max, 5.1");
    QTest::keyClick(typed, Qt::Key_Return);
    w.WaitForResults();
    EXPECT_EQ(Headings(table), QStringList({"full reverse 8.047 Rev", "5.100 Fwd"}));
    EXPECT_EQ(shown->text(), QStringLiteral("Shown: the 2 positions typed."));
    typed->clear();
    QTest::keyClicks(typed, "5.1, fast");
    QTest::keyClick(typed, Qt::Key_Return);
    w.WaitForResults();
    EXPECT_EQ(table->columnCount(), 1 + 5 * 3);
    EXPECT_EQ(shown->text(),
              QStringLiteral("Not a position: \"fast\". Shown: the five standard gears."));
}

TEST(ValveEventsWindow, WorksOnlyWhenTheDesignChangesAndOffTheGuiThread) {
    Model m = test::StartedModel();
    TValveEvents w(m);
    w.show();
    QApplication::processEvents();
    auto* table = w.findChild<QTableWidget*>(QStringLiteral("EventsTable"));
    const QString before = Cell(table, EventRow::Cutoff, 1, 0)->text();
    // Panning, zooming and turning the crank change nothing the events depend on.
    m.view.OffsetX += 40;
    m.view.Zoom *= 2;
    m.motion.CrankAngle = 90;
    SolveLinkage(m);
    EXPECT_FALSE(w.Refresh());

    // A jog step starts the work and returns at once: the table changes only when the numbers
    // come back through the event loop.
    SetDimension(m, 5, GetDimension(m, 5) + 0.05f);
    EXPECT_TRUE(w.Refresh());
    EXPECT_EQ(Cell(table, EventRow::Cutoff, 1, 0)->text(), before);
    // A second step before the first is shown: only the newest numbers stay.
    SetDimension(m, 5, GetDimension(m, 5) + 0.05f);
    EXPECT_TRUE(w.Refresh());
    w.WaitForResults();
    QApplication::processEvents();
    const EventsGrid expected =
        BuildEventsGrid(m, AnalysePositions(m, StandardGearPositions(m)), 2);
    EXPECT_EQ(Cell(table, EventRow::Cutoff, 1, 0)->text().toStdString(),
              expected.columns[1].cells[static_cast<int>(EventRow::Cutoff)][0].text);
    EXPECT_NE(Cell(table, EventRow::Cutoff, 1, 0)->text(), before);

    // A window closed while it works waits for its thread and leaves nothing queued behind.
    {
        TValveEvents gone(m);
        SetDimension(m, 5, GetDimension(m, 5) + 0.05f);
        gone.Refresh();
    }
    QApplication::processEvents();
}

TEST(ValveEventsWindow, FitsTheTableAgainWhenItsContentGrows) {
    Model m = test::StartedModel();
    QTemporaryDir dir;
    const QString path = SaveScaledDesign(dir, QStringLiteral("large.dti"));
    TValveEvents w(m);
    w.show();
    QApplication::processEvents();
    auto* table = w.findChild<QTableWidget*>(QStringLiteral("EventsTable"));
    ASSERT_TRUE(w.LoadReference(path).isEmpty());
    auto* show = w.findChild<QComboBox*>(QStringLiteral("ShowTable"));
    for (int mode : {1, 2}) {
        show->setCurrentIndex(mode);
        QApplication::processEvents();
        // The reference's marks are a hundred times as long: wider columns, still all in sight.
        EXPECT_EQ(table->horizontalScrollBar()->maximum(), 0) << mode;
        EXPECT_EQ(table->verticalScrollBar()->maximum(), 0) << mode;
    }
}

TEST(ValveEventsWindow, CopiesWhatShowShowsAndSaysWhichDesignIsBetter) {
    Model m = test::StartedModel();
    QTemporaryDir dir;
    Model other = test::StartedModel();
    SetDimension(other, 5, GetDimension(other, 5) * 1.03f);
    const QString path = dir.filePath(QStringLiteral("as built.dti"));
    ASSERT_TRUE(SaveDimensionFile(other, path.toStdString()).ok);
    m.design.DesignName = "Drawn";
    TValveEvents w(m);
    w.show();
    QApplication::processEvents();
    ASSERT_TRUE(w.LoadReference(path).isEmpty());
    auto* table = w.findChild<QTableWidget*>(QStringLiteral("EventsTable"));
    auto* show = w.findChild<QComboBox*>(QStringLiteral("ShowTable"));
    auto* copy = w.findChild<QPushButton*>(QStringLiteral("Copy"));

    // The reference's own events, as the command line would print them for its file.
    show->setCurrentIndex(1);
    copy->click();
    Model loaded = test::StartedModel();
    ASSERT_TRUE(LoadDimensionFile(loaded, path.toStdString()).ok);
    std::ostringstream theirs;
    WriteEventsDelimited(
        theirs, loaded,
        AnalysePositions(loaded, MatchingPositions(m, StandardGearPositions(m), loaded)), '\t');
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), theirs.str());

    // The comparison: which way the balance of the ends went, read off the two tables.
    auto text = [&](int mode, int position) {
        show->setCurrentIndex(mode);
        return Cell(table, EventRow::Cutoff, position, 2)->text();
    };
    int compared = 0;
    for (int position = 0; position < 5; ++position) {
        const QString a = text(0, position), b = text(1, position), said = text(2, position);
        if (a == QStringLiteral("-") || b == QStringLiteral("-")) {
            EXPECT_EQ(said, QStringLiteral("-"));  // an end without cut-off: nothing to compare
            continue;
        }
        const double mine = std::fabs(static_cast<double>(ParseNumber(a.toStdString())));
        const double ref = std::fabs(static_cast<double>(ParseNumber(b.toStdString())));
        if (std::fabs(mine - ref) < 0.006) continue;
        ++compared;
        EXPECT_TRUE(
            said.endsWith(mine < ref ? QStringLiteral(" better") : QStringLiteral(" worse")))
            << position << ": " << said.toStdString() << " " << mine << " " << ref;
        EXPECT_NEAR(
            static_cast<double>(ParseNumber(said.section(QLatin1Char(' '), 0, 0).toStdString())),
            std::fabs(mine - ref), 0.011);
    }
    EXPECT_GE(compared, 2);
    EXPECT_EQ(table->horizontalHeaderItem(3)->text(), QStringLiteral("|F - R|"));
    copy->click();
    const QStringList lines = QApplication::clipboard()->text().split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 3 + kEventRows);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Drawn minus the reference as built")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("\tFront\tRear\t|F - R|\t")));
    EXPECT_TRUE(lines[3 + static_cast<int>(EventRow::Cutoff)].startsWith(
        QStringLiteral("Cut-off [% of stroke]\t")));
    EXPECT_TRUE(QApplication::clipboard()->text().contains(QStringLiteral(" better")) ||
                QApplication::clipboard()->text().contains(QStringLiteral(" worse")));

    // The printed and exported sheet: both names, the table as shown and the curve below it.
    const Picture sheet = w.SheetPicture();
    EXPECT_TRUE(sheet.subject.contains(QStringLiteral("Drawn")));
    EXPECT_TRUE(sheet.subject.contains(QStringLiteral("as built")));
    RecordingCanvas rec;
    sheet.draw(rec);
    EXPECT_NE(rec.FindText("Valve events of Drawn against the reference as built"), nullptr);
    EXPECT_NE(rec.FindText("Cut-off [% of stroke]"), nullptr);
    EXPECT_NE(rec.FindText(Cell(table, EventRow::Cutoff, 1, 2)->text().toStdString()), nullptr);
    EXPECT_NE(
        rec.FindText("Piston positions are the crosshead's true travel between its dead centres."),
        nullptr);
    EXPECT_GT(sheet.pixels.height() / sheet.pixels.devicePixelRatio(),
              w.findChild<QWidget*>(QStringLiteral("GearCurve"))->height() + table->height() / 2);
}

TEST(ValveEventsWindow, ADimensionDialogOpensBesideTheTable) {
    Model m;
    TMainForm form(m, std::make_unique<SilentSound>());
    form.findChild<QTimer*>(QStringLiteral("Timer1"))->stop();
    const AppWindows windows = CreateAppWindows(m, form);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    form.show();
    auto* w = dynamic_cast<TValveEvents*>(windows.ValveEvents);
    w->show();
    QApplication::processEvents();
    // The events window at the screen's top left, narrow, its table in the corner.
    w->move(screen.topLeft());
    w->resize(screen.width() / 2, w->minimumSizeHint().height());
    QApplication::processEvents();
    auto* table = w->findChild<QTableWidget*>(QStringLiteral("EventsTable"));
    auto* frame = w->findChild<QPushButton*>(QStringLiteral("FrameDimensionsButton"));
    ASSERT_NE(frame, nullptr);
    QRect dialog, kept;
    QTimer answer;
    answer.setInterval(5);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            answer.stop();
            dialog = d->frameGeometry();
            kept = QRect(table->mapToGlobal(QPoint(0, 0)), table->size());
            d->reject();
        }
    });
    answer.start();
    frame->click();
    answer.stop();
    ASSERT_FALSE(dialog.isEmpty());
    EXPECT_FALSE(dialog.intersects(kept))
        << dialog.x() << "," << dialog.y() << " " << kept.x() << "," << kept.y() << " "
        << kept.width() << "x" << kept.height();
    EXPECT_TRUE(screen.contains(dialog));
    w->close();
}
