// The reverse-arm position dialog.
#include "gui/dialogs/revpos.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "core/model/numfmt.h"
#include "gui/dialogs/dialogkit.h"
#include "gui/dialogs/numericfield.h"

namespace tarn {

namespace {

QString N(long double v) { return QString::fromStdString(FieldText(v, 5, 3)); }

}  // namespace

TRevPos::TRevPos(Model& m, MainWindowHost* mainWindow, QWidget* parent)
    : QDialog(parent), m_(m), mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("RevPos"));
    setWindowTitle(QStringLiteral("Reverse Arm Position"));
    setFont(DialogFont());
    setFixedSize(208, 64);
    setModal(true);
    const QPoint at[7] = {{}, {5, 35}, {2, 15}, {71, 0}, {141, 15}, {2, 0}, {141, 0}};
    for (int i = 1; i <= 6; ++i) {
        label_[i] = new QLabel(this);
        label_[i]->setObjectName(QStringLiteral("Label%1").arg(i));
        label_[i]->move(at[i]);
    }
    label_[1]->setText(QStringLiteral("Enter"));
    label_[1]->adjustSize();
    edit1_ = MakeField(this, QStringLiteral("Edit1"), FieldVariant::Signed, QRect(34, 32, 50, 21),
                       false);
    edit1_->setFrame(true);
    ok_ = MakeButton(this, QStringLiteral("OK"), QStringLiteral("OK"), QRect(94, 33, 52, 21));
    cancel_ = MakeButton(this, QStringLiteral("Cancel"), QStringLiteral("Cancel"),
                         QRect(152, 33, 52, 21));
    connect(ok_, &QPushButton::clicked, this, [this] {
        OKClick();
        accept();
    });
    // Cancel, Escape and the close box change nothing.
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void TRevPos::FormActivate() {
    const long double c = m_.motion.RevArmPositions[0];
    label_[2]->setText(QStringLiteral("Max = ") + N(c + m_.design.RevArmToCentMax));
    label_[3]->setText(QStringLiteral("Cen = ") + N(c));
    label_[4]->setText(QStringLiteral("Min = ") + N(c - m_.design.RevArmToCentMax));
    label_[5]->setText(QStringLiteral("Rev = ") + N(c + m_.design.RevArmToCentNorm));
    label_[6]->setText(QStringLiteral("Fwd = ") + N(c - m_.design.RevArmToCentNorm));
    for (int i = 2; i <= 6; ++i) label_[i]->adjustSize();
    edit1_->setText(QString::fromStdString(FieldText(m_.motion.RevArmPos, 7, 3)));
}

void TRevPos::showEvent(QShowEvent* e) {
    // A window restored from the task bar is not opened anew: its text stays as typed.
    if (e->spontaneous()) {
        QDialog::showEvent(e);
        return;
    }
    FormActivate();
    QDialog::showEvent(e);
    cancel_->setFocus(Qt::OtherFocusReason);
}

void TRevPos::OKClick() {
    const long double c = m_.motion.RevArmPositions[0];
    f32 v = ParseField(edit1_->text().toStdString());
    const f32 lo = ToFloat(c - m_.design.RevArmToCentMax);
    const f32 hi = ToFloat(c + m_.design.RevArmToCentMax);
    if (!(v >= lo)) v = lo;  // an unreadable value counts as below
    if (v > hi) v = hi;
    m_.motion.RevArmPos = v;
    // The bar's change event recomputes the arm, the direction and the Cen/Fwd/Rev buttons.
    if (mainWindow_) mainWindow_->SetRevArmBar(Round((c - static_cast<long double>(v)) * 1000));
}

}  // namespace tarn
