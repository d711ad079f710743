// Export and print of the pictures: SVG and PDF are vector drawings of the frame shown, PNG is
// the frame itself, failed writes leave the old file alone, the diagrams export and print too,
// and none of it moves the animation on.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QSettings>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTimer>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <cerrno>
#include <clocale>
#include <cstring>
#include <memory>
#include <vector>

#include "core/analysis/valveevents.h"
#include "core/model/numfmt.h"
#include "core/model/recordingcanvas.h"
#include "gui/common/pictureexport.h"
#include "gui/diagrams/diagramwindow.h"
#include "gui/diagrams/valveeventswindow.h"
#include "gui/mainwin/appwindows.h"
#include "gui/mainwin/mainform.h"

using namespace tarn;

namespace {

struct CountingSound : SoundSink {
    int calls = 0;
    void PlayExhaust() override { ++calls; }
    void PlayError() override { ++calls; }
    void SetVolume(std::uint16_t) override { ++calls; }
    void Beep() override { ++calls; }
};

const QString kPng = QStringLiteral("PNG image (*.png)");
const QString kSvg = QStringLiteral("SVG drawing (*.svg)");
const QString kPdf = QStringLiteral("PDF document (*.pdf)");

// The whole program with every exporter writing into a folder of its own.
struct ExportProgram {
    Model m;
    CountingSound* sound = new CountingSound;
    std::unique_ptr<TMainForm> form;
    AppWindows w;
    QTemporaryDir dir;
    PictureExporter* exporter = nullptr;  // the main window's
    QString chosen, filter = kPng;
    QList<PictureExporter::FileRequest> requests;
    QStringList errors;

    ExportProgram() {
        form = std::make_unique<TMainForm>(m, std::unique_ptr<SoundSink>(sound));
        w = CreateAppWindows(m, *form);
        form->findChild<QTimer*>(QStringLiteral("Timer1"))->stop();  // the frames are given here
        m.diagrams.RevArmCount = 3;
        exporter = form->findChild<PictureExporter*>(QStringLiteral("PictureExporter"),
                                                     Qt::FindDirectChildrenOnly);
        Prepare(exporter);
        form->Timer1Timer();
    }
    QString Settings() const { return dir.filePath(QStringLiteral("settings.ini")); }
    void Prepare(PictureExporter* e, bool chooser = true) {
        e->SetSettingsFile(Settings());
        if (chooser)
            e->SetFileChooser([this](QWidget*, const PictureExporter::FileRequest& r) {
                requests << r;
                return PictureExporter::FileChoice{chosen, filter};
            });
        e->SetErrorReporter([this](QWidget*, const QString& error) { errors << error; });
        e->SetClock([] { return QDateTime(QDate(2024, 5, 17), QTime(10, 30)); });
    }
    TDiagramWindow* Dia(QDialog* d) { return dynamic_cast<TDiagramWindow*>(d); }
    PictureExporter* ExporterOf(QWidget* window) {
        return window->findChild<PictureExporter*>(QStringLiteral("PictureExporter"));
    }
    // Exports through the exporter's handler into the folder; the path written.
    QString Export(const QString& name, PictureExporter* e = nullptr) {
        chosen = dir.filePath(name);
        EXPECT_TRUE((e ? e : exporter)->ExportClick()) << errors.join(' ').toStdString();
        return chosen;
    }
};

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// The text of a PDF as pdftotext reads it.
QString PdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!p.waitForFinished(20000) || p.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext could not read " << path.toStdString()
                      << " (make deps installs poppler-utils)";
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The shapes of an SVG with the stroke and fill their groups give them.
struct SvgShape {
    QString element;
    QString stroke, fill;
    std::vector<QPointF> points;  // polyline only
    QString text;                 // text only
    QXmlStreamAttributes attributes;
};

struct SvgDocument {
    bool wellFormed = false;
    QString viewBox;
    std::vector<SvgShape> shapes;

