// The main picture as last shown: a new frame is compared with it row by row along the runs of
// tiles that were drawn on, and tile by tile where a row differs.
#include "gui/mainwin/shownframe.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

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

QRegion ShownFrame::Show(const FrameBuffer& frame, const QSize& visible) {
    const QImage& image = frame.image;
    const qreal ratio = image.devicePixelRatio();
    const QRect area = ToDevice(QRect(QPoint(0, 0), visible), ratio) & image.rect();
    if (shown_.size() != area.size() || shown_.devicePixelRatio() != ratio ||
        shown_.format() != image.format() || image.depth() != 32) {
        shown_ = image.copy(area);
        return QRegion(QRect(QPoint(0, 0), visible));
    }
    const int columns =
        std::min(frame.columns, (visible.width() + FrameBuffer::kTile - 1) / FrameBuffer::kTile);
    const int rows =
        std::min(frame.rows, (visible.height() + FrameBuffer::kTile - 1) / FrameBuffer::kTile);
    // The tiles' device pixels: columns [left, right] by rows [top, bottom].
    std::vector<int> left(columns), right(columns);
    for (int column = 0; column < columns; ++column) {
        const QRect r = ToDevice(frame.TileRect(column, 0), ratio) & area;
        left[column] = r.left();
        right[column] = r.right();
    }
    QRegion changed;
    std::vector<QRect> boxes(static_cast<std::size_t>(columns));  // device pixels, per tile
    for (int row = 0; row < rows; ++row) {
        const QRect band = ToDevice(frame.TileRect(0, row), ratio) & area;
        std::fill(boxes.begin(), boxes.end(), QRect());
        for (int first = 0; first < columns;) {
            if (!frame.Tile(first, row)) {
                ++first;
                continue;
            }
            int last = first;
            while (last + 1 < columns && frame.Tile(last + 1, row)) ++last;
            const auto runBytes = static_cast<std::size_t>(right[last] - left[first] + 1) * 4;
            for (int y = band.top(); y <= band.bottom(); ++y) {
                const auto* now = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
                auto* was = reinterpret_cast<std::uint32_t*>(shown_.scanLine(y));
                if (std::memcmp(now + left[first], was + left[first], runBytes) == 0) continue;
                for (int column = first; column <= last; ++column) {
                    int a = left[column], b = right[column];
                    while (a <= b && now[a] == was[a]) ++a;
                    if (a > b) continue;
                    while (now[b] == was[b]) --b;
                    boxes[column] |= QRect(a, y, b - a + 1, 1);
                    std::memcpy(was + a, now + a, static_cast<std::size_t>(b - a + 1) * 4);
                }
            }
            first = last + 1;
        }
        // Changed tiles side by side make one box: fewer boxes make a region faster.
        QRect joined;
        for (int column = 0; column <= columns; ++column) {
            if (column < columns && !boxes[column].isNull()) {
                joined |= boxes[column];
            } else if (!joined.isNull()) {
                changed += ToLogical(joined, ratio);
                joined = QRect();
            }
        }
    }
    return changed;
}

}  // namespace tarn
