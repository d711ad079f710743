// The valve-events window on its real widgets: the table follows the design, highlights unequal
// ends, copies and saves.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include <gtest/gtest.h>

#include "../core/started_model.h"
#include "core/analysis/eventsgrid.h"
#include "core/io/dimensionfile.h"
#include "core/model/dimensions.h"
#include "core/model/model.h"
#include "core/model/numfmt.h"
#include "dialogs_support.h"
#include "gui/diagrams/valveeventswindow.h"
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
    EXPECT_NE(Cell(table, EventRow::Cutoff, 1, 0)->text(), QStringLiteral("82.36"));

    m.motion.RevArmPositions[4] = 5.0f;  // the reverse-arm dialog's list decides the columns
    m.diagrams.RevArmCount = 4;
    EXPECT_TRUE(w.Refresh());
    ASSERT_EQ(table->columnCount(), 1 + 4 * 3);
    EXPECT_EQ(table->item(0, 10)->text(), QStringLiteral("5.000 Fwd"));
}

TEST(ValveEventsWindow, HighlightsDifferencesBeyondTheToleranceAndShowsAnErrorsReason) {
    Model m = test::StartedModel();
    TValveEvents w(m);
    w.Refresh();
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
