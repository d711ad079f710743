// Export and print of a window's picture. The vector formats run the window's own drawing on a
// VectorCanvas; every file is drawn in memory and written by WriteFileSafely (io/safefile.h),
// which renames a temporary file over the target only once everything is on disk.
#include "gui/common/pictureexport.h"

#include <QAction>
#include <QBuffer>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSettings>
#include <QStandardPaths>
#include <QSvgGenerator>

#include <algorithm>
#include <memory>

#include "core/analysis/valveevents.h"
#include "core/io/safefile.h"
#include "core/model/numfmt.h"
#include "gui/common/vectorcanvas.h"

namespace tarn {

namespace {

const QString kFolderKey = QStringLiteral("PictureExport/Folder");
const QString kFilterKey = QStringLiteral("PictureExport/Filter");
const QString kProgram = QStringLiteral("TARN1 Inside Admission");

// Screen pixels are taken at 96 per inch: a PDF page of the picture's size in points.
constexpr double kPointsPerPixel = 72.0 / 96.0;

QString ToQ(const std::string& s) { return QString::fromStdString(s); }

// The window's own name: its caption without the design, date and time the tick appends.
QString WindowName(const QString& caption, const Model& m) {
    QString name = caption;
    const QString design = ToQ(m.design.DesignName);
    if (!design.isEmpty()) {
        const qsizetype at = name.lastIndexOf(design + QStringLiteral("     "));
        if (at > 0) name.truncate(at);
    }
    return name.simplified();
}

QString DocumentTitle(const QString& caption, const Model& m) {
    return WindowName(caption, m) + QStringLiteral(" - ") + ToQ(m.design.DesignName);
}

std::unique_ptr<QSettings> OpenSettings(const QString& file) {
    if (!file.isEmpty()) return std::make_unique<QSettings>(file, QSettings::IniFormat);
    // The program's one settings file, shared with the recent designs.
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("tarn1"), QStringLiteral("tarn1"));
}

PictureExporter::FileChoice ChooseExportFile(QWidget* parent,
                                             const PictureExporter::FileRequest& r) {
    QFileDialog d(parent, QStringLiteral("Export Picture"));
    d.setObjectName(QStringLiteral("ExportDialog"));
    d.setOption(QFileDialog::DontUseNativeDialog, true);
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setFileMode(QFileDialog::AnyFile);
    d.setNameFilters(PictureNameFilters());
    QString folder = r.folder;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
    d.setDirectory(folder);
    if (!r.filter.isEmpty()) d.selectNameFilter(r.filter);
    // A name typed without a suffix gets the chosen format's.
    d.setDefaultSuffix(SuffixOf(FormatOfFilter(d.selectedNameFilter())));
    QObject::connect(&d, &QFileDialog::filterSelected, &d,
                     [&d](const QString& f) { d.setDefaultSuffix(SuffixOf(FormatOfFilter(f))); });
    d.selectFile(r.name);
    d.setSizeGripEnabled(true);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return {};
    return {d.selectedFiles().first(), d.selectedNameFilter()};
}

bool RunPrintDialog(QWidget* parent, QPrinter& printer) {
    QPrintDialog d(&printer, parent);
    d.setObjectName(QStringLiteral("PrintDialog"));
    return d.exec() == QDialog::Accepted;
}

// The picture's size in logical pixels (its pixels may be a high-resolution screen's).
QSize LogicalSize(const QImage& pixels) { return pixels.deviceIndependentSize().toSize(); }

// The SVG drawing: the picture in its own pixels. Without smooth lines the drawing asks for
// crisp edges, as the window shows it.
bool DrawSvg(const Picture& p, QIODevice& out, const QString& title) {
    const QSize size = LogicalSize(p.pixels);
    QByteArray text;
    QBuffer drawn(&text);
    drawn.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&drawn);
    svg.setResolution(96);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(title);
    svg.setDescription(QStringLiteral("Drawn by ") + kProgram);
    QPainter painter;
    if (!painter.begin(&svg)) return false;
    {
        VectorCanvas canvas(painter, size);
        if (p.draw) p.draw(canvas);
    }
    if (!painter.end()) return false;
    if (!p.smooth) {
        const qsizetype root = text.indexOf("<svg");
        if (root < 0) return false;
        text.insert(root + 4, " shape-rendering=\"crispEdges\"");
    }
    return out.write(text) == text.size();
}

