// "Draw Lines": twenty rows of lines and circles over the linkage, each made from the two
// reference points and fixed in the model or tied to pivots. The rules live in
// DrawLinesLogic; this window shows its state and forwards the clicks.
#pragma once

#include <QDialog>

#include <array>
#include <functional>

#include "core/overlay/drawlines.h"

class QButtonGroup;
class QFrame;
class QLabel;
class QPushButton;

namespace tarn {

class NumericField;

class TDrawLines : public QDialog {
    Q_OBJECT
public:
    explicit TDrawLines(Model& m, QWidget* parent = nullptr);

    DrawLinesLogic& logic() { return logic_; }
    // The system beep; tests count instead.
    void SetBeeper(std::function<void()> beep) { beep_ = std::move(beep); }

    // ---- called by the main window ----
    void LinesDataClick();
    void ClearRowLabels();
    void HighlightCurrentRow();
    bool MouseReopens(MouseButton b) { return logic_.MouseReopens(b); }

    // ---- the dialog's events ----
    void FormActivate();
    void RowNumberClick(int k);
    void RadioGroup1Click(int item);
    void RadioGroup2Click(int item);
    void RadioGroup3Click(int item);
    void DrawButClick();
    void ClearLineClick();
    void CloseButClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    // Shows the logic's state and carries out its beeps and its request to close.
    void Sync();
    void FieldExit(int k, int col);

    Model& m_;
    DrawLinesLogic logic_;
    std::function<void()> beep_;
    std::array<QFrame*, kOverlayRows + 1> panels_{};
    std::array<std::array<QLabel*, 3>, kOverlayRows + 1> labels_{};  // type, colour, reference
    std::array<std::array<NumericField*, 4>, kOverlayRows + 1> fields_{};
    std::array<std::array<std::string, 4>, kOverlayRows + 1> shown_{};  // the texts last put in
    std::array<QButtonGroup*, 3> groups_{};
    QPushButton* drawBut_ = nullptr;
};

}  // namespace tarn
