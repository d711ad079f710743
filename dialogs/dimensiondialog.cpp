// The common behaviour of the frame and cylinder dimension dialogs.
#include "dialogs/dimensiondialog.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>

#include "dialogs/numericfield.h"
#include "model/dimensions.h"
#include "model/numfmt.h"
#include "variation/commit.h"
#include "variation/undo.h"

namespace tarn {

namespace {

constexpr int kRowHeight = 13;
constexpr int kFieldLeft[3] = {0, 146, 342};
constexpr int kButtonLeft[3] = {0, 0, 194};
constexpr int kColumn2LabelA = 204;  // labels from here on belong to column 2

}  // namespace

DimensionDialog::DimensionDialog(Model& m, MainWindowHost* mainWindow, const DimDialogLayout& layout,
                                 QWidget* parent)
    : QDialog(parent), m_(m), layout_(layout), mainWindow_(mainWindow) {
    setObjectName(QString::fromLatin1(layout.objectName));
    setWindowTitle(QString::fromLatin1(layout.caption));
    setFont(DialogFont());
    SetWindowBackground(this);
    setFixedSize(layout.clientWidth, layout.clientHeight);
    setModal(true);

    reset_ = MakeButton(this, QString::fromLatin1(layout.resetName),
                        QString::fromLatin1(layout.resetText), layout.resetRect);
    close1_ = MakeButton(this, QStringLiteral("Close1"), QStringLiteral("Close"), layout.closeRect);
    reset_->installEventFilter(this);
    connect(reset_, &QPushButton::clicked, this, [this] { ResetClick(); });
    connect(close1_, &QPushButton::clicked, this, [this] { Close1Click(); });

    int maxField = 0;
    for (const auto& r : layout.rows) maxField = std::max(maxField, r.field);
    fields_.assign(static_cast<std::size_t>(maxField + 1), nullptr);
    for (const auto& r : layout.rows) {
        const QString n = QString::number(r.field);
        const bool dimension = r.variant == FieldVariant::Dimension;
        NumericField* f = MakeField(this, QStringLiteral("Edit") + n, r.variant,
                                    QRect(kFieldLeft[r.col], kRowHeight * r.row, 40, 13), dimension);
        f->setEnterTarget(close1_);
        if (dimension) f->setEditFlag(&m_.EditChanged);
        const int fieldNo = r.field;
        connect(f, &NumericField::committed, this, [this, fieldNo] { FieldExit(fieldNo); });
        fields_[static_cast<std::size_t>(r.field)] = f;

        QPushButton* b = MakeButton(this, QStringLiteral("Button") + n, QString(),
                                    QRect(kButtonLeft[r.col], kRowHeight * r.buttonRow, 8, 13));
        const int id = r.id;
        // The main window's next frame closes this dialog, shows the dimension and opens the
        // dialog again.
        connect(b, &QPushButton::clicked, this, [this, id] { m_.GraphicPosId = id; });
    }
    // Tab order follows the rows as the table lists them.
    QWidget* prev = nullptr;
    for (const auto& r : layout.rows) {
        QWidget* f = field(r.field);
        if (prev) setTabOrder(prev, f);
        prev = f;
    }
    setTabOrder(prev, reset_);
    setTabOrder(reset_, close1_);
}

NumericField* DimensionDialog::field(int n) const {
    if (n < 0 || n >= static_cast<int>(fields_.size())) return nullptr;
    return fields_[static_cast<std::size_t>(n)];
}

void DimensionDialog::ResetRevArmRange() {
    if (mainWindow_) mainWindow_->ResetRevArmRange();
}

const DimFieldRow* DimensionDialog::rowOf(int field) const {
    for (const auto& r : layout_.rows)
        if (r.field == field) return &r;
    return nullptr;
}

void DimensionDialog::FormActivate() {
    for (const auto& r : layout_.rows)
        field(r.field)->setText(QString::fromStdString(DimensionText(GetDimension(m_, r.id))));
    update();
}

void DimensionDialog::showEvent(QShowEvent* e) {
    // A window restored from the task bar is not opened anew: its fields stay as typed.
    if (e->spontaneous()) {
        QDialog::showEvent(e);
        return;
    }
    FormActivate();
    QDialog::showEvent(e);
    close1_->setFocus(Qt::OtherFocusReason);
}

void DimensionDialog::paintEvent(QPaintEvent* e) {
    QDialog::paintEvent(e);
    QPainter p(this);
    p.setPen(Qt::black);
    const long double sx = m_.FontScaleX;
    for (const auto& l : layout_.labels) {
        // A label ends before the field of its column.
        const int right = (l.a < kColumn2LabelA ? kFieldLeft[1] : kFieldLeft[2]) - 1;
        const int x = Round(l.a * sx);
        DrawTextFitted(p, x, kRowHeight * l.row, right - x, QString::fromLatin1(l.text));
    }
    const int right = layout_.resetRect.left() - 1;
    DrawTextFitted(p, 1, layout_.hint1y, right - 1, QString::fromLatin1(layout_.hint1));
    DrawTextFitted(p, 1, layout_.hint2y, right - 1, QString::fromLatin1(layout_.hint2));
}

bool DimensionDialog::eventFilter(QObject* watched, QEvent* e) {
    // Any mouse button pressed on the reset button resets at once, before the click.
    if (watched == reset_ && e->type() == QEvent::MouseButtonPress && reset_->isEnabled())
        ResetMouseDown();
    return QDialog::eventFilter(watched, e);
}

void DimensionDialog::ResetClick() {
    ResetMouseDown();
    ClearUndoStack(m_);
}

void DimensionDialog::FieldExit(int n) {
    const DimFieldRow* r = rowOf(n);
    NumericField* f = field(n);
    if (!r || !f) return;
    CommitDimensionField(m_, r->id, f->text().toStdString());
}

void DimensionDialog::Close1Click() {
    CentreRevArm(m_);
    // The bar's change event puts the arm at the new centre (if the bar moves at all).
    if (mainWindow_) mainWindow_->SetRevArmBar(0);
    m_.FrontCutoffText.clear();
    m_.RearCutoffText.clear();
    accept();
}

}  // namespace tarn
