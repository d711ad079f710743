#include "gui/common/canvasview.h"

#include <QPainter>

#include "gui/common/qpaintercanvas.h"

namespace tarn {

CanvasView::CanvasView(QWidget* parent, const char* name, const bool& smooth,
                       std::function<void(Canvas&, int, int)> draw, QSize minimum)
    : QWidget(parent), smooth_(smooth), draw_(std::move(draw)) {
    setObjectName(QString::fromLatin1(name));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(minimum);
}

void CanvasView::Redraw() {
    if (width() <= 0 || height() <= 0) return;
    Draw();
    update();
}

void CanvasView::resizeEvent(QResizeEvent*) { Redraw(); }

void CanvasView::paintEvent(QPaintEvent*) {
    // The switch changed since the last drawing (the main window asks every window to paint).
    if (drawnSmooth_ != smooth_ || image_.isNull()) Draw();
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.drawImage(0, 0, image_);
}

void CanvasView::Draw() {
    const qreal ratio = devicePixelRatioF();
    image_ = QImage((QSizeF(size()) * ratio).toSize(), QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
    QPainterCanvas canvas(image_);
    drawnSmooth_ = smooth_;
    canvas.SetSmooth(drawnSmooth_);
    draw_(canvas, width(), height());
}

}  // namespace tarn
