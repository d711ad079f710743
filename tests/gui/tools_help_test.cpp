// The instruction windows load their texts from the working directory once, and report a
// missing file; the About box.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <cstring>

#include "../core/fifo.h"

#include "gui/help/aboutbox.h"
#include "gui/help/instructionwindow.h"

using namespace tarn;

namespace {

TEST(ToolsHelp, InstructionWindowsShowTheirFiles) {
    QStringList errors;
    SetLoadErrorReporter([&](QWidget*, const QString& e) { errors << e; });
    TInst inst;
    TTarnISpInst special;
    EXPECT_TRUE(errors.isEmpty()) << errors.join(' ').toStdString();
    EXPECT_EQ(inst.windowTitle(), QStringLiteral("Instructions"));
    EXPECT_EQ(special.windowTitle(), QStringLiteral("Tarn1 Inside Special Instructions"));
    EXPECT_EQ(inst.size(), QSize(427, 273));
    EXPECT_TRUE(inst.memo()->isReadOnly());
    EXPECT_TRUE(inst.memo()->toPlainText().startsWith(
        QStringLiteral("TARN1 INSIDE ADMISSION - INSTRUCTIONS")));
    EXPECT_TRUE(inst.memo()->toPlainText().contains(QStringLiteral("PortOpenClose")));
    EXPECT_TRUE(special.memo()->toPlainText().contains(QStringLiteral("MID GEAR")));
    // The command line is described with every command and its exit statuses.
    const QString text = inst.memo()->toPlainText().simplified();
    for (const char* said : {"tarn1 --events [DESIGN.dti] [--positions LIST]", "tarn1 --data-files",
                             "tarn1 --help (or -h, -?)", "74 the output could not be written"})
        EXPECT_TRUE(text.contains(QLatin1String(said))) << said;
    // Both texts say what the port diagram plots: piston travel against the reverse-arm setting.
    for (const QPlainTextEdit* memo : {inst.memo(), special.memo()})
        EXPECT_TRUE(memo->toPlainText().simplified().contains(
            QStringLiteral("piston travel against the reverse-arm setting"), Qt::CaseInsensitive));
    EXPECT_EQ(special.memo()->width(), 435);
    EXPECT_EQ(inst.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
              QStringLiteral("instruct.doc"));
    SetLoadErrorReporter(nullptr);
}

TEST(ToolsHelp, AMissingFileIsReportedAndTheProgramGoesOn) {
    QTemporaryDir elsewhere;
    const QString home = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    QStringList errors;
    SetLoadErrorReporter([&](QWidget*, const QString& e) { errors << e; });
    TInst inst;
    TTarnISpInst special;
    QDir::setCurrent(home);
    SetLoadErrorReporter(nullptr);
    ASSERT_EQ(errors.size(), 2);
    EXPECT_EQ(errors[0], QStringLiteral("Error Loading instruct.doc: No such file or directory"));
    EXPECT_TRUE(errors[1].startsWith(QStringLiteral("Error Loading TarnISpIns.doc: ")));
    EXPECT_EQ(inst.memo()->toPlainText(), QStringLiteral("Memo1"));
    EXPECT_EQ(inst.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QString());
}

TEST(ToolsHelp, APipeOrALinkLoopIsReportedAtOnceAndInEnglish) {
    QTemporaryDir elsewhere;
    const test::Fifo pipe(elsewhere.filePath(QStringLiteral("instruct.doc")).toStdString(),
                          test::Fifo::Writer::Ready);
    ASSERT_TRUE(pipe.made());
    ASSERT_TRUE(QFile::link(QStringLiteral("TarnISpIns.doc"),
                            elsewhere.filePath(QStringLiteral("TarnISpIns.doc"))));
    const QString home = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    QStringList errors;
    SetLoadErrorReporter([&](QWidget*, const QString& e) { errors << e; });
    const std::string locale = setlocale(LC_ALL, nullptr);
    ASSERT_NE(setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
    const std::string german = strerror(ELOOP);  // the system speaks German now
    {
        TInst inst;
        TTarnISpInst special;
    }
    setlocale(LC_ALL, locale.c_str());
    QDir::setCurrent(home);
    SetLoadErrorReporter(nullptr);
    EXPECT_NE(german, "Too many levels of symbolic links");
    EXPECT_EQ(errors.join(QLatin1Char('\n')).toStdString(),
              "Error Loading instruct.doc: not a regular file\n"
              "Error Loading TarnISpIns.doc: Too many levels of symbolic links");
}

TEST(ToolsHelp, AboutBoxHasItsEightLines) {
    TAboutBox about;
    EXPECT_EQ(about.size(), QSize(340, 143));
    int lines = 0;
    for (QLabel* l : about.findChildren<QLabel*>())
        if (!l->text().isEmpty()) ++lines;
    EXPECT_EQ(lines, 8);
}

}  // namespace
