// A design named on the command line, and File > Recent Designs: what is recorded and in which
// order, what choosing an entry does, and a file that has gone since.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

#include "core/io/dimensionfile.h"
#include "gui/mainwin/recentdesigns.h"
#include "tools_support.h"

using namespace tarn;
using namespace tarn::testing;

namespace {

struct RecentProgram : Program {
    QTemporaryDir dir;
    QString chosen;
    QStringList errors;
    RecentProgram() {
        files->SetSaveChooser([this](QWidget*) { return chosen; });
        files->SetOpenChooser([this](QWidget*) { return chosen; });
        files->SetErrorReporter([this](QWidget*, const QString& e) { errors << e; });
        files->recent().Clear();  // the list is kept between programs
    }
    // Under the folder's canonical name, as the list keeps it.
    QString Path(const char* name) const {
        return QFileInfo(dir.path()).canonicalFilePath() + QLatin1Char('/') +
               QString::fromLatin1(name);
    }
    void SaveAs(const QString& path) {
        chosen = path;
        files->SaveAsDimensionsClick();
    }
    void Open(const QString& path) {
        chosen = path;
        files->OpenDimensionsClick();
    }
    QMenu* RecentMenu() const { return Find<QMenu>("RecentDesigns"); }
    QStringList Entries() const {
        QStringList texts;
        for (QAction* a : RecentMenu()->actions())
            if (a->objectName().startsWith(QStringLiteral("RecentDesign"))) texts << a->text();
        return texts;
    }
};

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A design file made by a model of its own, with a stroke to tell it by.
void WriteDesign(const QString& path, float stroke) {
    Model m;
    StartUp(m);
    m.design.StrokeLen = stroke;
    ASSERT_TRUE(SaveDimensionFile(m, path.toStdString()).ok);
}

// The menu's entry of that name; the entries belong to the list, the menu only shows them.
QAction* MenuItem(const QMenu& menu, const QString& name) {
    for (QAction* a : menu.actions())
        if (a->objectName() == name) return a;
    return nullptr;
}

void RunQueued() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

TEST(StartDesign, TheFirstArgumentThatIsNoOptionNamesTheDesign) {
    EXPECT_EQ(StartDesignArgument({QStringLiteral("tarn1")}), QString());
    EXPECT_EQ(StartDesignArgument({QStringLiteral("tarn1"), QStringLiteral("-reverse"),
                                   QStringLiteral("a.dti"), QStringLiteral("b.dti")}),
              QStringLiteral("a.dti"));
}

TEST(StartDesign, ANamedFileOpensAsFileOpenWould) {
    RecentProgram p;
    const QString path = p.Path("Express.dti");
    {
        Model m;
        StartUp(m);
        m.design.StrokeLen = 3.5f;
        m.overlay.LineType[0] = 1;
        m.overlay.LineColor[0] = 255;
        m.overlay.LineRef[0] = 0;
        ASSERT_TRUE(SaveDimensionFile(m, path.toStdString()).ok);
    }
    p.Bar("SBRevArm")->setValue(-1600);
    OpenStartDesign(*p.form, {QStringLiteral("tarn1"), path});
    EXPECT_TRUE(p.errors.isEmpty()) << p.errors.join(' ').toStdString();
    EXPECT_EQ(p.m.design.StrokeLen, 3.5f);
    EXPECT_EQ(p.m.design.DesignName, "Express");
    EXPECT_EQ(p.Bar("SBRevArm")->value(), 0);
    EXPECT_EQ(p.drawLines->findChild<QLabel*>(QStringLiteral("Label2"))->text(),
              QStringLiteral("Circle"));
    p.form->Timer1Timer();
    EXPECT_TRUE(p.form->windowTitle().startsWith(
        QStringLiteral("TARN1 Inside Admission            Express")));
    EXPECT_EQ(p.files->recent().Paths(), QStringList{path});
}

TEST(StartDesign, ARefusedFileShowsItsMessageOnceTheLoopRunsAndTheBuiltInDesignStays) {
    Program p;  // the program's own message box
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Garbage.dti"));
    WriteBytes(path, QByteArray(700, 'x'));
    const auto before = EncodeDimensionFile(p.m);
    p.form->show();
    OpenStartDesign(*p.form, {QStringLiteral("tarn1"), path});
    // Nothing modal yet: the message waits for the event loop.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    QString shown;
    QTimer::singleShot(0, qApp, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    RunQueued();
    EXPECT_EQ(shown, path + QStringLiteral(
                                " is not a dimension file: it holds 700 bytes, 1400 are needed"));
    EXPECT_EQ(EncodeDimensionFile(p.m), before);
    EXPECT_EQ(p.m.design.DesignName, "Nominal");
}

TEST(RecentDesigns, OpenedAndSavedFilesNewestFirstOnceEachAfterOpen) {
    RecentProgram p;
    // The submenu follows OpenDimensions in the File menu; an empty list says so.
    const QList<QAction*> file = p.Find<QMenu>("File1")->actions();
    const auto open = std::find(file.begin(), file.end(), p.Action("OpenDimensions"));
    ASSERT_NE(open, file.end());
    ASSERT_NE(open + 1, file.end());
    EXPECT_EQ(*(open + 1), p.RecentMenu()->menuAction());
    EXPECT_EQ(p.RecentMenu()->title(), QStringLiteral("&Recent Designs"));
    EXPECT_NE(p.Find<QAction>("NoRecentDesigns"), nullptr);
    EXPECT_FALSE(p.Action("ClearRecentDesigns")->isEnabled());

    const QString a = p.Path("A&B.dti"), b = p.Path("B.dti");
    p.SaveAs(a);
    p.SaveAs(b);
    p.Open(a);
    ASSERT_TRUE(p.errors.isEmpty()) << p.errors.join(' ').toStdString();
    EXPECT_EQ(p.files->recent().Paths(), (QStringList{a, b}));
    // Another name of the same file is the same entry.
    ASSERT_TRUE(QDir(p.dir.path()).mkdir(QStringLiteral("sub")));
    p.Open(p.dir.path() + QStringLiteral("/sub/../B.dti"));
    ASSERT_TRUE(QFile::link(b, p.Path("Link.dti")));
    p.Open(p.Path("Link.dti"));
    EXPECT_EQ(p.files->recent().Paths(), (QStringList{b, a}));
    EXPECT_EQ(p.Entries(), (QStringList{QStringLiteral("&1 ") + b,
                                        QStringLiteral("&2 ") + QString(a).replace('&', "&&")}));
    // A refused or cancelled open and a failed save leave the list alone.
    WriteBytes(p.Path("Short.dti"), QByteArray(10, '\0'));
    p.Open(p.Path("Short.dti"));
    p.Open(QString());
    p.SaveAs(p.Path("missing/C.dti"));
    EXPECT_EQ(p.errors.size(), 2);
    EXPECT_EQ(p.files->recent().Paths(), (QStringList{b, a}));
    EXPECT_EQ(p.Find<QAction>("NoRecentDesigns"), nullptr);

    // The next program finds the list again.
    Program next;
    EXPECT_EQ(next.files->recent().Paths(), (QStringList{b, a}));
}

TEST(RecentDesigns, TheListKeepsTheEightNewestAndCanBeCleared) {
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("recent.conf"));
    QMenu menu;
    RecentDesigns list(&menu, nullptr, settings);
    const QString folder = QFileInfo(dir.path()).canonicalFilePath();
    QStringList paths;
    for (int i = 0; i < 10; ++i) {
        paths.prepend(folder + QStringLiteral("/D%1.dti").arg(i));
        WriteBytes(paths.first(), "x");
        list.Add(paths.first());
    }
    EXPECT_EQ(list.Paths(), paths.mid(0, 8));
    ASSERT_NE(MenuItem(menu, QStringLiteral("RecentDesign8")), nullptr);
    EXPECT_EQ(MenuItem(menu, QStringLiteral("RecentDesign8"))->data().toString(), paths[7]);
    EXPECT_EQ(MenuItem(menu, QStringLiteral("RecentDesign9")), nullptr);
    // The same file again moves to the top, the others keep their order.
    list.Add(paths[5]);
    EXPECT_EQ(list.Paths(), (QStringList{paths[5], paths[0], paths[1], paths[2], paths[3], paths[4],
                                         paths[6], paths[7]}));
    EXPECT_EQ(RecentDesigns(nullptr, nullptr, settings).Paths(), list.Paths());

    QAction* clear = MenuItem(menu, QStringLiteral("ClearRecentDesigns"));
    ASSERT_NE(clear, nullptr);
    clear->trigger();
    EXPECT_TRUE(list.Paths().isEmpty());
    EXPECT_TRUE(RecentDesigns(nullptr, nullptr, settings).Paths().isEmpty());
}

TEST(RecentDesigns, ChoosingAnEntryOpensItAndAGoneFileIsDroppedWithAMessage) {
    RecentProgram p;
    const QString express = p.Path("Express.dti"), goods = p.Path("Goods.dti");
    WriteDesign(express, 3.5f);
    WriteDesign(goods, 4.25f);
    p.Open(goods);
    p.Open(express);
    p.m.design.StrokeLen = 9;
    // Entry 2 is Goods.
    p.Action("RecentDesign2")->trigger();
    EXPECT_TRUE(p.errors.isEmpty()) << p.errors.join(' ').toStdString();
    EXPECT_EQ(p.m.design.StrokeLen, 4.25f);
    EXPECT_EQ(p.m.design.DesignName, "Goods");
    EXPECT_EQ(p.files->recent().Paths(), (QStringList{goods, express}));

    ASSERT_TRUE(QFile::remove(express));
    const auto before = EncodeDimensionFile(p.m);
    p.Action("RecentDesign2")->trigger();
    ASSERT_EQ(p.errors.size(), 1);
    EXPECT_TRUE(p.errors[0].startsWith(express + QStringLiteral(" no longer exists")))
        << p.errors[0].toStdString();
    EXPECT_EQ(p.files->recent().Paths(), QStringList{goods});
    EXPECT_EQ(p.Entries().size(), 1);
    EXPECT_EQ(EncodeDimensionFile(p.m), before);
    RunQueued();  // the old entries are deleted from the event loop
    EXPECT_EQ(p.Entries().size(), 1);
}

}  // namespace