// The PDF drawing: one page of the picture's size.
bool DrawPdf(const Picture& p, QIODevice& out, const QString& title) {
    const QSize size = LogicalSize(p.pixels);
    QPdfWriter pdf(&out);
    pdf.setTitle(title);
    pdf.setCreator(kProgram);
    pdf.setResolution(96);
    const QPageSize page(QSizeF(size.width() * kPointsPerPixel, size.height() * kPointsPerPixel),
                         QPageSize::Point, QString(), QPageSize::ExactMatch);
    pdf.setPageLayout(QPageLayout(page, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QPainter painter;
    if (!painter.begin(&pdf)) return false;
    DrawPictureFitted(painter, p, QRectF(0, 0, pdf.width(), pdf.height()));
    return painter.end();
}

}  // namespace

QStringList PictureNameFilters() {
    return {QStringLiteral("PNG image (*.png)"), QStringLiteral("SVG drawing (*.svg)"),
            QStringLiteral("PDF document (*.pdf)")};
}

PictureFormat FormatOfFilter(const QString& filter) {
    if (filter.contains(QStringLiteral("*.svg"), Qt::CaseInsensitive)) return PictureFormat::Svg;
    if (filter.contains(QStringLiteral("*.pdf"), Qt::CaseInsensitive)) return PictureFormat::Pdf;
    return PictureFormat::Png;
}

std::optional<PictureFormat> FormatOfSuffix(const QString& path) {
    const QString s = QFileInfo(path).suffix().toLower();
    if (s == QLatin1String("png")) return PictureFormat::Png;
    if (s == QLatin1String("svg")) return PictureFormat::Svg;
    if (s == QLatin1String("pdf")) return PictureFormat::Pdf;
    return std::nullopt;
}

QString SuffixOf(PictureFormat f) {
    switch (f) {
        case PictureFormat::Png: return QStringLiteral("png");
        case PictureFormat::Svg: return QStringLiteral("svg");
        case PictureFormat::Pdf: return QStringLiteral("pdf");
    }
    return QStringLiteral("png");
}

WriteResult WritePicture(const Picture& p, const QString& path, PictureFormat format,
                         const QString& documentTitle) {
    auto failed = [&path](const QString& why) {
        return WriteResult{false, QStringLiteral("Cannot write the picture to %1: %2")
                                      .arg(QDir::toNativeSeparators(path), why)};
    };
    if (p.pixels.isNull()) return failed(QStringLiteral("there is no picture"));
    // Drawn in memory, then written as a design is saved: the old file is replaced only once
    // the new one is on disk, and a failure names the system's reason in English.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    bool drawn = false;
    switch (format) {
        case PictureFormat::Png: drawn = p.pixels.save(&buffer, "PNG"); break;
        case PictureFormat::Svg: drawn = DrawSvg(p, buffer, documentTitle); break;
        case PictureFormat::Pdf: drawn = DrawPdf(p, buffer, documentTitle); break;
    }
    buffer.close();
    if (!drawn) return failed(QStringLiteral("the picture could not be drawn"));
    const std::string why = WriteFileSafely(
        path.toStdString(),
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!why.empty()) return failed(QString::fromStdString(why));
    return {true, {}};
}

void DrawPictureFitted(QPainter& painter, const Picture& p, const QRectF& target) {
    const QSizeF size = LogicalSize(p.pixels);
    if (size.isEmpty() || target.isEmpty()) return;
    const double scale = std::min(target.width() / size.width(), target.height() / size.height());
    const QRectF area(target.left() + (target.width() - size.width() * scale) / 2, target.top(),
                      size.width() * scale, size.height() * scale);
    painter.save();
    painter.setClipRect(area);
    painter.translate(area.topLeft());
    painter.scale(scale, scale);
    {
        VectorCanvas canvas(painter, LogicalSize(p.pixels));
        if (p.draw) p.draw(canvas);
    }
    painter.restore();
}

QString PrintTitleLine(const QString& caption, const Model& m, const QDate& date,
                       const QString& subject) {
    const QString head = WindowName(caption, m) + QStringLiteral("    Design: ") +
                         ToQ(m.design.DesignName) + QStringLiteral("    ") +
                         date.toString(Qt::ISODate) + QStringLiteral("    ");
    // A diagram names what it plots: the main window's gear could contradict the picture.
    if (!subject.isEmpty()) return head + subject;
    // The gear as the main window's read-out gives it, with its name when it is a standard one.
    QString gear = QStringLiteral("Rev Arm ") +
                   ToQ(Str(static_cast<ext>(m.motion.RevArmPos), 0, 3)) + QLatin1Char(' ') +
                   QString::fromLatin1(DirectionText(m.motion.Direction));
    if (const auto g = GearAt(m, m.motion.RevArmPos))
        gear += QStringLiteral(" (") + QString::fromUtf8(GearName(*g).data(), GearName(*g).size()) +
                QLatin1Char(')');
    const ValveEventsResult events = AnalyseValveEvents(m, m.motion.RevArmPos);
    if (events.ok() && events.front.cutoff && events.rear.cutoff)
        gear += QStringLiteral(", cut-off front %1 %, rear %2 %")
                    .arg(ToQ(Str(static_cast<ext>(events.front.cutoff->percent), 0, 1)),
                         ToQ(Str(static_cast<ext>(events.rear.cutoff->percent), 0, 1)));
    return head + gear;
}

bool PrintPicture(const Picture& p, QPrinter& printer, const QString& titleLine) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    // The painter's origin is the top left of the printable area.
    const QRectF paper = printer.pageLayout().paintRectPixels(printer.resolution());
    const QRectF area(0, 0, paper.width(), paper.height());
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(10);
    font.setBold(true);
    painter.setFont(font);
    const QFontMetricsF metrics(painter.font(), &printer);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(area.left(), area.top() + metrics.ascent()),
                     metrics.elidedText(titleLine, Qt::ElideRight, area.width()));
    const double below = metrics.height() * 1.5;
    DrawPictureFitted(painter, p, area.adjusted(0, below, 0, 0));
    return painter.end();
}

