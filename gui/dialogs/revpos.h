// "Reverse Arm Position": puts the reverse arm at a typed position, clamped into mid gear +-
// the largest offset, through the main window's reverse-arm bar.
#pragma once

#include <QDialog>

#include "core/model/model.h"
#include "gui/common/mainwindowhost.h"

class QLabel;
class QPushButton;

namespace tarn {

class NumericField;

class TRevPos : public QDialog {
    Q_OBJECT
public:
    TRevPos(Model& m, MainWindowHost* mainWindow, QWidget* parent = nullptr);

    void FormActivate();
    void OKClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    Model& m_;
    MainWindowHost* mainWindow_;  // may be missing
    QLabel* label_[7] = {};
    NumericField* edit1_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace tarn