    std::vector<SvgShape> Of(const QString& element, const QString& stroke = {}) const {
        std::vector<SvgShape> out;
        for (const auto& s : shapes)
            if (s.element == element && (stroke.isEmpty() || s.stroke == stroke)) out.push_back(s);
        return out;
    }
    bool HasText(const QString& prefix) const {
        for (const auto& s : shapes)
            if (s.element == QLatin1String("text") && s.text.startsWith(prefix)) return true;
        return false;
    }
};

SvgDocument ParseSvg(const QByteArray& data) {
    SvgDocument doc;
    QXmlStreamReader xml(data);
    struct Style {
        QString stroke, fill;
    };
    std::vector<Style> styles{{}};
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == QLatin1String("g")) styles.pop_back();
        if (!xml.isStartElement()) continue;
        const QXmlStreamAttributes a = xml.attributes();
        Style style = styles.back();
        if (a.hasAttribute(QStringLiteral("stroke")))
            style.stroke = a.value(QStringLiteral("stroke")).toString();
        if (a.hasAttribute(QStringLiteral("fill")))
            style.fill = a.value(QStringLiteral("fill")).toString();
        const QString name = xml.name().toString();
        if (name == QLatin1String("svg")) {
            doc.viewBox = a.value(QStringLiteral("viewBox")).toString();
        } else if (name == QLatin1String("g")) {
            styles.push_back(style);
        } else if (name != QLatin1String("title") && name != QLatin1String("desc") &&
                   name != QLatin1String("defs")) {
            SvgShape s{name, style.stroke, style.fill, {}, {}, a};
            if (name == QLatin1String("polyline")) {
                for (const QString& pt : a.value(QStringLiteral("points"))
                                             .toString()
                                             .split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                    const QStringList xy = pt.split(QLatin1Char(','));
                    if (xy.size() == 2) s.points.emplace_back(xy[0].toDouble(), xy[1].toDouble());
                }
            }
            if (name == QLatin1String("text")) s.text = xml.readElementText();
            doc.shapes.push_back(s);
        }
    }
    doc.wellFormed = !xml.hasError();
    return doc;
}

QPointF PivotCentre(const Model& m, int i) {
    return QPointF(m.pivots.ScreenX[i] + 0.5, m.pivots.ScreenY[i] + 0.5);
}

// A polyline of the colour through exactly these pivots.
bool HasRod(const SvgDocument& doc, const QString& colour, const Model& m,
            std::initializer_list<int> pivots) {
    std::vector<QPointF> want;
    for (int i : pivots) want.push_back(PivotCentre(m, i));
    for (const auto& s : doc.Of(QStringLiteral("polyline"), colour))
        if (s.points == want) return true;
    return false;
}

bool White(QRgb c) { return qRed(c) > 235 && qGreen(c) > 235 && qBlue(c) > 235; }

// The share of the drawn pixels of a that b also draws, within one pixel.
double Covered(const QImage& a, const QImage& b) {
    int drawn = 0, covered = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (White(a.pixel(x, y))) continue;
            ++drawn;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx) {
                    const int u = x + dx, v = y + dy;
                    near = u >= 0 && v >= 0 && u < b.width() && v < b.height() &&
                           !White(b.pixel(u, v));
                }
            covered += near;
        }
    return drawn ? static_cast<double>(covered) / drawn : 0;
}

QImage RenderSvg(const QString& path, QSize size) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    QSvgRenderer r(path);
    QPainter p(&img);
    r.render(&p, QRectF(QPointF(0, 0), size));
    return img;
}

