// The drawing interface on a Qt paint device.
#include "gui/common/qpaintercanvas.h"

#include <QPen>
#include <QRectF>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/model/numfmt.h"

namespace tarn {

QFont QFontFor(const FontSpec& f) {
    QFont font(f.family == FontFamily::Serif ? QStringLiteral("Liberation Serif")
                                             : QStringLiteral("Liberation Sans"));
    font.setStyleHint(f.family == FontFamily::Serif ? QFont::Serif : QFont::SansSerif);
    // Points at a fixed 96 dpi: 8 pt is 11 pixels, 14 pt is 19.
    font.setPixelSize(std::max(1, static_cast<int>(Round(f.points * 4.0L / 3.0L))));
    font.setBold(f.bold);
    font.setUnderline(f.underline);
    return font;
}

QColor QColorOf(Rgb c) { return QColor::fromRgb((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF); }

ArcSixteenths QtArcAngles(int l, int t, int r, int b, int x3, int y3, int x4, int y4) {
    const double cx = (l + r) / 2.0, cy = (t + b) / 2.0;
    // Screen y grows downward; Qt's angles grow counter-clockwise on the screen.
    const double a1 = std::atan2(-(y3 - cy), x3 - cx) * 180.0 / M_PI;
    const double a2 = std::atan2(-(y4 - cy), x4 - cx) * 180.0 / M_PI;
    double span = a2 - a1;
    while (span <= 0) span += 360.0;
    while (span > 360.0) span -= 360.0;
    return {Round(a1 * 16), Round(span * 16)};
}

FrameBuffer::FrameBuffer(int w, int h, qreal ratio)
    : size(w, h),
      image(static_cast<int>(std::ceil(w * ratio)), static_cast<int>(std::ceil(h * ratio)),
            QImage::Format_RGB32),
      columns((w + kTile - 1) / kTile),
      rows((h + kTile - 1) / kTile),
      tiles(static_cast<std::size_t>(columns) * rows, kThisFrame) {
    image.setDevicePixelRatio(ratio);
}

void FrameBuffer::Touch(const QRect& box) {
    const QRect r = box & QRect(QPoint(0, 0), size);
    if (r.isEmpty()) return;
    for (int row = r.top() / kTile; row <= r.bottom() / kTile; ++row)
        for (int column = r.left() / kTile; column <= r.right() / kTile; ++column)
            tiles[row * columns + column] |= kThisFrame;
}

void FrameBuffer::TouchAll() {
    for (auto& t : tiles) t |= kThisFrame;
}

void FrameBuffer::NextFrame() {
    for (auto& t : tiles) t = (t & kThisFrame) ? kLastFrame : 0;
}

QPainterCanvas::QPainterCanvas(QImage& image) { Attach(image); }

QPainterCanvas::QPainterCanvas(FrameBuffer& frame) : frame_(&frame) { Attach(frame.image); }

void QPainterCanvas::Touch(int x1, int y1, int x2, int y2, int margin) {
    if (!frame_) return;
    frame_->Touch(QRect(QPoint(std::min(x1, x2) - margin, std::min(y1, y2) - margin),
                        QPoint(std::max(x1, x2) + margin, std::max(y1, y2) + margin)));
}

void QPainterCanvas::TouchLine(int x1, int y1, int x2, int y2, int margin) {
    if (!frame_) return;
    // Pieces no longer than half a tile, each by its box; a line far longer than the frame by
    // its box alone.
    constexpr int kPiece = FrameBuffer::kTile / 2;
    const long long dx = static_cast<long long>(x2) - x1, dy = static_cast<long long>(y2) - y1;
    const long long n = std::max(std::llabs(dx), std::llabs(dy)) / kPiece + 1;
    if (n > 4 * (width_ + height_) / kPiece) {
        Touch(x1, y1, x2, y2, margin);
        return;
    }
    int px = x1, py = y1;
    for (long long i = 1; i <= n; ++i) {
        const int qx = static_cast<int>(x1 + dx * i / n), qy = static_cast<int>(y1 + dy * i / n);
        Touch(px, py, qx, qy, margin);
        px = qx;
        py = qy;
    }
}

void QPainterCanvas::TouchRing(int l, int t, int r, int b, int margin) {
    if (!frame_) return;
    constexpr int kSmall = 3 * FrameBuffer::kTile;
    if (r - l <= kSmall || b - t <= kSmall || r - l > 4 * width_ || b - t > 4 * height_) {
        Touch(l, t, r, b, margin);
        return;
    }
    // Points round the ellipse no further apart than half a tile; the inside stays untouched.
    const double cx = (l + r) / 2.0, cy = (t + b) / 2.0, rx = (r - l) / 2.0, ry = (b - t) / 2.0;
    const int n =
        static_cast<int>(std::ceil(2 * M_PI * std::max(rx, ry) / (FrameBuffer::kTile / 2.0)));
    int px = static_cast<int>(std::lround(cx + rx)), py = static_cast<int>(std::lround(cy));
    for (int i = 1; i <= n; ++i) {
        const double a = 2 * M_PI * i / n;
        const int qx = static_cast<int>(std::lround(cx + rx * std::cos(a)));
        const int qy = static_cast<int>(std::lround(cy + ry * std::sin(a)));
        Touch(px, py, qx, qy, margin + 1);
        px = qx;
        py = qy;
    }
}

void QPainterCanvas::Attach(QImage& image) {
    if (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32) {
        // Taken before the painter starts, so the painter and the direct writes share memory.
        bits_ = reinterpret_cast<std::uint32_t*>(image.bits());
        stride_ = image.bytesPerLine() / 4;
        imageWidth_ = image.width();
        imageHeight_ = image.height();
        // The logical pixels that touch the image.
        width_ = static_cast<int>(std::ceil(image.width() / image.devicePixelRatio()));
        height_ = static_cast<int>(std::ceil(image.height() / image.devicePixelRatio()));
    }
    Begin(&image);
}

QPainterCanvas::QPainterCanvas(QPaintDevice* device) {
    Begin(device);
    width_ = device->width();
    height_ = device->height();
}

void QPainterCanvas::Begin(QPaintDevice* device) {
    ratio_ = device->devicePixelRatio();
    painter_.begin(device);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setBrush(Qt::NoBrush);
    plainTextAntialiasing_ = painter_.testRenderHint(QPainter::TextAntialiasing);
    if (ratio_ != 1) {
        shift_ = 0.5;
        painter_.translate(shift_, shift_);
    }
}

QRect QPainterCanvas::DeviceRect(const QRect& logical) const {
    if (ratio_ == 1) return logical & QRect(0, 0, imageWidth_, imageHeight_);
    // Outward, so that everything drawn in the logical box lies inside.
    const auto lo = [this](int v) { return static_cast<int>(std::floor(v * ratio_)); };
    const auto hi = [this](int v) { return static_cast<int>(std::ceil(v * ratio_)); };
    return QRect(QPoint(lo(logical.left()), lo(logical.top())),
                 QPoint(hi(logical.right() + 1) - 1, hi(logical.bottom() + 1) - 1)) &
           QRect(0, 0, imageWidth_, imageHeight_);
}

void QPainterCanvas::Fill(const QRect& device, std::uint32_t argb) {
    for (int y = device.top(); y <= device.bottom(); ++y)
        std::fill_n(bits_ + y * stride_ + device.left(), device.width(), argb);
}

QPainterCanvas::~QPainterCanvas() { End(); }

void QPainterCanvas::SetSmooth(bool on) {
    if (on == smooth_) return;
    smooth_ = on;
    painter_.setRenderHint(QPainter::Antialiasing, on);
    painter_.setRenderHint(QPainter::TextAntialiasing, on || plainTextAntialiasing_);
}

void QPainterCanvas::End() {
    if (painter_.isActive()) painter_.end();
}

void QPainterCanvas::SyncPen() {
    if (PenColor() == penColour_ && PenWidth() == penWidth_) return;
    penColour_ = PenColor();
    penWidth_ = PenWidth();
    QPen pen(QColorOf(penColour_));
    pen.setWidth(std::max(1, penWidth_));
    // A whole number of device pixels wide, so that a line keeps one width along its length at
    // a fractional ratio.
    if (ratio_ != 1) pen.setWidthF(std::max(1.0, std::round(pen.widthF() * ratio_)) / ratio_);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter_.setPen(pen);
}

void QPainterCanvas::SyncFont() {
    if (font_ && *font_ == Font()) return;
    font_ = Font();
    const QFont f = QFontFor(*font_);
    painter_.setFont(f);
    metrics_.emplace(f);
}

void QPainterCanvas::PlotLine(int x1, int y1, int x2, int y2, std::uint32_t argb) {
    // Bresenham from the start point, the end point excluded.
    const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    int x = x1, y = y1;
    while (x != x2 || y != y2) {
        if (x >= 0 && y >= 0 && x < width_ && y < height_) bits_[y * stride_ + x] = argb;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void QPainterCanvas::DrawLine(int x1, int y1, int x2, int y2) {
    TouchLine(x1, y1, x2, y2, PenWidth() + 1);
    // Thin lines within reach go straight into the image; far-away points are left to the
    // painter's clipping.
    constexpr int kReach = 1 << 15;
    auto near = [](int v) { return v > -kReach && v < kReach; };
    if (!smooth_ && bits_ && ratio_ == 1 && PenWidth() <= 1 && near(x1) && near(y1) && near(x2) &&
        near(y2)) {
        PlotLine(x1, y1, x2, y2, 0xFF000000u | PenColor());
        return;
    }
    SyncPen();
    if (smooth_) {
        // A smooth line runs through the centres of the pixels the exact one would set, and
        // like it stops short of its end point (a painter moved by shift_ is there already).
        if (x1 == x2 && y1 == y2) return;
        const qreal c = 0.5 - shift_;
        painter_.drawLine(QPointF(x1 + c, y1 + c), QPointF(x2 + c, y2 + c));
        return;
    }
    if (shift_ != 0) {
        // Through the middles of the first and the last pixel the line covers at ratio 1 (it
        // stops a step short of its end point), and half a pixel on at both ends, so that lines
        // meet at corners as they do there.
        const double dx = x2 - x1, dy = y2 - y1, steps = std::max(std::abs(dx), std::abs(dy));
        if (steps == 0) return;
        const double ux = dx / std::hypot(dx, dy) / 2, uy = dy / std::hypot(dx, dy) / 2;
        painter_.drawLine(QLineF(x1 - ux, y1 - uy, x2 - dx / steps + ux, y2 - dy / steps + uy));
        return;
    }
    painter_.drawLine(QPoint(x1, y1), QPoint(x2, y2));
}

void QPainterCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    SyncPen();
    const int l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2),
              b = std::max(y1, y2);
    // The right and bottom edge of the box are outside the ellipse.
    if (r - l < 1 || b - t < 1) return;
    TouchRing(l, t, r, b, PenWidth() + 1);
    const qreal c = 0.5 - shift_;  // to the pixels' centres, when smooth
    if (smooth_) painter_.drawEllipse(QRectF(l + c, t + c, r - l - 1, b - t - 1));
    else painter_.drawEllipse(QRect(l, t, r - l - 1, b - t - 1));
}

void QPainterCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    SyncPen();
    const int l = std::min(x1, x2), r = std::max(x1, x2), t = std::min(y1, y2),
              b = std::max(y1, y2);
    if (r - l < 1 || b - t < 1) return;
    TouchRing(l, t, r, b, PenWidth() + 1);
    const ArcSixteenths a = QtArcAngles(l, t, r, b, x3, y3, x4, y4);
    const qreal c = 0.5 - shift_;  // to the pixels' centres, when smooth
    if (smooth_) painter_.drawArc(QRectF(l + c, t + c, r - l - 1, b - t - 1), a.start, a.span);
    else painter_.drawArc(QRect(l, t, r - l - 1, b - t - 1), a.start, a.span);
}

const FrameBuffer::LaidOutText& QPainterCanvas::LaidOut(std::string_view text) {
    std::string key = std::to_string(font_->points);
    key += font_->family == FontFamily::Serif ? 's' : '-';
    key += font_->bold ? 'b' : '-';
    key += ' ';
    key += text;
    auto found = frame_->texts.find(key);
    if (found != frame_->texts.end()) return found->second;
    if (frame_->texts.size() >= 4096) frame_->texts.clear();  // a design's worth of read-outs
    const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    FrameBuffer::LaidOutText t{QStaticText(s),
                               metrics_->boundingRect(s).translated(0, metrics_->ascent()),
                               metrics_->horizontalAdvance(s)};
    t.text.setTextFormat(Qt::PlainText);
    t.text.setPerformanceHint(QStaticText::AggressiveCaching);
    t.text.prepare(painter_.transform(), painter_.font());
    return frame_->texts.emplace(std::move(key), std::move(t)).first->second;
}

int QPainterCanvas::TextWidth(std::string_view text) {
    SyncFont();
    return metrics_->horizontalAdvance(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

int QPainterCanvas::TextHeight() {
    SyncFont();
    return metrics_->height();
}

void QPainterCanvas::TextOut(int x, int y, std::string_view text) {
    SyncFont();
    // On a frame buffer a text is laid out once: the same pixels, but for an underline.
    const FrameBuffer::LaidOutText* laid = frame_ && !font_->underline ? &LaidOut(text) : nullptr;
    const QString s =
        laid ? QString() : QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (frame_) {
        const QRect box =
            (laid ? laid->ink : metrics_->boundingRect(s).translated(0, metrics_->ascent()))
                .translated(x, y);
        Touch(std::min(box.left(), x), std::min(box.top(), y), box.right(),
              std::max(box.bottom(), y + metrics_->height()), 2);
    }
    if (TextOpaque()) {
        const QRect box(x, y, laid ? laid->advance : metrics_->horizontalAdvance(s),
                        metrics_->height());
        if (shift_ == 0) painter_.fillRect(box, QColorOf(TextBackground()));
        else
            painter_.fillRect(QRectF(box).translated(-shift_, -shift_), QColorOf(TextBackground()));
    }
    painter_.setPen(QColorOf(FontColor()));
    penColour_ = 0xFFFFFFFFu;  // the pen must be set again before the next line
    // Texts take their place in whole logical pixels, not moved with the lines.
    if (laid) painter_.drawStaticText(QPointF(x - shift_, y - shift_), laid->text);
    else painter_.drawText(QPointF(x - shift_, y + metrics_->ascent() - shift_), s);
}

void QPainterCanvas::SetPixel(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    if (bits_) {
        if (ratio_ == 1) bits_[y * stride_ + x] = 0xFF000000u | c;
        else Fill(DeviceRect(QRect(x, y, 1, 1)), 0xFF000000u | c);
        if (frame_) frame_->Touch(QRect(x, y, 1, 1));
        return;
    }
    if (shift_ != 0) {
        painter_.fillRect(QRectF(x - shift_, y - shift_, 1, 1), QColorOf(c));
        return;
    }
    painter_.setPen(QColorOf(c));
    penColour_ = 0xFFFFFFFFu;
    painter_.drawPoint(x, y);
}

void QPainterCanvas::Clear(Rgb c) {
    if (bits_) {
        const std::uint32_t v = 0xFF000000u | c;
        if (frame_ && c == kWhite) {
            // On a frame buffer only what the last frame drew needs whitening, a row of
            // neighbouring tiles at a time.
            frame_->NextFrame();
            for (int row = 0; row < frame_->rows; ++row)
                for (int column = 0; column < frame_->columns;) {
                    if (!(frame_->Tile(column, row) & FrameBuffer::kLastFrame)) {
                        ++column;
                        continue;
                    }
                    QRect run = frame_->TileRect(column, row);
                    while (++column < frame_->columns &&
                           (frame_->Tile(column, row) & FrameBuffer::kLastFrame))
                        run |= frame_->TileRect(column, row);
                    Fill(DeviceRect(run), v);
                }
            return;
        }
        Fill(DeviceRect(QRect(0, 0, width_, height_)), v);
        if (frame_) {
            frame_->NextFrame();
            frame_->TouchAll();
        }
        return;
    }
    if (shift_ == 0) painter_.fillRect(QRect(0, 0, width_, height_), QColorOf(c));
    else painter_.fillRect(QRectF(-shift_, -shift_, width_, height_), QColorOf(c));
}

}  // namespace tarn
