// The main picture as it was last shown, so that a new frame repaints only the pixels it changed:
// the controls over the picture are repainted with every part of it that is repainted, and most
// of them stand over parts that do not change while the crank turns.
#pragma once

#include <QImage>
#include <QRegion>
#include <QSize>

#include "gui/common/qpaintercanvas.h"

namespace tarn {

class ShownFrame {
public:
    // Compares the visible part (a widget of `visible` logical pixels at (0, 0)) of a new frame
    // with the frame last shown, on the tiles the last frame or this one drew on (elsewhere both
    // are white), keeps the new pixels as shown and returns the changed part in logical pixels.
    // The first frame, and a frame of another size or pixel ratio, is new everywhere.
    QRegion Show(const FrameBuffer& frame, const QSize& visible);

private:
    QImage shown_;  // device pixels of the visible part
};

}  // namespace tarn
