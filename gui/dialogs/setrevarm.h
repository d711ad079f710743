// "Set Reverse Arm Positions": up to nine reverse-arm positions for the sine, oval and steam
// diagrams, and their vertical scale. The list ends at the first unused (0) position.
#pragma once

#include <QDialog>

#include "core/model/model.h"

class QPushButton;

namespace tarn {

class NumericField;

class TSetRevArm : public QDialog {
    Q_OBJECT
public:
    TSetRevArm(Model& m, QWidget* parent = nullptr);

    // Fixes RevArmCount, clears the entries after the first 0 and shows one empty field after
    // the last used position.
    void ShowRevArmPositions();

    NumericField* field(int n) const { return (n >= 1 && n <= 10) ? edit_[n] : nullptr; }

    void done(int r) override;

protected:
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void reveal(int position, bool shown);
    void exitPosition(int k);
    void exitScale();

    Model& m_;
    NumericField* edit_[11] = {};
    QPushButton* close1_ = nullptr;
};

}  // namespace tarn
