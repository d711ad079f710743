// The two small angle dialogs share their layout: "Enter", a range, one unsigned field, OK (the
// default button, pressed by Enter in the field) and Cancel. TDrivAng puts the crank at a typed
// angle and stops the motion; TStpAng sets the step per tick and keeps the motion as it was.
#pragma once

#include <QDialog>

#include "core/model/model.h"
#include "gui/common/mainwindowhost.h"
#include "gui/dialogs/dialogkit.h"

class QLabel;
class QPushButton;

namespace tarn {

class NumericField;

class AngleDialog : public QDialog {
    Q_OBJECT
public:
    virtual void FormActivate() = 0;
    virtual void OKClick() = 0;

protected:
    AngleDialog(Model& m, MainWindowHost* mainWindow, const char* objectName, const char* caption,
                const char* minText, const char* maxText, QWidget* parent);
    void showEvent(QShowEvent* e) override;

    Model& m_;
    MainWindowHost* mainWindow_;  // may be missing
    NumericField* edit1_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

class TDrivAng : public AngleDialog {
    Q_OBJECT
public:
    TDrivAng(Model& m, MainWindowHost* mainWindow, QWidget* parent = nullptr);
    void FormActivate() override;
    void OKClick() override;
};

class TStpAng : public AngleDialog {
    Q_OBJECT
public:
    TStpAng(Model& m, MainWindowHost* mainWindow, QWidget* parent = nullptr);
    void FormActivate() override;
    void OKClick() override;
};

}  // namespace tarn
