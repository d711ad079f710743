// The two small angle dialogs share their layout: "Enter", a range, one unsigned field, OK (the
// default button) and Cancel. TDrivAng puts the crank at a typed angle and stops the motion;
// TStpAng sets the step per tick and keeps the motion as it was.
#pragma once

#include <QDialog>
#include <QPointer>

#include "dialogs/dialogkit.h"
#include "model/model.h"

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
    AngleDialog(Model& m, QWidget* mainWindow, const char* objectName, const char* caption,
                const char* minText, const char* maxText, QWidget* parent);
    void showEvent(QShowEvent* e) override;
    MainControls main() const { return FindMainControls(mainWindow_); }
    // The main window's run/stop button pressed with the given caption.
    void RunClickWithCaption(const QString& caption);

    Model& m_;
    QPointer<QWidget> mainWindow_;
    NumericField* edit1_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

class TDrivAng : public AngleDialog {
    Q_OBJECT
public:
    TDrivAng(Model& m, QWidget* mainWindow, QWidget* parent = nullptr);
    void FormActivate() override;
    void OKClick() override;
};

class TStpAng : public AngleDialog {
    Q_OBJECT
public:
    TStpAng(Model& m, QWidget* mainWindow, QWidget* parent = nullptr);
    void FormActivate() override;
    void OKClick() override;
};

// The step-angle bar's position for a step: Round(log10(step * 100) * 4000), 0 for 0.01 degrees
// and 14613 for 45.
int StepBarPosition(float step);

}  // namespace tarn
