// The driver-angle and step-angle dialogs.
#include "gui/dialogs/angledialog.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "core/model/numfmt.h"
#include "core/scene/motion.h"
#include "gui/dialogs/numericfield.h"

namespace tarn {

namespace {

QString Angle(long double v) { return QString::fromStdString(FieldText(v, 4, 2)); }

}  // namespace

AngleDialog::AngleDialog(Model& m, MainWindowHost* mainWindow, const char* objectName,
                         const char* caption, const char* minText, const char* maxText,
                         QWidget* parent)
    : QDialog(parent), m_(m), mainWindow_(mainWindow) {
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(QString::fromLatin1(caption));
    setFont(DialogFont());
    setFixedSize(208, 47);
    setModal(true);
    const struct {
        const char* name;
        const char* text;
        QPoint at;
    } labels[] = {
        {"Label1", "Enter", {5, 19}}, {"Label2", minText, {10, 0}}, {"Label3", maxText, {100, 0}}};
    for (const auto& l : labels) {
        auto* w = new QLabel(QString::fromLatin1(l.text), this);
        w->setObjectName(QString::fromLatin1(l.name));
        w->move(l.at);
        w->adjustSize();
    }
    edit1_ = MakeField(this, QStringLiteral("Edit1"), FieldVariant::Unsigned, QRect(34, 16, 50, 21),
                       false);
    edit1_->setFrame(true);
    ok_ = MakeButton(this, QStringLiteral("OK"), QStringLiteral("OK"), QRect(94, 17, 52, 21));
    cancel_ = MakeButton(this, QStringLiteral("Cancel"), QStringLiteral("Cancel"),
                         QRect(152, 17, 52, 21));
    // OK is this dialog's one default button: Enter in the field presses it, with the typed
    // text. Enter on a button presses that button (Cancel too), as the focused button is the
    // one that takes Enter.
    ok_->setDefault(true);
    ok_->setAutoDefault(true);
    cancel_->setAutoDefault(true);
    edit1_->setEnterButton(ok_);
    connect(ok_, &QPushButton::clicked, this, [this] {
        OKClick();
        accept();
    });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void AngleDialog::showEvent(QShowEvent* e) {
    // A window restored from the task bar is not opened anew: its text stays as typed.
    if (e->spontaneous()) {
        QDialog::showEvent(e);
        return;
    }
    FormActivate();
    QDialog::showEvent(e);
    cancel_->setFocus(Qt::OtherFocusReason);
}

TDrivAng::TDrivAng(Model& m, MainWindowHost* mainWindow, QWidget* parent)
    : AngleDialog(m, mainWindow, "DrivAng", "Driver Angle", "Min = 0.00", "Max = 360.00", parent) {
    edit1_->clear();
}

void TDrivAng::FormActivate() {
    edit1_->setText(m_.motion.StepAngle != 0 ? QStringLiteral("0.00")
                                             : Angle(m_.motion.CrankAngle));
}

void TDrivAng::OKClick() {
    // 1. Stop the motion as the run/stop button's stop branch does (whether it ran or not).
    if (mainWindow_) mainWindow_->StopMotion();
    // 2.
    f32 a = ParseField(edit1_->text().toStdString());
    if (!(a >= 0)) a = 0;
    if (a > 360) a = 360;
    m_.motion.CrankAngle = a;
    // 3. The bar's change event takes the angle from the position.
    if (mainWindow_) mainWindow_->SetDriverAngleBar(Round(static_cast<long double>(a) * 100));
    m_.motion.StepAngle = 0;
}

TStpAng::TStpAng(Model& m, MainWindowHost* mainWindow, QWidget* parent)
    : AngleDialog(m, mainWindow, "StpAng", "Step Angle", "Min = 0.01", "Max = 45.00", parent) {
    edit1_->setText(QStringLiteral("5.0"));
}

void TStpAng::FormActivate() {
    // The chosen step in both states, so OK without typing keeps it.
    edit1_->setText(Angle(m_.motion.StepSetting));
}

void TStpAng::OKClick() {
    // 1.
    m_.motion.StepSnap = false;
    // 2.
    f32 s = ParseField(edit1_->text().toStdString());
    if (s > 45) s = 45;
    if (!(s >= 0.01f)) s = 0.01f;
    m_.motion.StepSetting = s;
    // 3. The motion stays as it was: a running motion restarts with the new step at once, a
    // stopped one goes through the stop branch again.
    if (mainWindow_) {
        if (mainWindow_->MotionRunning()) mainWindow_->StartMotion();
        else mainWindow_->StopMotion();
    }
    // 4. The bar's change event sees StepSnap false and keeps the typed step. When the bar is
    // already at that position no event fires, so the snap is restored and the step buttons
    // are set here in every case.
    if (mainWindow_) mainWindow_->SetStepAngleBar(StepBarPosition(s));
    m_.motion.StepSnap = true;
    if (mainWindow_) mainWindow_->UpdateStepButtons();
    // 5. One click on the driver-angle bar moves the crank by one step.
    if (mainWindow_)
        mainWindow_->SetDriverAngleSteps(Round(static_cast<long double>(s) * 100),
                                         Round(static_cast<long double>(s) * 500));
}

}  // namespace tarn
