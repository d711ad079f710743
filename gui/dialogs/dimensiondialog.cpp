// The common behaviour of the frame and cylinder dimension dialogs.
#include "gui/dialogs/dimensiondialog.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <algorithm>
#include <utility>

#include "core/model/numfmt.h"
#include "core/variation/commit.h"
#include "core/variation/undo.h"
#include "gui/dialogs/numericfield.h"

namespace tarn {

namespace {

constexpr int kRowHeight = 13;
constexpr int kFieldLeft[3] = {0, 146, 342};
constexpr int kButtonLeft[3] = {0, 0, 194};
constexpr int kColumn2LabelA = 204;  // labels from here on belong to column 2

// The places of a row's field and small button at the normal font.
QRect FieldRect(const DimDialogCell& r) { return {kFieldLeft[r.col], kRowHeight * r.row, 40, 13}; }
QRect ButtonRect(const DimDialogCell& r) {
    return {kButtonLeft[r.col], kRowHeight * r.buttonRow, 8, 13};
}

}  // namespace

DimensionDialog::DimensionDialog(Model& m, MainWindowHost* mainWindow,
                                 const DimDialogLayout& layout, QWidget* parent)
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

    for (const DimensionInfo& d : Dimensions())
        if (d.dialog.dialog == layout.dimensions) rows_.push_back(&d);
    std::stable_sort(rows_.begin(), rows_.end(),
                     [](const DimensionInfo* a, const DimensionInfo* b) {
                         return std::pair(a->dialog.col, a->dialog.row) <
                                std::pair(b->dialog.col, b->dialog.row);
                     });
    int maxField = 0;
    for (const DimensionInfo* d : rows_) maxField = std::max(maxField, d->dialog.field);
    fields_.assign(static_cast<std::size_t>(maxField) + 1, nullptr);
    buttons_.assign(static_cast<std::size_t>(maxField) + 1, nullptr);
    for (const DimensionInfo* d : rows_) {
        const DimDialogCell& r = d->dialog;
        const QString n = QString::number(r.field);
        const bool dimension = r.entry == DimEntry::Dimension;
        const FieldVariant variant = dimension ? FieldVariant::Dimension : FieldVariant::GearLimit;
        NumericField* f =
            MakeField(this, QStringLiteral("Edit") + n, variant, FieldRect(r), dimension);
        f->setEnterTarget(close1_);
        if (dimension) f->setEditFlag(&m_.undo.EditChanged);
        const int fieldNo = r.field;
        connect(f, &NumericField::committed, this, [this, fieldNo] { FieldExit(fieldNo); });
        fields_[static_cast<std::size_t>(r.field)] = f;

        QPushButton* b = MakeButton(this, QStringLiteral("Button") + n, QString(), ButtonRect(r));
        const int id = d->id;
        // The main window's next frame closes this dialog, shows the dimension and opens the
        // dialog again.
        connect(b, &QPushButton::clicked, this, [this, id] { m_.closeup.GraphicPosId = id; });
        buttons_[static_cast<std::size_t>(r.field)] = b;
    }
    // Tab order follows the rows as the table lists them.
    QWidget* prev = nullptr;
    for (const DimensionInfo* d : rows_) {
        QWidget* f = field(d->dialog.field);
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

const DimensionInfo* DimensionDialog::rowOf(int field) const {
    for (const DimensionInfo* d : rows_)
        if (d->dialog.field == field) return d;
    return nullptr;
}

void DimensionDialog::LayOut() {
    scale_ = LayoutScale::Of(m_.display);
    setFixedSize(scale_.Size(QSize(layout_.clientWidth, layout_.clientHeight)));
    reset_->setGeometry(scale_.Rect(layout_.resetRect));
    close1_->setGeometry(scale_.Rect(layout_.closeRect));
    for (const DimensionInfo* d : rows_) {
        const auto n = static_cast<std::size_t>(d->dialog.field);
        fields_[n]->setGeometry(scale_.Rect(FieldRect(d->dialog)));
        buttons_[n]->setGeometry(scale_.Rect(ButtonRect(d->dialog)));
    }
}

void DimensionDialog::FormActivate() {
    for (const DimensionInfo* d : rows_)
        field(d->dialog.field)
            ->setText(QString::fromStdString(DimensionText(DimensionRef(m_, *d))));
    update();
}

void DimensionDialog::showEvent(QShowEvent* e) {
    // A window restored from the task bar is not opened anew: its fields stay as typed.
    if (e->spontaneous()) {
        QDialog::showEvent(e);
        return;
    }
    LayOut();
    FormActivate();
    QDialog::showEvent(e);
    close1_->setFocus(Qt::OtherFocusReason);
}

void DimensionDialog::paintEvent(QPaintEvent* e) {
    QDialog::paintEvent(e);
    QPainter p(this);
    p.setPen(Qt::black);
    // The labels keep to the scale their fields were placed at.
    for (const DimensionInfo* d : rows_) {
        for (const DimLabelLine& l : d->dialog.label) {
            if (l.text.empty()) continue;
            // A label ends before the field of its column.
            const int right = scale_.X(l.a < kColumn2LabelA ? kFieldLeft[1] : kFieldLeft[2]) - 1;
            const int x = scale_.X(l.a);
            DrawTextFitted(
                p, x, scale_.Y(kRowHeight * l.row), right - x,
                QString::fromLatin1(l.text.data(), static_cast<qsizetype>(l.text.size())));
        }
    }
    const int right = scale_.X(layout_.resetRect.left()) - 1;
    DrawTextFitted(p, 1, scale_.Y(layout_.hint1y), right - 1, QString::fromLatin1(layout_.hint1));
    DrawTextFitted(p, 1, scale_.Y(layout_.hint2y), right - 1, QString::fromLatin1(layout_.hint2));
}

bool DimensionDialog::eventFilter(QObject* watched, QEvent* e) {
    // Any mouse button pressed on the reset button resets at once, before the click.
    if (watched == reset_ && e->type() == QEvent::MouseButtonPress && reset_->isEnabled())
        ResetMouseDown();
    return QDialog::eventFilter(watched, e);
}

void DimensionDialog::ResetClick() {
    ResetMouseDown();
    ClearUndoStack(m_.undo);
}

void DimensionDialog::FieldExit(int n) {
    const DimensionInfo* r = rowOf(n);
    NumericField* f = field(n);
    if (!r || !f) return;
    CommitDimensionField(m_, r->id, f->text().toStdString());
}

void DimensionDialog::Close1Click() {
    CentreRevArm(m_);
    // The bar's change event puts the arm at the new centre (if the bar moves at all).
    if (mainWindow_) mainWindow_->SetRevArmBar(0);
    m_.readouts.FrontCutoffText.clear();
    m_.readouts.RearCutoffText.clear();
    accept();
}

}  // namespace tarn
