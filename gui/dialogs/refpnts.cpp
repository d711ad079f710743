// The reference points dialog. Only the fields the user edited are written back, so pressing OK
// to switch the mode on keeps points placed finer than the fields show.
#include "gui/dialogs/refpnts.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "core/scene/refpoints.h"
#include "gui/dialogs/dialogkit.h"
#include "gui/dialogs/numericfield.h"

namespace tarn {

TRefPnts::TRefPnts(Model& m, MainSide main, QWidget* parent)
    : QDialog(parent), m_(m), main_(std::move(main)) {
    setObjectName(QStringLiteral("RefPnts"));
    setWindowTitle(QStringLiteral("Reference Points"));
    setFixedSize(236, 150);
    setFont(DialogFont());
    static constexpr const char* kLabels[4] = {"RefPt V1", "RefPt H1", "RefPt V2", "RefPt H2"};
    for (int i = 0; i < 4; ++i) {
        const int y = 12 + 26 * i;
        auto* l = new QLabel(QString::fromLatin1(kLabels[i]), this);
        l->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        l->setGeometry(12, y + 2, 60, 16);
        fields_[static_cast<std::size_t>(i)] =
            MakeField(this, QStringLiteral("Edit%1").arg(i + 1), FieldVariant::Point,
                      QRect(76, y, 72, 20), false);
        NumericField* f = fields_[static_cast<std::size_t>(i)];
        f->setFrame(true);
        connect(f, &QLineEdit::textEdited, this,
                [this, i] { edited_[static_cast<std::size_t>(i)] = true; });
    }
    ok_ = MakeButton(this, QStringLiteral("OK"), QStringLiteral("OK"), QRect(162, 12, 62, 24));
    zero_ =
        MakeButton(this, QStringLiteral("Zero"), QStringLiteral("Zero"), QRect(162, 48, 62, 24));
    cancel_ = MakeButton(this, QStringLiteral("Cancel"), QStringLiteral("Cancel"),
                         QRect(162, 84, 62, 24));
    connect(ok_, &QPushButton::clicked, this, &TRefPnts::OKClick);
    connect(zero_, &QPushButton::clicked, this, &TRefPnts::ZeroClick);
    connect(cancel_, &QPushButton::clicked, this, &TRefPnts::CancelClick);
}

void TRefPnts::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    // A window restored from the task bar is not opened anew: its fields stay as typed.
    if (!e->spontaneous()) FormActivate();
}

void TRefPnts::FormActivate() {
    const auto texts = RefPointFieldTexts(m_);
    for (std::size_t i = 0; i < 4; ++i) {
        fields_[i]->setText(QString::fromStdString(texts[i]));
        edited_[i] = false;
    }
    cancel_->setFocus(Qt::OtherFocusReason);
}

void TRefPnts::OKClick() {
    std::array<std::optional<std::string>, 4> edited;
    for (std::size_t i = 0; i < 4; ++i)
        if (edited_[i]) edited[i] = fields_[i]->text().toStdString();
    const auto offOrigin = ApplyRefPointFields(m_, edited);
    if (main_.setZeroEnabled) {
        if (offOrigin[0]) main_.setZeroEnabled(1, true);
        if (offOrigin[1]) main_.setZeroEnabled(2, true);
    }
    m_.display.RefPointsOn = false;
    if (main_.modeSwitch) main_.modeSwitch();  // turns the mode on
    done(QDialog::Accepted);
}

void TRefPnts::ZeroClick() {
    m_.display.RefPointsOn = true;
    ZeroReferencePoint(m_, 1);
    ZeroReferencePoint(m_, 2);
    if (main_.setZeroEnabled) {
        main_.setZeroEnabled(1, false);
        main_.setZeroEnabled(2, false);
    }
    if (main_.modeSwitch) main_.modeSwitch();  // turns the mode off
    done(QDialog::Accepted);
}

void TRefPnts::CancelClick() {
    m_.display.RefPointsOn = true;
    if (main_.modeSwitch) main_.modeSwitch();  // turns the mode off
    done(QDialog::Rejected);
}

void TRefPnts::reject() { CancelClick(); }

}  // namespace tarn
