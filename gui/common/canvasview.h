// A picture drawn through the canvas interface, afresh at the widget's size whenever its content
// or the size changes, and with smooth lines or without as the main picture is drawn.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

#include "core/model/canvas.h"

namespace tarn {

class CanvasView : public QWidget {
public:
    // draw(canvas, width, height) paints the whole picture; smooth is the main picture's switch.
    CanvasView(QWidget* parent, const char* name, const bool& smooth,
               std::function<void(Canvas&, int, int)> draw, QSize minimum);

    // Draws the picture again, after its content changed.
    void Redraw();
    const QImage& Image() const { return image_; }

protected:
    void resizeEvent(QResizeEvent*) override;
    void paintEvent(QPaintEvent*) override;

private:
    void Draw();

    const bool& smooth_;
    bool drawnSmooth_ = false;
    std::function<void(Canvas&, int, int)> draw_;
    QImage image_;
};

}  // namespace tarn