TEST(PictureExport, SvgOfTheStartPictureHoldsTheRodsAsColouredLinesAndTheTextsAsText) {
    ExportProgram p;
    const SvgDocument doc = ParseSvg(Read(p.Export(QStringLiteral("start.svg"))));
    ASSERT_TRUE(doc.wellFormed);
    // The window's start client area, in its own pixels.
    EXPECT_EQ(doc.viewBox, QStringLiteral("0 0 632 380"));
    const Model& m = p.m;
    EXPECT_TRUE(HasRod(doc, QStringLiteral("#ff0000"), m, {3, 2}));     // main rod
    EXPECT_TRUE(HasRod(doc, QStringLiteral("#00ff00"), m, {4, 7}));     // radius rod
    EXPECT_TRUE(HasRod(doc, QStringLiteral("#00ffff"), m, {8, 7, 9}));  // valve lever
    EXPECT_TRUE(HasRod(doc, QStringLiteral("#0000ff"), m, {10, 11}));   // coupler
    EXPECT_TRUE(HasRod(doc, QStringLiteral("#ff00ff"), m, {11, 12}));   // anchor link
    EXPECT_TRUE(HasRod(doc, QStringLiteral("#0000ff"), m, {5, 18}));    // reverse arm
    // The driver wheel is a circle round the axle, the read-outs are text.
    bool wheel = false;
    for (const auto& c : doc.Of(QStringLiteral("circle"), QStringLiteral("#000000")))
        wheel |= c.attributes.value(QStringLiteral("cx")).toDouble() == m.pivots.ScreenX[1] &&
                 c.attributes.value(QStringLiteral("cy")).toDouble() == m.pivots.ScreenY[1] &&
                 c.attributes.value(QStringLiteral("r")).toDouble() > 100;
    EXPECT_TRUE(wheel);
    EXPECT_TRUE(doc.HasText(QStringLiteral("Rev Arm ")));
    EXPECT_TRUE(doc.HasText(QStringLiteral("Driv Ang ")));
    EXPECT_TRUE(doc.Of(QStringLiteral("image")).empty());  // no bitmap inside
    // Drawn again from the same state, it lies on the frame's pixels.
    const QImage vector = RenderSvg(p.chosen, QSize(632, 380));
    const QImage frame = p.form->Frame().copy(0, 0, 632, 380);
    EXPECT_GT(Covered(frame, vector), 0.97);
    EXPECT_GT(Covered(vector, frame), 0.97);
}

TEST(PictureExport, PdfIsOnePageOfVectorsWithTheReadOutsAsText) {
    ExportProgram p;
    const QString path = p.Export(QStringLiteral("start.pdf"));
    EXPECT_TRUE(Read(path).startsWith("%PDF-"));
    const QString text = PdfText(path);
    EXPECT_TRUE(text.contains(QStringLiteral("Rev Arm"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Pan Vert"))) << text.toStdString();
    // Not a bitmap wrapped in a page.
    QProcess images;
    images.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path});
    ASSERT_TRUE(images.waitForFinished(20000));
    const QStringList lines = QString::fromUtf8(images.readAllStandardOutput())
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), 2) << lines.join('\n').toStdString();  // the header alone
}

TEST(PictureExport, PngIsTheShownPartOfTheFramePixelForPixel) {
    ExportProgram p;
    p.form->show();
    p.form->resize(700, 450);
    QApplication::processEvents();
    p.form->Timer1Timer();
    const QSize client = p.form->findChild<QWidget*>(QStringLiteral("ClientArea"))->size();
    const QImage png(p.Export(QStringLiteral("frame.png")));
    EXPECT_EQ(png.size(), client);
    EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32),
              p.form->Frame().copy(QRect(QPoint(0, 0), client)));
    p.form->hide();
}

TEST(PictureExport, FormatFollowsTheSuffixOrElseTheFilterAndTheFolderIsRemembered) {
    ExportProgram p;
    p.filter = kSvg;
    p.Export(QStringLiteral("gear"));
    EXPECT_TRUE(Read(p.dir.filePath(QStringLiteral("gear.svg"))).startsWith("<?xml"));
    p.filter = kPng;
    p.Export(QStringLiteral("gear2.PDF"));  // a typed suffix wins over the filter
    EXPECT_TRUE(Read(p.chosen).startsWith("%PDF-"));
    ASSERT_EQ(p.requests.size(), 2);
    EXPECT_TRUE(p.requests[0].folder.isEmpty());
    EXPECT_EQ(p.requests[0].filter, kPng);
    EXPECT_EQ(p.requests[0].name, QStringLiteral("Nominal Valve Gear"));
    EXPECT_EQ(QDir(p.requests[1].folder), QDir(p.dir.path()));
    EXPECT_EQ(p.requests[1].filter, kSvg);
    // Another window starts where the last export went, with the last format.
    PictureExporter* sine = p.ExporterOf(p.w.SineDia);
    p.Prepare(sine);
    p.chosen.clear();  // cancelled
    EXPECT_FALSE(sine->ExportClick());
    ASSERT_EQ(p.requests.size(), 3);
    EXPECT_EQ(QDir(p.requests[2].folder), QDir(p.dir.path()));
    EXPECT_EQ(p.requests[2].filter, kPdf);
    EXPECT_EQ(p.requests[2].name, QStringLiteral("Nominal Sine Diagram"));
    EXPECT_TRUE(p.errors.isEmpty());
}