PictureExporter::PictureExporter(QWidget& window, const Model& m, Source source, QString name)
    : QObject(&window),
      window_(window),
      m_(m),
      source_(std::move(source)),
      name_(std::move(name)),
      choose_(ChooseExportFile),
      printDialog_(RunPrintDialog),
      report_([](QWidget* parent, const QString& message) {
          QMessageBox::critical(parent, QStringLiteral("Error"), message);
      }),
      clock_([] { return QDateTime::currentDateTime(); }) {
    setObjectName(QStringLiteral("PictureExporter"));
}

void PictureExporter::Attach(QAction* exportItem, QAction* printItem) {
    if (exportItem) connect(exportItem, &QAction::triggered, this, [this] { ExportClick(); });
    if (printItem) connect(printItem, &QAction::triggered, this, [this] { PrintClick(); });
}

bool PictureExporter::ExportClick() {
    // What is shown now, before a dialog lets the picture move on.
    const Picture picture = source_();
    const QString title = DocumentTitle(window_.windowTitle(), m_);
    const auto settings = OpenSettings(settingsFile_);
    FileRequest request;
    request.folder = settings->value(kFolderKey).toString();
    request.filter = settings->value(kFilterKey, PictureNameFilters().first()).toString();
    request.name =
        ToQ(m_.design.DesignName) + (name_.isEmpty() ? QString() : QStringLiteral(" ") + name_);
    const FileChoice choice = choose_ ? choose_(&window_, request) : FileChoice{};
    if (choice.path.isEmpty()) return false;

    // A suffix the user typed names the format; otherwise the filter does, and adds its suffix.
    QString path = choice.path;
    PictureFormat format = FormatOfFilter(choice.filter);
    if (const auto bySuffix = FormatOfSuffix(path)) format = *bySuffix;
    else path += QLatin1Char('.') + SuffixOf(format);

    const WriteResult r = WritePicture(picture, path, format, title);
    if (!r.ok) {
        if (report_) report_(&window_, r.error);
        return false;
    }
    settings->setValue(kFolderKey, QFileInfo(path).absolutePath());
    settings->setValue(kFilterKey, PictureNameFilters().at(static_cast<int>(format)));
    return true;
}

bool PictureExporter::PrintClick() {
    const Picture picture = source_();
    const QString title =
        PrintTitleLine(window_.windowTitle(), m_, clock_().date(), picture.subject);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(DocumentTitle(window_.windowTitle(), m_));
    printer.setPageOrientation(picture.pixels.width() > picture.pixels.height()
                                   ? QPageLayout::Landscape
                                   : QPageLayout::Portrait);
    if (!printDialog_ || !printDialog_(&window_, printer)) return false;
    if (!PrintPicture(picture, printer, title)) {
        if (report_)
            report_(&window_,
                    QStringLiteral("The picture could not be printed: the printer did not start."));
        return false;
    }
    return true;
}

}  // namespace tarn
