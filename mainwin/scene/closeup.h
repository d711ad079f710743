// The close-up of one dimension on the main picture (the last layer of a frame).
#pragma once

#include "model/canvas.h"
#include "model/model.h"

namespace tarn {

// What the window must do after a close-up frame. The reopen of a dialog is queued by the
// window, never run inside the frame.
struct CloseupActions {
    bool closeFrameDialog = false;
    bool closeCylDialog = false;
    bool reopenFrameDialog = false;
    bool reopenCylDialog = false;
    bool defaultCursor = false;
};

// Draws the close-up of dimension GraphicPosId (called only while it is greater than 0).
inline CloseupActions DrawDimensionCloseup(Model&, Canvas&) { return {}; }

}  // namespace tarn
