// The main window's measuring and file tools: the reference-point mode and its bars and
// buttons, the pivot-data rows, the lines-and-circles dialog reached from the picture, and
// saving and opening a design, and the recent designs. It works on the main window's own
// controls, which the window hands it.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

#include "core/model/model.h"
#include "gui/dialogs/refpnts.h"

class QWidget;

namespace tarn {

class TMainForm;
class TDrawLines;
class RecentDesigns;

class MeasureTools : public QObject {
    Q_OBJECT
public:
    MeasureTools(Model& m, TMainForm& form);

    // The lines-and-circles dialog, once it exists.
    void AttachDrawLines(TDrawLines* d) { drawLines_ = d; }
    // What the reference points dialog needs of the main window.
    TRefPnts::MainSide RefPntsSide();

    // The file dialogs; tests put a chosen path in their place ("" cancels).
    using FileChooser = std::function<QString(QWidget* parent)>;
    void SetSaveChooser(FileChooser c) { chooseSave_ = std::move(c); }
    void SetOpenChooser(FileChooser c) { chooseOpen_ = std::move(c); }
    // Where a refused file or a failed save is reported (an error message box by default).
    void SetErrorReporter(std::function<void(QWidget*, const QString&)> r) {
        reportError_ = std::move(r);
    }
    // The system beep (tests count).
    void SetBeeper(std::function<void()> b) { beep_ = std::move(b); }

    // ---- handlers ----
    void RefPointsClick();
    void SetPivotDataClick();
    void RefPtClick(int point);          // RP1, RP2: centre the view on the point
    void RefPtZeroClick(int point);      // "0"
    void SBRefChange(int bar, int pos);  // 0..3: Ref1Vert, Ref1Horz, Ref2Vert, Ref2Horz
    void MouseDown(Qt::MouseButton button, int x, int y);
    void DrawLines1Click();
    void SaveAsDimensionsClick();
    void OpenDimensionsClick();
    // A recent designs entry: opens the file, or takes it off the list with a message when it
    // has gone.
    void OpenRecentClick(const QString& path);

    // Opens a design file as File > Open does once its dialog is confirmed. A refused file
    // leaves the design as it was and its message is shown: at once, or (Later) from the event
    // loop, for a file opened while the program starts. Returns whether the file was opened.
    enum class Message { Now, Later };
    bool OpenDesign(const QString& path, Message when = Message::Now);

    RecentDesigns& recent() { return *recent_; }

private:
    void SetZeroEnabled(int point, bool enabled);

    Model& m_;
    TMainForm& form_;
    TDrawLines* drawLines_ = nullptr;
    FileChooser chooseSave_;
    FileChooser chooseOpen_;
    std::function<void(QWidget*, const QString&)> reportError_;
    std::function<void()> beep_;
    RecentDesigns* recent_ = nullptr;
};

}  // namespace tarn
