// The main picture as last shown: a new frame is compared with it tile by tile, row by row.
#include "gui/mainwin/shownframe.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace tarn {

namespace {

// The device pixels a box of logical pixels touches.
QRect ToDevice(const QRect& r, qreal ratio) {
    auto lo = [ratio](int v) { return static_cast<int>(std::floor(v * ratio)); };
    auto hi = [ratio](int v) { return static_cast<int>(std::ceil(v * ratio)); };
    return QRect(QPoint(lo(r.left()), lo(r.top())),
                 QPoint(hi(r.right() + 1) - 1, hi(r.bottom() + 1) - 1));
}

// The logical pixels a box of device pixels touches.
QRect ToLogical(const QRect& r, qreal ratio) {
    auto lo = [ratio](int v) { return static_cast<int>(std::floor(v / ratio)); };
    auto hi = [ratio](int v) { return static_cast<int>(std::ceil(v / ratio)); };
    return QRect(QPoint(lo(r.left()), lo(r.top())),
                 QPoint(hi(r.right() + 1) - 1, hi(r.bottom() + 1) - 1));
}

}  // namespace

QRegion ShownFrame::Show(const QImage& frame, const QSize& visible, const QRect& drawn) {
    const qreal ratio = frame.devicePixelRatio();
    const QRect area = ToDevice(QRect(QPoint(0, 0), visible), ratio) & frame.rect();
    if (shown_.size() != area.size() || shown_.devicePixelRatio() != ratio ||
        shown_.format() != frame.format() || frame.depth() != 32) {
        shown_ = frame.copy(area);
        return QRegion(QRect(QPoint(0, 0), visible));
    }
    // Tiles wide enough for a fast row compare, low enough to keep a changed box tight.
    constexpr int kTileWidth = 64, kTileHeight = 16;
    const QRect look = ToDevice(drawn, ratio) & area;
    QRegion changed;
    for (int ty = look.top(); ty <= look.bottom(); ty += kTileHeight) {
        for (int tx = look.left(); tx <= look.right(); tx += kTileWidth) {
            const QRect tile = QRect(tx, ty, kTileWidth, kTileHeight) & look;
            const auto bytes = static_cast<std::size_t>(tile.width()) * 4;
            int left = tile.right() + 1, right = tile.left() - 1, top = -1, bottom = -1;
            for (int y = tile.top(); y <= tile.bottom(); ++y) {
                const auto* now =
                    reinterpret_cast<const std::uint32_t*>(frame.constScanLine(y)) + tile.left();
                auto* was = reinterpret_cast<std::uint32_t*>(shown_.scanLine(y)) + tile.left();
                if (std::memcmp(now, was, bytes) == 0) continue;
                int a = 0, b = tile.width() - 1;
                while (now[a] == was[a]) ++a;
                while (now[b] == was[b]) --b;
                left = std::min(left, tile.left() + a);
                right = std::max(right, tile.left() + b);
                if (top < 0) top = y;
                bottom = y;
                std::memcpy(was, now, bytes);
            }
            if (top >= 0)
                changed += ToLogical(QRect(QPoint(left, top), QPoint(right, bottom)), ratio);
        }
    }
    return changed;
}

}  // namespace tarn
