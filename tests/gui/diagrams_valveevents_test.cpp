// The valve-events window on its real widgets: the table follows the design, highlights unequal
// ends, copies and saves.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include <gtest/gtest.h>

#include "../core/started_model.h"
#include "core/model/dimensions.h"
#include "core/model/model.h"
#include "dialogs_support.h"
#include "gui/diagrams/valveeventswindow.h"
#include "gui/mainwin/appwindows.h"

using namespace tarn;

namespace {

int Column(QTableWidget* t, const QString& title) {
    for (int c = 0; c < t->columnCount(); ++c)
        if (t->horizontalHeaderItem(c)->text() == title) return c;
    return -1;
}

}  // namespace

TEST(ValveEventsWindow, FollowsTheDesignAndRecomputesOnlyOnChange) {
    Model m = test::StartedModel();
    TValveEvents w(m);
    auto* table = w.findChild<QTableWidget*>(QStringLiteral("EventsTable"));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Valve Events"));
    EXPECT_TRUE(w.Refresh());
    EXPECT_FALSE(w.Refresh());
    ASSERT_EQ(table->rowCount(), 5);
    EXPECT_EQ(table->columnCount(), 29);
    EXPECT_EQ(table->item(1, 1)->text(), QStringLiteral("normal forward"));
    const int cut = Column(table, QStringLiteral("Front cut-off [%]"));
    ASSERT_GE(cut, 0);
    const QString before = table->item(1, cut)->text();

    SetDimension(m, 5, 5.2f);  // a dialog, a bar, undo or a file changes the design
    EXPECT_TRUE(w.Refresh());
    EXPECT_NE(table->item(1, cut)->text(), before);

    m.motion.RevArmPositions[4] = 5.0f;  // the reverse-arm dialog's list decides the rows
    m.diagrams.RevArmCount = 4;
    EXPECT_TRUE(w.Refresh());
    ASSERT_EQ(table->rowCount(), 4);
    EXPECT_EQ(table->item(3, 0)->text(), QStringLiteral("5.000"));
}

TEST(ValveEventsWindow, HighlightsDifferencesBeyondTheTolerance) {
    Model m = test::StartedModel();
    TValveEvents w(m);
    w.Refresh();
    auto* table = w.findChild<QTableWidget*>(QStringLiteral("EventsTable"));
    auto* tol = w.findChild<QDoubleSpinBox*>(QStringLiteral("Tolerance"));
    ASSERT_NE(tol, nullptr);
    EXPECT_DOUBLE_EQ(tol->value(), 2.0);
    const int diff = Column(table, QStringLiteral("Cut-off front-rear [%]"));
    ASSERT_GE(diff, 0);
    EXPECT_TRUE(table->item(1, diff)->data(Qt::UserRole).toBool());   // 29.63 at normal forward
    EXPECT_FALSE(table->item(2, diff)->data(Qt::UserRole).toBool());  // 1.60 at mid gear
    tol->setValue(50.0);
    EXPECT_FALSE(table->item(1, diff)->data(Qt::UserRole).toBool());
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
    EXPECT_EQ(w->findChild<QTableWidget*>(QStringLiteral("EventsTable"))->rowCount(), 5);
    w->close();
}
