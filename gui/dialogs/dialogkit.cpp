// Shared construction helpers of the dialogs.
#include "gui/dialogs/dialogkit.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <algorithm>

#include "gui/dialogs/numericfield.h"

namespace tarn {

QFont DialogFont() {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(11);
    f.setStyleHint(QFont::SansSerif);
    return f;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text, QRect r) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setDefault(false);
    b->setGeometry(r);
    return b;
}

NumericField* MakeField(QWidget* parent, const QString& name, FieldVariant variant, QRect r,
                        bool silver) {
    auto* f = new NumericField(variant, parent);
    f->setObjectName(name);
    f->setGeometry(r);
    f->setFont(DialogFont());
    QPalette pal = f->palette();
    pal.setColor(QPalette::Base, silver ? QColor(0xC0, 0xC0, 0xC0) : QColor(Qt::white));
    pal.setColor(QPalette::Text, Qt::black);
    f->setPalette(pal);
    return f;
}

void SetWindowBackground(QWidget* w) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

void DrawTextTopLeft(QPainter& p, int x, int y, const QString& text) {
    p.drawText(x, y + QFontMetrics(p.font()).ascent(), text);
}

void DrawTextFitted(QPainter& p, int x, int y, int width, const QString& text) {
    QFont f = DialogFont();
    const int natural = QFontMetrics(f).horizontalAdvance(text);
    if (width > 0 && natural > width) {
        // Never below 85 %: past that the text stays as it is and meets the field.
        const int stretch = std::max(85, 100 * width / natural);
        f.setStretch(stretch);
        while (f.stretch() > 85 && QFontMetrics(f).horizontalAdvance(text) > width)
            f.setStretch(f.stretch() - 1);
    }
    p.setFont(f);
    DrawTextTopLeft(p, x, y, text);
}

}  // namespace tarn
