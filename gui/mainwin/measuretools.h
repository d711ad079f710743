// The main window's measuring tools: the reference-point mode and its bars and buttons, the
// pivot-data rows and the lines-and-circles dialog reached from the picture. It works on the
// main window's own controls, which the window hands it.
#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <functional>

#include "core/model/model.h"
#include "core/scene/view.h"
#include "gui/dialogs/refpnts.h"

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

private:
    void SetZeroEnabled(int point, bool enabled);

    Model& m_;
    TMainForm& form_;
    std::array<BarHistory, 4> refBars_{};  // the four reference-point bars' recent positions
    TDrawLines* drawLines_ = nullptr;
    std::function<void()> beep_;
};

}  // namespace tarn
