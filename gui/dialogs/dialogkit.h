// What the dialogs share: their font, buttons that never take Enter by themselves, fields at
// client positions, text drawn at a top-left point.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>

class QPainter;
class QPushButton;
class QWidget;

namespace tarn {

class NumericField;
enum class FieldVariant;

// "MS Sans Serif" 11 pixels: Liberation Sans at a fixed pixel size.
QFont DialogFont();

// A push button at a client rectangle; autoDefault is off so Enter never presses it unless it is
// the dialog's one default button.
QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text, QRect r);

// A numeric field at a client rectangle, borderless; silver is the grey area of the hint lines.
NumericField* MakeField(QWidget* parent, const QString& name, FieldVariant variant, QRect r,
                        bool silver);

// A plain white client area (clWindow).
void SetWindowBackground(QWidget* w);

// Text with its top-left corner at (x, y) in the painter's font.
void DrawTextTopLeft(QPainter& p, int x, int y, const QString& text);

// Text in the dialog font at (x, y), narrowed a little where it would run past width pixels
// (the labels were laid out for a slightly narrower font than ours).
void DrawTextFitted(QPainter& p, int x, int y, int width, const QString& text);

}  // namespace tarn