TEST(PictureExport, FailedWritesSayWhyAndLeaveTheOldFileAndNoTemporaryFile) {
    ExportProgram p;
    // Into a folder that does not exist, and below a path that is a file.
    p.chosen = p.dir.filePath(QStringLiteral("missing/gear.svg"));
    EXPECT_FALSE(p.exporter->ExportClick());
    {
        QFile f(p.dir.filePath(QStringLiteral("plain.txt")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("plain");
    }
    p.chosen = p.dir.filePath(QStringLiteral("plain.txt/gear.png"));
    EXPECT_FALSE(p.exporter->ExportClick());
    ASSERT_EQ(p.errors.size(), 2);
    EXPECT_TRUE(p.errors[0].startsWith(QStringLiteral("Cannot write the picture to ") +
                                       p.dir.filePath(QStringLiteral("missing/gear.svg")) +
                                       QStringLiteral(": ")))
        << p.errors[0].toStdString();
    EXPECT_TRUE(p.errors[1].contains(QStringLiteral("plain.txt/gear.png: ")))
        << p.errors[1].toStdString();

    // A write that fails half-way (the file size limit stands in for a full disk) keeps the old
    // file as it was.
    const QString old = p.dir.filePath(QStringLiteral("old.svg"));
    {
        QFile f(old);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("the old drawing");
    }
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 2048;
    auto* const oldHandler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    p.chosen = old;
    const bool written = p.exporter->ExportClick();
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    ASSERT_EQ(p.errors.size(), 3);
    EXPECT_TRUE(p.errors[2].contains(QStringLiteral("old.svg: "))) << p.errors[2].toStdString();
    EXPECT_EQ(Read(old).toStdString(), "the old drawing");
    // Nothing else was left in the folder, and no failed folder was remembered.
    EXPECT_EQ(Entries(p.dir.path()),
              (QStringList{QStringLiteral("old.svg"), QStringLiteral("plain.txt")}));
}

TEST(PictureExport, FailedWriteShowsAnErrorMessageBoxInEnglishUnderAGermanLocale) {
    ExportProgram p;
    PictureExporter* e = p.ExporterOf(p.w.OvalDia);
    e->SetSettingsFile(p.Settings());
    {
        QFile f(p.dir.filePath(QStringLiteral("plain.txt")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QString path = p.dir.filePath(QStringLiteral("plain.txt/oval.png"));
    e->SetFileChooser([&](QWidget*, const PictureExporter::FileRequest&) {
        return PictureExporter::FileChoice{path, kPng};
    });
    QString shown;
    QTimer::singleShot(0, qApp, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    const std::string saved = setlocale(LC_ALL, nullptr);
    ASSERT_NE(setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
    const std::string german = strerror(ENOTDIR);  // the system speaks German now
    const bool written = e->ExportClick();
    setlocale(LC_ALL, saved.c_str());
    EXPECT_NE(german, "Not a directory");
    EXPECT_FALSE(written);
    EXPECT_EQ(shown.toStdString(),
              "Cannot write the picture to " + path.toStdString() + ": Not a directory");
}

TEST(PictureExport, ExportDrawsFromACopyAndLeavesTheAnimationAlone) {
    ExportProgram p;
    p.m.display.ShowSteam = true;
    // On to a frame with a port open to steam, where every frame changes the steam density.
    for (int i = 0; i < 7 || !(p.m.solved.FrontSteamOpen > 0 || p.m.solved.RearSteamOpen > 0);
         ++i) {
        ASSERT_LT(i, 100);
        p.form->Timer1Timer();
    }
    const Model before = p.m;
    const int sounds = p.sound->calls;
    const QString caption = p.form->windowTitle();
    p.Export(QStringLiteral("steam.svg"));
    p.Export(QStringLiteral("steam.pdf"));
    EXPECT_EQ(p.m.motion.CrankAngle, before.motion.CrankAngle);
    EXPECT_EQ(p.m.steam.FrontSteamDensity, before.steam.FrontSteamDensity);
    EXPECT_EQ(p.m.steam.RearSteamDensity, before.steam.RearSteamDensity);
    EXPECT_EQ(p.m.steam.FrontSteamCount, before.steam.FrontSteamCount);
    EXPECT_EQ(p.m.steam.FrontBeatArmed, before.steam.FrontBeatArmed);
    EXPECT_EQ(p.m.steam.RearBeatLevel, before.steam.RearBeatLevel);
    EXPECT_EQ(p.m.readouts.PrevPistonPos, before.readouts.PrevPistonPos);
    EXPECT_EQ(p.m.readouts.PrevFrontSteamOpen, before.readouts.PrevFrontSteamOpen);
    EXPECT_EQ(p.m.readouts.FrontCutoffFrames, before.readouts.FrontCutoffFrames);
    EXPECT_EQ(p.m.readouts.RearCutoffFrames, before.readouts.RearCutoffFrames);
    EXPECT_EQ(p.m.readouts.FrontCutoffText, before.readouts.FrontCutoffText);
    EXPECT_EQ(p.m.readouts.GeometryErrorFrames, before.readouts.GeometryErrorFrames);
    EXPECT_EQ(p.m.pivots.PivotX, before.pivots.PivotX);
    EXPECT_EQ(p.m.pivots.ScreenX, before.pivots.ScreenX);
    EXPECT_EQ(p.sound->calls, sounds);  // no exhaust beat from the copy
    EXPECT_EQ(p.form->windowTitle(), caption);
    // The steam is in the drawing, as small squares.
    const SvgDocument doc = ParseSvg(Read(p.dir.filePath(QStringLiteral("steam.svg"))));
    bool redSteam = false;
    for (const auto& s : doc.Of(QStringLiteral("path")))
        redSteam |= s.fill == QLatin1String("#ff0000") && s.stroke == QLatin1String("none");
    EXPECT_TRUE(redSteam);
}

bool SameOp(const CanvasOp& a, const CanvasOp& b) {
    return a.kind == b.kind && std::equal(std::begin(a.c), std::end(a.c), std::begin(b.c)) &&
           a.colour == b.colour && a.penWidth == b.penWidth && a.font == b.font && a.text == b.text;
}

TEST(PictureExport, DiagramExportRunsEveryDrawingOnThePictureAgain) {
    ExportProgram p;
    TDiagramWindow* sine = p.Dia(p.w.SineDia);
    sine->Redraw();
    const Model first = p.m;
    p.m.design.Frame.RadiusRodLen += 0.5f;  // a changed design, drawn over the picture
    sine->Draw();
    const Model second = p.m;

    // The picture's drawing is the redraw of the first state and the drawing of the second.
    RecordingCanvas expected;
    expected.Clear(kWhite);
    {
        Model copy = first;
        RedrawDiagram(DiagramKind::Sine, copy, expected);
        copy = second;
        expected.ResetState();
        DrawDiagram(DiagramKind::Sine, copy, expected);
    }
    RecordingCanvas replay;
    const Picture picture = sine->ShownPicture();
    picture.draw(replay);
    ASSERT_EQ(replay.Ops().size(), expected.Ops().size());
    for (std::size_t i = 0; i < expected.Ops().size(); ++i)
        ASSERT_TRUE(SameOp(replay.Ops()[i], expected.Ops()[i])) << "op " << i;
    EXPECT_EQ(picture.pixels, sine->Picture());

    // As SVG: the window's size, lines and texts, and the design as it was.
    PictureExporter* e = p.ExporterOf(sine);
    p.Prepare(e);
    const SvgDocument doc = ParseSvg(Read(p.Export(QStringLiteral("sine.svg"), e)));
    ASSERT_TRUE(doc.wellFormed);
    EXPECT_EQ(doc.viewBox, QStringLiteral("0 0 632 414"));
    EXPECT_GT(doc.Of(QStringLiteral("polyline")).size(), 20u);
    EXPECT_GT(doc.Of(QStringLiteral("text")).size(), 5u);
    // Right-aligned numbers keep their leading blanks in any renderer, not only in Qt's.
    EXPECT_TRUE(doc.HasText(QStringLiteral(" 6.247"))) << "the centre position, right-aligned";
    for (const SvgShape& t : doc.Of(QStringLiteral("text")))
        EXPECT_EQ(t.attributes.value(QStringLiteral("http://www.w3.org/XML/1998/namespace"),
                                     QStringLiteral("space")),
                  QStringLiteral("preserve"))
            << t.text.toStdString();
    EXPECT_TRUE(doc.Of(QStringLiteral("image")).empty());
    EXPECT_EQ(p.m.motion.CrankAngle, second.motion.CrankAngle);
    EXPECT_EQ(p.m.motion.RevArmPos, second.motion.RevArmPos);
    EXPECT_EQ(p.m.pivots.PivotX, second.pivots.PivotX);
    // Drawn again, the vector picture lies on the retained one.
    const QImage vector = RenderSvg(p.chosen, sine->Picture().size());
    EXPECT_GT(Covered(sine->Picture(), vector), 0.97);
    EXPECT_GT(Covered(vector, sine->Picture()), 0.97);
}

TEST(PictureExport, ValveEventsExportTheirTableAndCurveAsTheWindowShowsThem) {
    ExportProgram p;
    auto* events = dynamic_cast<TValveEvents*>(p.w.ValveEvents);
    ASSERT_NE(events, nullptr);
    events->show();
    QApplication::processEvents();
    const Picture shown = events->SheetPicture();
    ASSERT_FALSE(shown.pixels.isNull());
    PictureExporter* e = p.ExporterOf(events);
    ASSERT_NE(e, nullptr);
    p.Prepare(e);
    const SvgDocument doc = ParseSvg(Read(p.Export(QStringLiteral("events.svg"), e)));
    ASSERT_TRUE(doc.wellFormed);
    // The curve, and above it the table with the design's name and the note on piston travel.
    EXPECT_TRUE(doc.HasText(QStringLiteral("front cut-off")));
    EXPECT_TRUE(doc.HasText(QStringLiteral("reverse arm from mid gear")));
    EXPECT_TRUE(doc.HasText(QStringLiteral("Valve events of Nominal")));
    EXPECT_TRUE(doc.HasText(QStringLiteral("Cut-off [% of stroke]")));
    EXPECT_TRUE(doc.HasText(QStringLiteral("normal forward 4.647 Fwd")));
    EXPECT_TRUE(doc.HasText(QStringLiteral(
        "Piston positions are the crosshead's true travel between its dead centres.")));
    // Drawn again, the vector sheet lies on the shown one.
    const QImage vector = RenderSvg(p.chosen, shown.pixels.size());
    EXPECT_GT(Covered(shown.pixels, vector), 0.97);
    EXPECT_GT(Covered(vector, shown.pixels), 0.97);
    events->close();
}

TEST(PictureExport, PrintPutsTheTitleLineAboveThePicture) {
    ExportProgram p;
    const QString path = p.dir.filePath(QStringLiteral("printed.pdf"));
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    p.exporter->SetPrintDialog([&](QWidget*, QPrinter& printer) {
        orientation = printer.pageLayout().orientation();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        return true;
    });
    ASSERT_TRUE(p.exporter->PrintClick());
    EXPECT_EQ(orientation, QPageLayout::Landscape);  // the picture is wider than high
    EXPECT_TRUE(Read(path).startsWith("%PDF-"));
    const QString text = PdfText(path).simplified();
    EXPECT_TRUE(
        text.contains(QStringLiteral("TARN1 Inside Admission Design: Nominal 2024-05-17 Rev Arm ")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Driv Ang"))) << text.toStdString();

    // A diagram prints with its own name; a cancelled dialog prints nothing.
    TDiagramWindow* port = p.Dia(p.w.PortDia);
    port->Redraw();
    PictureExporter* e = p.ExporterOf(port);
    p.Prepare(e);
    const QString portPath = p.dir.filePath(QStringLiteral("port.pdf"));
    e->SetPrintDialog([&](QWidget*, QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(portPath);
        return true;
    });
    ASSERT_TRUE(e->PrintClick());
    // It names what it plots, not the main window's gear and cut-off.
    const QString portText = PdfText(portPath).simplified();
    EXPECT_TRUE(portText.contains(
        QStringLiteral("TARN1 Inside Admission Port Open/Closed Design: Nominal 2024-05-17 "
                       "Port events against Rev Arm position, forward graph")))
        << portText.toStdString();
    EXPECT_FALSE(portText.contains(QStringLiteral("cut-off"))) << portText.toStdString();
    e->SetPrintDialog([](QWidget*, QPrinter&) { return false; });
    QFile::remove(portPath);
    EXPECT_FALSE(e->PrintClick());
    EXPECT_FALSE(QFile::exists(portPath));
    EXPECT_TRUE(p.errors.isEmpty());
}

TEST(PictureExport, TitleLineNamesTheWindowDesignDateAndGear) {
    Model m;
    StartUp(m);
    m.design.DesignName = "Express";
    m.motion.RevArmPos = GearRevArmPos(m, Gear::NormalForward);
    m.motion.Direction = Direction::Forward;
    const QString caption = QStringLiteral(
        "TARN1 Inside Admission      Sine Diagram    Express     17.05.24   10:30:00   Version "
        "2.6");
    const QString line = PrintTitleLine(caption, m, QDate(2024, 5, 17));
    const QString head =
        QStringLiteral(
            "TARN1 Inside Admission Sine Diagram    Design: Express    2024-05-17    Rev Arm ") +
        QString::fromStdString(Str(static_cast<long double>(m.motion.RevArmPos), 0, 3)) +
        QStringLiteral(" Fwd (normal forward), cut-off front ");
    EXPECT_TRUE(line.startsWith(head)) << line.toStdString();
    EXPECT_TRUE(line.endsWith(QStringLiteral(" %"))) << line.toStdString();
    // Between the standard gears there is no gear name.
    m.motion.RevArmPos += 0.01f;
    EXPECT_FALSE(PrintTitleLine(caption, m, QDate(2024, 5, 17)).contains(QLatin1Char('(')));
    m.motion.RevArmPos = GearRevArmPos(m, Gear::NormalReverse);
    m.motion.Direction = Direction::Reverse;
    EXPECT_TRUE(PrintTitleLine(caption, m, QDate(2024, 5, 17)).contains(" Rev (normal reverse)"));
}

TEST(PictureExport, ADiagramsTitleNamesThePositionsItDrew) {
    ExportProgram p;
    TDiagramWindow* sine = p.Dia(p.w.SineDia);
    p.m.diagrams.RevArmCount = 2;
    p.m.motion.RevArmPositions[1] = 4.5f;
    p.m.motion.RevArmPositions[2] = p.m.motion.RevArmPositions[0];
    sine->Redraw();
    // The main window's gear moves on; the printed page still names what the picture shows.
    p.m.motion.RevArmPos = 7.9f;
    const Picture shown = sine->ShownPicture();
    const QString line = PrintTitleLine(QStringLiteral("TARN1 Inside Admission      Sine Diagram"),
                                        p.m, QDate(2024, 5, 17), shown.subject);
    EXPECT_TRUE(
        line.endsWith(QStringLiteral("2024-05-17    Rev Arm positions 4.500 Fwd, 6.247 Cen")))
        << line.toStdString();
    // A jog of the same positions drawn over it is not named twice; both graphs are named.
    sine->Draw();
    EXPECT_EQ(sine->ShownPicture().subject, shown.subject);
    TDiagramWindow* port = p.Dia(p.w.PortDia);
    port->BothGraphs1Click();
    EXPECT_EQ(port->ShownPicture().subject,
              QStringLiteral("Port events against Rev Arm position, forward and reverse graphs"));
}

TEST(PictureExport, FileMenuAndDiagramMenusOfferExportAndPrint) {
    ExportProgram p;
    auto* file = p.form->findChild<QMenu*>(QStringLiteral("File1"));
    ASSERT_NE(file, nullptr);
    QStringList order;
    for (QAction* a : file->actions())
        order << (a->isSeparator() ? QStringLiteral("-")
                  : a->menu()      ? a->menu()->objectName()
                                   : a->objectName());
    EXPECT_EQ(order, (QStringList{"OpenDimensions", "RecentDesigns", "SaveAsDimensions", "-",
                                  "ExportPicture", "PrintPicture", "-", "Exit1"}));
    EXPECT_EQ(p.form->findChild<QAction*>(QStringLiteral("ExportPicture"))->text(),
              QStringLiteral("&Export Picture..."));
    EXPECT_EQ(p.form->findChild<QAction*>(QStringLiteral("PrintPicture"))->text(),
              QStringLiteral("&Print..."));
    for (QDialog* d : {p.w.SineDia, p.w.OvalDia, p.w.SteamDia, p.w.PortDia}) {
        const auto exports = d->findChildren<QAction*>(QStringLiteral("ExportPicture"));
        const auto prints = d->findChildren<QAction*>(QStringLiteral("PrintPicture"));
        ASSERT_EQ(exports.size(), 1) << d->objectName().toStdString();
        ASSERT_EQ(prints.size(), 1) << d->objectName().toStdString();
        EXPECT_TRUE(d->findChild<QMenuBar*>()->actions().contains(exports[0]));
        EXPECT_EQ(exports[0]->text(), QStringLiteral("&Export Picture..."));
        // The item exports what the window shows.
        p.Prepare(p.ExporterOf(d));
        p.chosen = p.dir.filePath(d->objectName() + QStringLiteral(".png"));
        exports[0]->trigger();
        EXPECT_EQ(QImage(p.chosen).size(), p.Dia(d)->Picture().size())
            << d->objectName().toStdString();
    }
}

TEST(PictureExport, TheFileDialogOffersTheFormatsAndOpensInTheLastFolder) {
    ExportProgram p;
    const QString first = p.dir.filePath(QStringLiteral("first"));
    const QString second = p.dir.filePath(QStringLiteral("second"));
    ASSERT_TRUE(QDir().mkpath(first));
    ASSERT_TRUE(QDir().mkpath(second));
    {
        QSettings s(p.Settings(), QSettings::IniFormat);
        s.setValue(QStringLiteral("PictureExport/Folder"), first);
        s.setValue(QStringLiteral("PictureExport/Filter"), kSvg);
    }
    TDiagramWindow* steam = p.Dia(p.w.SteamDia);
    steam->Redraw();
    PictureExporter* e = p.ExporterOf(steam);
    p.Prepare(e, false);
    QStringList filters;
    QString opened, selected;
    QTimer::singleShot(0, qApp, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        filters = d->nameFilters();
        opened = d->directory().absolutePath();
        selected = d->selectedNameFilter();
        d->setDirectory(second);
        d->selectFile(QStringLiteral("indicator"));  // no suffix: the filter's is added
        static_cast<QDialog*>(d)->accept();          // as the Save button does
    });
    EXPECT_TRUE(e->ExportClick()) << p.errors.join(' ').toStdString();
    EXPECT_EQ(filters, PictureNameFilters());
    EXPECT_EQ(filters, (QStringList{kPng, kSvg, kPdf}));
    EXPECT_EQ(QDir(opened), QDir(first));
    EXPECT_EQ(selected, kSvg);
    EXPECT_TRUE(Read(second + QStringLiteral("/indicator.svg")).startsWith("<?xml"));
    // The next dialog opens where this one saved; cancelling it writes nothing.
    QTimer::singleShot(0, qApp, [&] {
        if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            opened = d->directory().absolutePath();
            d->reject();
        }
    });
    EXPECT_FALSE(e->ExportClick());
    EXPECT_EQ(QDir(opened), QDir(second));
    EXPECT_EQ(Entries(second), QStringList{QStringLiteral("indicator.svg")});
}

}  // namespace
