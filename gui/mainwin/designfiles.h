// The File menu's designs: saving and opening a dimension file through the file dialogs, the
// recent designs, and opening a design named at start.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

#include "core/model/model.h"

class QWidget;

namespace tarn {

class DesignConditions;
class TMainForm;
class TDrawLines;
class RecentDesigns;

class DesignFiles : public QObject {
    Q_OBJECT
public:
    DesignFiles(Model& m, TMainForm& form);

    // The lines-and-circles dialog, once it exists: its rows follow an opened design.
    void AttachDrawLines(TDrawLines* d) { drawLines_ = d; }
    // The holder of the engine's conditions, once it exists: they are opened and saved with the
    // design.
    void AttachConditions(DesignConditions* c) { conditions_ = c; }

    // The file dialogs; tests put a chosen path in their place ("" cancels).
    using FileChooser = std::function<QString(QWidget* parent)>;
    void SetSaveChooser(FileChooser c) { chooseSave_ = std::move(c); }
    void SetOpenChooser(FileChooser c) { chooseOpen_ = std::move(c); }
    // Where a refused file or a failed save is reported (an error message box by default).
    void SetErrorReporter(std::function<void(QWidget*, const QString&)> r) {
        reportError_ = std::move(r);
    }

    // ---- handlers ----
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
    Model& m_;
    TMainForm& form_;
    TDrawLines* drawLines_ = nullptr;
    DesignConditions* conditions_ = nullptr;
    FileChooser chooseSave_;
    FileChooser chooseOpen_;
    std::function<void(QWidget*, const QString&)> reportError_;
    RecentDesigns* recent_ = nullptr;
};

}  // namespace tarn
