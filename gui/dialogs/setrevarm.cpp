// The reverse-arm positions dialog: drawn texts, positions clamped into mid gear +- the largest
// offset, and the list fixed whenever the dialog closes.
#include "gui/dialogs/setrevarm.h"

#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <algorithm>

#include "core/model/numfmt.h"
#include "gui/dialogs/dialogkit.h"
#include "gui/dialogs/numericfield.h"

namespace tarn {

namespace {

QString N(long double v) { return QString::fromStdString(FieldText(v, 5, 3)); }

constexpr QPoint kFieldAt[11] = {{},        {138, 47}, {138, 63}, {138, 79}, {138, 95}, {333, 31},
                                 {333, 47}, {333, 63}, {333, 79}, {333, 95}, {138, 31}};
// Label of position k: a and b of its text.
constexpr int kLabelA[10] = {0, 13, 13, 13, 13, 165, 165, 165, 165, 165};
constexpr int kLabelB[10] = {0, 38, 51, 64, 77, 25, 38, 51, 64, 77};

// The texts line up with the fields at the large layout's vertical scale, so they keep it at
// both settings.
constexpr float kTextScaleY = 1.22f;
// Only at the large layout's horizontal scale do the texts of positions 5 to 9 start right of
// the first column of fields (at 165 they would run under fields 10 and 1 to 4 up to 187), so
// they never stand further left than there.
constexpr float kSecondColumnScaleX = 1.27f;

}  // namespace

TSetRevArm::TSetRevArm(Model& m, QWidget* parent) : QDialog(parent), m_(m) {
    setObjectName(QStringLiteral("SetRevArm"));
    setWindowTitle(QStringLiteral("Set Reverse Arm Positions"));
    setFont(DialogFont());
    SetWindowBackground(this);
    setFixedSize(409, 154);
    setModal(true);
    for (int n = 1; n <= 10; ++n) {
        const FieldVariant v = n <= 8 ? FieldVariant::Position : FieldVariant::Signed;
        edit_[n] = MakeField(this, QStringLiteral("Edit%1").arg(n), v,
                             QRect(kFieldAt[n], QSize(49, 16)), true);
    }
    close1_ = MakeButton(this, QStringLiteral("Close1"), QStringLiteral("Close"),
                         QRect(158, 114, 92, 31));
    for (int k = 1; k <= 8; ++k)
        connect(edit_[k], &NumericField::keyFiltered, this, [this, k] { reveal(k + 1, true); });
    for (int k = 1; k <= 9; ++k)
        connect(edit_[k], &NumericField::committed, this, [this, k] { exitPosition(k); });
    connect(edit_[10], &NumericField::committed, this, [this] { exitScale(); });
    connect(close1_, &QPushButton::clicked, this, &QDialog::accept);
    QWidget* prev = edit_[10];
    for (int n = 1; n <= 9; ++n) {
        setTabOrder(prev, edit_[n]);
        prev = edit_[n];
    }
    setTabOrder(prev, close1_);
}

void TSetRevArm::reveal(int position, bool shown) {
    if (position < 2 || position > 9) return;
    // A position's label goes with its field.
    edit_[position]->setVisible(shown);
    update();
}

void TSetRevArm::ShowRevArmPositions() {
    auto& p = m_.motion.RevArmPositions;
    edit_[1]->setText(N(p[1]));
    for (int k = 1; k <= 8; ++k) {
        if (p[k] != 0) {
            m_.diagrams.RevArmCount = k;
            reveal(k + 1, true);
        } else {
            p[k + 1] = 0;
            reveal(k + 1, false);
        }
        edit_[k + 1]->setText(N(p[k + 1]));
    }
    if (p[9] != 0) m_.diagrams.RevArmCount = 9;
    edit_[10]->setText(N(m_.diagrams.DiagramScale));
    update();
    close1_->setFocus(Qt::OtherFocusReason);
}

void TSetRevArm::showEvent(QShowEvent* e) {
    // A window restored from the task bar is not opened anew: its fields stay as typed.
    if (e->spontaneous()) {
        QDialog::showEvent(e);
        return;
    }
    ShowRevArmPositions();
    ShowRevArmPositions();
    QDialog::showEvent(e);
    close1_->setFocus(Qt::OtherFocusReason);
}

void TSetRevArm::paintEvent(QPaintEvent* e) {
    QDialog::paintEvent(e);
    QPainter p(this);
    p.setFont(DialogFont());
    p.setPen(Qt::black);
    const long double sx = m_.display.FontScaleX;
    auto at = [&](int a, int b, const QString& t) {
        DrawTextTopLeft(p, Round(a * sx), Round(static_cast<long double>(b) * kTextScaleY), t);
    };
    const long double c = m_.motion.RevArmPositions[0];
    const auto top = [&](int a, const QString& t) { DrawTextTopLeft(p, Round(a * sx), 4, t); };
    top(10, QStringLiteral("Max ") + N(c + m_.design.RevArmToCentMax));
    top(75, QStringLiteral("Rev ") + N(c + m_.design.RevArmToCentNorm));
    top(140, QStringLiteral("Cent ") + N(c));
    top(205, QStringLiteral("Fwd ") + N(c - m_.design.RevArmToCentNorm));
    top(270, QStringLiteral("Min ") + N(c - m_.design.RevArmToCentMax));
    at(13, 98, QStringLiteral("Max of 9 Positions"));
    at(13, 25, QStringLiteral("Vertical Scale"));
    const long double secondColumnX = std::max<long double>(sx, kSecondColumnScaleX);
    for (int k = 1; k <= 9; ++k) {
        if (k != 1 && edit_[k]->isHidden()) continue;
        const QString text = QStringLiteral("Rev Arm Position  %1").arg(k);
        if (k <= 4) at(kLabelA[k], kLabelB[k], text);
        else
            DrawTextTopLeft(p, Round(kLabelA[k] * secondColumnX),
                            Round(static_cast<long double>(kLabelB[k]) * kTextScaleY), text);
    }
}

void TSetRevArm::exitPosition(int k) {
    f32 v = ParseField(edit_[k]->text().toStdString());
    if (k == 1 && v == 0) v = 0.001f;  // position 1 is never unused
    if (v != 0) {
        const long double c = m_.motion.RevArmPositions[0];
        const f32 lo = ToFloat(c - m_.design.RevArmToCentMax);
        const f32 hi = ToFloat(c + m_.design.RevArmToCentMax);
        if (!(v >= lo)) v = lo;
        if (v > hi) v = hi;
    }
    m_.motion.RevArmPositions[k] = v;
}

void TSetRevArm::exitScale() {
    f32 v = ParseField(edit_[10]->text().toStdString());
    if (!(v >= 0.1f)) v = 0.1f;
    if (v > 1000.0f) v = 1000.0f;
    m_.diagrams.DiagramScale = v;
}

void TSetRevArm::done(int r) {
    // Close, Escape and the close box all fix the list and mark the diagrams stale.
    QDialog::done(r);
    ShowRevArmPositions();
    m_.diagrams.DiagramStale = true;
}

}  // namespace tarn
