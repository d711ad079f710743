// Where a dialog goes so that it leaves a part of the screen in sight: beside the main window if
// that keeps it clear, else beside the part itself, always on the screen.
#pragma once

#include <QRect>
#include <QSize>

namespace tarn {

// The top-left corner for a window of frame size `size` within `available` (the screen's usable
// area): the first place that does not cover keepClear of, in order, right and left of the main
// window (level with its top, then with its bottom), below, above, right and left of keepClear;
// when none does, the one that covers the least of it.
QPoint PlaceBeside(QSize size, const QRect& mainWindow, const QRect& keepClear,
                   const QRect& available);

}  // namespace tarn
