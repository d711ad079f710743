// Export and print of a window's picture: PNG holds the pixels shown; SVG and PDF run the same
// drawing again on a vector canvas; a printed page has a title line above the picture. Files are
// written beside the target and renamed over it, so a failed write leaves the old file as it was.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QImage>
#include <QObject>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

#include "core/model/canvas.h"
#include "core/model/model.h"

class QAction;
class QPainter;
class QPrinter;
class QWidget;

namespace tarn {

enum class PictureFormat { Png, Svg, Pdf };

// A picture as a window shows it, and how to draw it again. The drawing works on copies of the
// model taken when the picture was taken, so it neither disturbs nor follows the window.
struct Picture {
    QImage pixels;                      // the pixels shown
    std::function<void(Canvas&)> draw;  // the same picture on another canvas of pixels' size
    // What the picture plots, for a printed page's title; empty for the main picture, whose
    // title names the gear and cut-off of the moment.
    QString subject;
    // Drawn with smooth lines: an SVG asks its viewer to draw it the same way.
    bool smooth = false;
};

// The dialog's name filters, PNG, SVG and PDF in this order.
QStringList PictureNameFilters();
// The format a name filter stands for (PNG for one it does not know).
PictureFormat FormatOfFilter(const QString& filter);
// The format a file's suffix names, if it names one (any letter case).
std::optional<PictureFormat> FormatOfSuffix(const QString& path);
QString SuffixOf(PictureFormat f);  // "png", "svg", "pdf"

struct WriteResult {
    bool ok = false;
    QString error;  // for the user, when not ok
};

// Writes the picture to path; documentTitle names the drawing inside SVG and PDF. The file
// appears whole or not at all.
WriteResult WritePicture(const Picture& p, const QString& path, PictureFormat format,
                         const QString& documentTitle);

// The vector picture scaled into target keeping its aspect ratio, centred across and at the top,
// clipped to its own area.
void DrawPictureFitted(QPainter& painter, const Picture& p, const QRectF& target);

// The title line of a printed page: the window's name, the design, the date and the gear (the
// reverse-arm position and direction as the main window shows them, with the cut-offs).
QString PrintTitleLine(const QString& caption, const Model& m, const QDate& date,
                       const QString& subject = {});

// One page: the title line, then the picture scaled to the rest of the page. False when the
// printer cannot be started.
bool PrintPicture(const Picture& p, QPrinter& printer, const QString& titleLine);

// The Export Picture and Print items of one window.
class PictureExporter : public QObject {
    Q_OBJECT
public:
    using Source = std::function<Picture()>;
    // window: the dialogs' parent and the caption; name: the picture's part of a suggested file
    // name ("Sine Diagram" gives "Nominal Sine Diagram.png").
    PictureExporter(QWidget& window, const Model& m, Source source, QString name);

    // Connects the window's two menu items.
    void Attach(QAction* exportItem, QAction* printItem);

    // ---- what tests replace ----
    struct FileRequest {
        QString folder;  // where the last export went (empty at first)
        QString filter;  // the name filter chosen last
        QString name;    // suggested base name
    };
    struct FileChoice {
        QString path;    // empty: cancelled
        QString filter;  // the name filter chosen
    };
    using FileChooser = std::function<FileChoice(QWidget* parent, const FileRequest& request)>;
    void SetFileChooser(FileChooser c) { choose_ = std::move(c); }
    // Shows the print dialog for the printer; false cancels.
    using PrintDialog = std::function<bool(QWidget* parent, QPrinter& printer)>;
    void SetPrintDialog(PrintDialog d) { printDialog_ = std::move(d); }
    // Where a failed export or print is reported (an error message box by default).
    void SetErrorReporter(std::function<void(QWidget*, const QString&)> r) {
        report_ = std::move(r);
    }
    // The settings file that remembers the folder (the application's settings by default).
    void SetSettingsFile(const QString& iniPath) { settingsFile_ = iniPath; }
    void SetClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

    // ---- handlers; true when a file was written or a page printed ----
    bool ExportClick();
    bool PrintClick();

private:
    QWidget& window_;
    const Model& m_;
    Source source_;
    QString name_;
    FileChooser choose_;
    PrintDialog printDialog_;
    std::function<void(QWidget*, const QString&)> report_;
    QString settingsFile_;
    std::function<QDateTime()> clock_;
};

}  // namespace tarn
