// The close-up zoom factor dialog: an unsigned number field, OK clamps and stores.
#include "gui/mainwin/graphzoom.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "core/model/numfmt.h"
#include "core/scene/view.h"
#include "gui/common/qpaintercanvas.h"
#include "gui/dialogs/numericfield.h"

namespace tarn {

TGraphZoom::TGraphZoom(Model& m, QWidget* parent) : QDialog(parent), m_(m) {
    setObjectName(QStringLiteral("GraphZoom"));
    setWindowTitle(QStringLiteral("Set Zoom of Dimensional Graphic Position"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setFont(QFontFor(FontSpec{FontFamily::Sans, 8}));
    setFixedSize(300, 96);

    auto label = [this](const char* text, int x, int y) {
        auto* l = new QLabel(QString::fromLatin1(text), this);
        l->move(x, y);
        l->adjustSize();
    };
    label("Min = 0.5", 8, 8);
    label("Max = 2000.0", 110, 8);
    label("Approximate Factor = Locomotive Gauge in Units Used", 8, 28);
    label("Enter", 8, 59);

    // Digits and one point, no sign, filtered like every other number field (pastes too);
    // Enter is consumed.
    edit1_ = new NumericField(FieldVariant::Unsigned, this);
    edit1_->setObjectName(QStringLiteral("Edit1"));
    edit1_->setGeometry(42, 56, 60, 21);
    edit1_->setFrame(true);

    auto button = [this](const char* name, int x) {
        auto* b = new QPushButton(QString::fromLatin1(name), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(x, 55, 70, 24);
        b->setAutoDefault(false);
        b->setDefault(false);
        return b;
    };
    connect(button("OK", 130), &QPushButton::clicked, this, &TGraphZoom::OKClick);
    // Cancel, Escape and the close box change nothing.
    connect(button("Cancel", 210), &QPushButton::clicked, this, &QDialog::reject);
}

void TGraphZoom::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    // A window restored from the task bar is not opened anew: its text stays as typed.
    if (!e->spontaneous()) FormActivate();
}

void TGraphZoom::FormActivate() {
    edit1_->setText(QString::fromStdString(FieldText(m_.closeup.GraphicZoomFactor, 4, 2)));
}

void TGraphZoom::OKClick() {
    m_.closeup.GraphicZoomFactor = GraphicZoomFromText(edit1_->text().toStdString());
    accept();
}

}  // namespace tarn
