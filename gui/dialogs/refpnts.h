// "Reference Points": the two reference points typed as numbers. OK switches the mode on,
// Zero clears both points and switches it off, Cancel (also Escape and the close box) switches
// it off.
#pragma once

#include <QDialog>

#include <array>
#include <functional>

#include "core/model/model.h"

class QPushButton;

namespace tarn {

class NumericField;

class TRefPnts : public QDialog {
    Q_OBJECT
public:
    // The main window's side: the reference-point mode switch, and the "0" button of point 1
    // or 2 enabled or disabled.
    struct MainSide {
        std::function<void()> modeSwitch;
        std::function<void(int point, bool enabled)> setZeroEnabled;
    };
    TRefPnts(Model& m, MainSide main, QWidget* parent = nullptr);

    void FormActivate();
    void OKClick();
    void ZeroClick();
    void CancelClick();

protected:
    void showEvent(QShowEvent* e) override;
    void reject() override;  // Escape and the close box

private:
    Model& m_;
    MainSide main_;
    std::array<NumericField*, 4> fields_{};
    std::array<bool, 4> edited_{};
    QPushButton* ok_ = nullptr;
    QPushButton* zero_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace tarn
