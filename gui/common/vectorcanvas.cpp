// The drawing interface as vector shapes. The raster canvas draws a pixel (x, y) over the square
// from (x, y) to (x + 1, y + 1), so lines, ellipses and arcs here run through pixel centres
// (x + 0.5, y + 0.5) and lie where the screen shows them; texts keep their top-left corner.
#include "gui/common/vectorcanvas.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPen>
#include <QRectF>
#include <QString>

#include <algorithm>
#include <cmath>

#include "gui/common/qpaintercanvas.h"

namespace tarn {

namespace {

QPointF Centre(int x, int y) { return QPointF(x + 0.5, y + 0.5); }

}  // namespace

VectorCanvas::VectorCanvas(QPainter& painter, QSize size) : painter_(painter), size_(size) {
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    painter_.setBrush(Qt::NoBrush);
}

VectorCanvas::~VectorCanvas() { Flush(); }

void VectorCanvas::Flush() {
    if (polyline_.size() >= 2) {
        QPen pen(QColorOf(polylineColour_));
        pen.setWidthF(std::max(1, polylineWidth_));
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
        painter_.setPen(pen);
        painter_.setBrush(Qt::NoBrush);
        painter_.drawPolyline(polyline_);
    }
    polyline_.clear();
    if (!pixels_.isEmpty()) {
        painter_.fillPath(pixels_, QColorOf(pixelColour_));
        pixels_ = QPainterPath();
    }
}

void VectorCanvas::UsePen() {
    Flush();
    QPen pen(QColorOf(PenColor()));
    pen.setWidthF(std::max(1, PenWidth()));
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter_.setPen(pen);
    painter_.setBrush(Qt::NoBrush);
}

void VectorCanvas::DrawLine(int x1, int y1, int x2, int y2) {
    if (x1 == x2 && y1 == y2) return;  // the end point is excluded: nothing is drawn
    const QPointF a = Centre(x1, y1), b = Centre(x2, y2);
    // A segment that goes on from the last one in the same pen extends its polyline.
    const bool extends = polyline_.size() >= 2 && polyline_.back() == a &&
                         polylineColour_ == PenColor() && polylineWidth_ == PenWidth();
    if (!extends) {
        Flush();
        polyline_ << a;
        polylineColour_ = PenColor();
        polylineWidth_ = PenWidth();
    }
    polyline_ << b;
}

void VectorCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    const int l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2),
              b = std::max(y1, y2);
    // The right and bottom edge of the box are outside the ellipse.
    if (r - l < 1 || b - t < 1) return;
    UsePen();
    painter_.drawEllipse(QRectF(Centre(l, t), QSizeF(r - l - 1, b - t - 1)));
}

void VectorCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    const int l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2),
              b = std::max(y1, y2);
    if (r - l < 1 || b - t < 1) return;
    UsePen();
    // The same sixteenths of a degree the screen draws.
    const ArcSixteenths a = QtArcAngles(l, t, r, b, x3, y3, x4, y4);
    painter_.drawArc(QRectF(Centre(l, t), QSizeF(r - l - 1, b - t - 1)), a.start, a.span);
}

void VectorCanvas::TextOut(int x, int y, std::string_view text) {
    Flush();
    const QFont font = QFontFor(Font());
    const QFontMetricsF metrics(font);
    const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (TextOpaque())
        painter_.fillRect(QRectF(x, y, metrics.horizontalAdvance(s), metrics.height()),
                          QColorOf(TextBackground()));
    painter_.setFont(font);
    painter_.setPen(QColorOf(FontColor()));
    painter_.drawText(QPointF(x, y + metrics.ascent()), s);
}

// As the picture's own canvas measures, so that a picture keeps its layout on the page.
int VectorCanvas::TextWidth(std::string_view text) {
    return QFontMetrics(QFontFor(Font()))
        .horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

int VectorCanvas::TextHeight() { return QFontMetrics(QFontFor(Font())).height(); }

void VectorCanvas::SetPixel(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= size_.width() || y >= size_.height()) return;
    if (!polyline_.isEmpty() || (!pixels_.isEmpty() && pixelColour_ != c)) Flush();
    pixelColour_ = c;
    pixels_.addRect(QRectF(x, y, 1, 1));
}

void VectorCanvas::Clear(Rgb c) {
    Flush();
    painter_.fillRect(QRectF(0, 0, size_.width(), size_.height()), QColorOf(c));
}

}  // namespace tarn
