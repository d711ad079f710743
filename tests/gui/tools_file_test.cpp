// Saving and opening a design through the main window's handlers, the file dialogs replaced by
// a chosen path: what comes back, where the arm goes, refused files and failed saves.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/io/dimensionfile.h"
#include "tools_support.h"

using namespace tarn;
using namespace tarn::testing;

namespace {

struct FileProgram : Program {
    QTemporaryDir dir;
    QString chosen;
    QStringList errors;
    FileProgram() {
        files->SetSaveChooser([this](QWidget*) { return chosen; });
        files->SetOpenChooser([this](QWidget*) { return chosen; });
        files->SetErrorReporter([this](QWidget*, const QString& e) { errors << e; });
    }
};

QLabel* Label(TDrawLines* d, int n) {
    return d->findChild<QLabel*>(QStringLiteral("Label%1").arg(n));
}
QLineEdit* Edit(TDrawLines* d, int n) {
    return d->findChild<QLineEdit*>(QStringLiteral("Edit%1").arg(n));
}

TEST(ToolsFile, SaveChangeOpenRestoresTheDesignAndCentresTheArm) {
    FileProgram p;
    p.m.design.StrokeLen = 3.5f;
    p.m.view.Zoom = 40.0f;
    p.m.view.ViewPresets[4] = 123.0f;
    p.m.diagrams.DiagramScale = 2.0f;
    p.m.overlay.LineType[0] = 1;
    p.m.overlay.LineColor[0] = 255;
    p.m.overlay.LineRef[0] = 0;
    p.m.overlay.LineH2[1] = 2.5f;
    p.m.overlay.LineIndex = 2;
    p.Bar("SBRevArm")->setValue(-1600);  // full forward gear
    p.chosen = p.dir.filePath(QStringLiteral("Express.dti"));
    p.files->SaveAsDimensionsClick();
    ASSERT_TRUE(p.errors.isEmpty()) << p.errors.join(' ').toStdString();
    EXPECT_EQ(p.m.design.DesignName, "Express");
    EXPECT_EQ(QFileInfo(p.chosen).size(), 1400);
    p.form->Timer1Timer();
    EXPECT_TRUE(p.form->windowTitle().startsWith(
        QStringLiteral("TARN1 Inside Admission            Express")));

    p.m.design.StrokeLen = 9;
    p.m.view.Zoom = 99;
    p.m.view.ViewPresets[4] = 1;
    p.m.diagrams.DiagramScale = 7;
    p.m.overlay.LineType[0] = -1;
    p.m.overlay.LineIndex = 9;
    p.files->OpenDimensionsClick();
    ASSERT_TRUE(p.errors.isEmpty());
    EXPECT_EQ(p.m.design.StrokeLen, 3.5f);
    EXPECT_EQ(p.m.view.Zoom, 40.0f);
    EXPECT_EQ(p.m.view.ViewPresets[4], 123.0f);
    EXPECT_EQ(p.m.diagrams.DiagramScale, 2.0f);
    EXPECT_EQ(p.m.overlay.LineIndex, 2);
    // The arm at mid gear, the bar at 0 with the file's range.
    EXPECT_EQ(p.m.motion.RevArmPos, p.m.motion.RevArmPositions[0]);
    EXPECT_EQ(p.Bar("SBRevArm")->value(), 0);
    EXPECT_EQ(p.Bar("SBRevArm")->maximum(), 1800);
    // The overlay rows come back with their labels; row 2 is highlighted.
    EXPECT_EQ(Label(p.drawLines, 2)->text(), QStringLiteral("Circle"));
    EXPECT_EQ(Label(p.drawLines, 3)->text(), QStringLiteral("Red"));
    EXPECT_EQ(Label(p.drawLines, 4)->text(), QStringLiteral("0 , 0"));
    EXPECT_EQ(Edit(p.drawLines, 4)->text(), QStringLiteral("  2.500"));
    EXPECT_EQ(p.drawLines->logic().highlightedRow(), 2);
}

TEST(ToolsFile, RefusedFileShowsItsErrorAndChangesNothing) {
    FileProgram p;
    p.chosen = p.dir.filePath(QStringLiteral("Short.dti"));
    {
        QFile f(p.chosen);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(700, '\0'));
    }
    p.m.design.StrokeLen = 3.25f;
    p.m.design.DesignName = "Mine";
    const auto before = EncodeDimensionFile(p.m);
    p.files->OpenDimensionsClick();
    ASSERT_EQ(p.errors.size(), 1);
    EXPECT_EQ(
        p.errors[0],
        p.chosen + QStringLiteral(" is not a dimension file: it holds 700 bytes, 1400 are needed"));
    EXPECT_EQ(EncodeDimensionFile(p.m), before);
    EXPECT_EQ(p.m.design.DesignName, "Mine");
}

TEST(ToolsFile, FailedSaveShowsItsErrorAndKeepsTheName) {
    FileProgram p;
    p.chosen = p.dir.filePath(QStringLiteral("missing/Deep.dti"));
    p.files->SaveAsDimensionsClick();
    ASSERT_EQ(p.errors.size(), 1);
    EXPECT_TRUE(p.errors[0].contains(QStringLiteral("Deep.dti")));
    EXPECT_EQ(p.m.design.DesignName, "Nominal");
}

// Save As over a design marked read-only (in a folder the user may write) says so and leaves it.
TEST(ToolsFile, SaveAsOverAReadOnlyDesignIsRefused) {
    FileProgram p;
    p.chosen = p.dir.filePath(QStringLiteral("Locked.dti"));
    {
        QFile f(p.chosen);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("kept");
    }
    ASSERT_TRUE(
        QFile::setPermissions(p.chosen, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    p.files->SaveAsDimensionsClick();
    ASSERT_EQ(p.errors.size(), 1);
    EXPECT_EQ(p.errors[0], QStringLiteral("Cannot save ") + p.chosen +
                               QStringLiteral(": the file is read-only"));
    QFile f(p.chosen);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("kept"));
    EXPECT_EQ(p.m.design.DesignName, "Nominal");
}

TEST(ToolsFile, CancelledDialogsChangeNothingButTheRowsAreRefreshed) {
    FileProgram p;
    p.chosen.clear();
    p.m.overlay.LineType[4] = 0;
    p.m.overlay.LineColor[4] = 65535;
    p.m.overlay.LineRef[4] = 2;
    p.files->SaveAsDimensionsClick();
    p.files->OpenDimensionsClick();
    EXPECT_TRUE(p.errors.isEmpty());
    EXPECT_EQ(p.m.design.DesignName, "Nominal");
    EXPECT_EQ(Label(p.drawLines, 18)->text(), QStringLiteral("Line"));
    EXPECT_EQ(Label(p.drawLines, 19)->text(), QStringLiteral("Yellow"));
    EXPECT_EQ(Label(p.drawLines, 20)->text(), QStringLiteral("Piv1/0,0"));
}

}  // namespace
