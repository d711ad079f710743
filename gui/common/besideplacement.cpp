// Candidates tried in order of preference, each pulled onto the screen.
#include "gui/common/besideplacement.h"

#include <algorithm>
#include <array>
#include <limits>

namespace tarn {

namespace {

QPoint OntoScreen(QPoint at, QSize size, const QRect& available) {
    const int x = std::clamp(at.x(), available.left(),
                             std::max(available.left(), available.right() + 1 - size.width()));
    const int y = std::clamp(at.y(), available.top(),
                             std::max(available.top(), available.bottom() + 1 - size.height()));
    return {x, y};
}

long long Covered(const QRect& a, const QRect& b) {
    const QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : static_cast<long long>(both.width()) * both.height();
}

}  // namespace

QPoint PlaceBeside(QSize size, const QRect& mainWindow, const QRect& keepClear,
                   const QRect& available) {
    const int w = size.width(), h = size.height();
    const std::array<QPoint, 8> candidates{
        QPoint(mainWindow.right() + 1, mainWindow.top()),
        QPoint(mainWindow.left() - w, mainWindow.top()),
        QPoint(mainWindow.right() + 1, mainWindow.bottom() + 1 - h),
        QPoint(mainWindow.left() - w, mainWindow.bottom() + 1 - h),
        QPoint(keepClear.left(), keepClear.bottom() + 1),
        QPoint(keepClear.left(), keepClear.top() - h),
        QPoint(keepClear.right() + 1, keepClear.top()),
        QPoint(keepClear.left() - w, keepClear.top()),
    };
    QPoint best = OntoScreen(candidates[0], size, available);
    long long least = std::numeric_limits<long long>::max();
    for (const QPoint& c : candidates) {
        const QPoint at = OntoScreen(c, size, available);
        const long long covered = Covered(QRect(at, size), keepClear);
        if (covered == 0) return at;
        if (covered < least) {
            least = covered;
            best = at;
        }
    }
    return best;
}

}  // namespace tarn
