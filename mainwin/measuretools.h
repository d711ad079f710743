// The main window's measuring and file tools: the reference-point mode and its bars and
// buttons, the pivot-data rows, the lines-and-circles dialog reached from the picture, and
// saving and opening a design. It works on the main window's own controls, found by name.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

#include "dialogs/refpnts.h"
#include "model/model.h"

class QWidget;

namespace tarn {

class TMainForm;
class TDrawLines;

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
    void SetErrorReporter(std::function<void(QWidget*, const QString&)> r) { reportError_ = std::move(r); }
    // The system beep (tests count).
    void SetBeeper(std::function<void()> b) { beep_ = std::move(b); }

    // ---- handlers ----
    void RefPointsClick();
    void SetPivotDataClick();
    void RefPtClick(int point);      // RP1, RP2: centre the view on the point
    void RefPtZeroClick(int point);  // "0"
    void SBRefChange(int bar, int pos);  // 0..3: Ref1Vert, Ref1Horz, Ref2Vert, Ref2Horz
    void MouseDown(Qt::MouseButton button, int x, int y);
    void DrawLines1Click();
    void SaveAsDimensionsClick();
    void OpenDimensionsClick();

private:
    template <class T> T* Named(const char* name) const;
    void SetZeroEnabled(int point, bool enabled);

    Model& m_;
    TMainForm& form_;
    TDrawLines* drawLines_ = nullptr;
    FileChooser chooseSave_;
    FileChooser chooseOpen_;
    std::function<void(QWidget*, const QString&)> reportError_;
    std::function<void()> beep_;
};

}  // namespace tarn
