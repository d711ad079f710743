// Windows that open wholly on the screen: a window's content goes into a scroll area, so that the
// window can be smaller than its content, and the window keeps its frame within the screen's
// free area whenever it is shown or the program sizes or places it; and where a dialog goes so
// that it leaves a part of the screen in sight.
#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace tarn {

// The rectangle moved wholly into area, cut to area's size first where it is larger.
QRect FitRectInto(const QRect& r, const QRect& area);

// Puts window w's layout into a scroll area (its menu bar, if any, stays above it) and from then
// on cuts the window to the available area of its screen, frame included, and moves it onto
// that area, each time it is shown and each time the program (not the user) resizes or moves it.
// Call it once the window's layout is complete.
void KeepOnScreen(QWidget* w);

// The top-left corner for a window of frame size `size` within `available` (the screen's usable
// area): the first place that does not cover keepClear of, in order, right and left of the main
// window (level with its top, then with its bottom), below, above, right and left of keepClear;
// when none does, the one that covers the least of it.
QPoint PlaceBeside(QSize size, const QRect& mainWindow, const QRect& keepClear,
                   const QRect& available);

}  // namespace tarn
