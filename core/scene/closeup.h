// The close-up of one dimension on the main picture (the last layer of a frame): the dialog
// closes, the view zooms onto the part, the dimension blinks as a thick line under its name and
// an hourglass, and after 1000 frames (or a click) the view comes back and the dialog reopens.
#pragma once

#include <string_view>

#include "core/model/canvas.h"
#include "core/model/model.h"

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
CloseupActions DrawDimensionCloseup(Model& m, Canvas& c);

// The label and the base zoom k of a close-up (k / GraphicZoomFactor * 7.5 is the zoom);
// an empty label for an id that has no close-up.
struct CloseupView {
    std::string_view label;
    float k = 0;
};
CloseupView CloseupViewOf(int id);

}  // namespace tarn
