// The real open dialog of "&OpenDimensions": a design file without write permission is listed
// and opened like any other; a pipe chosen in it is refused at once with a message box.
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "../core/fifo.h"
#include "core/io/dimensionfile.h"
#include "tools_support.h"

using namespace tarn;
using namespace tarn::testing;

TEST(ToolsOpen, TheOpenDialogListsAndOpensAReadOnlyDesign) {
    Program p;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Locked.dti"));
    Model saved;
    StartUp(saved);
    saved.design.StrokeLen = 3.25f;
    ASSERT_TRUE(SaveDimensionFile(saved, path.toStdString()).ok);
    ASSERT_TRUE(QFile::setPermissions(
        path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    bool listed = false;
    bool seen = false;
    WhenModal([&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!d) {
            if (QWidget* w = QApplication::activeModalWidget()) w->close();
            return;
        }
        seen = true;
        d->setDirectory(dir.path());
        if (auto* model = d->findChild<QFileSystemModel*>())
            listed = QTest::qWaitFor([&] { return model->index(path).isValid(); }, 5000);
        d->selectFile(path);
        QMetaObject::invokeMethod(d, "accept");
    });
    p.files->OpenDimensionsClick();
    ASSERT_TRUE(seen);
    EXPECT_TRUE(listed);
    EXPECT_EQ(p.m.design.DesignName, "Locked");
    EXPECT_EQ(p.m.design.StrokeLen, 3.25f);
}

TEST(ToolsOpen, APipeChosenInTheOpenDialogIsRefusedAtOnceWithAMessageBox) {
    Program p;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("pipe.dti"));
    const test::Fifo pipe(path.toStdString(), test::Fifo::Writer::Ready);
    ASSERT_TRUE(pipe.made());
    p.m.design.StrokeLen = 3.25f;
    const auto before = EncodeDimensionFile(p.m);

    bool chosen = false;
    QString shown;
    // The message box comes up after the dialog has closed: looked for from the event loop.
    QTimer boxWatch;
    boxWatch.setInterval(5);
    QObject::connect(&boxWatch, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxWatch.stop();
            shown = box->text();
            box->accept();
        }
    });
    WhenModal([&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        d->setDirectory(dir.path());
        d->selectFile(path);
        chosen = true;
        boxWatch.start();
        QMetaObject::invokeMethod(d, "accept");
    });
    p.files->OpenDimensionsClick();
    boxWatch.stop();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(shown.toStdString(), "Cannot open " + path.toStdString() + ": not a regular file");
    EXPECT_EQ(EncodeDimensionFile(p.m), before);
    EXPECT_EQ(p.m.design.DesignName, "Nominal");
}
