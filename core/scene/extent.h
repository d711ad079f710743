// The gear's extent in model units, and the view that fits it into a part of the window: what the
// main picture draws of the wheel, the linkage, the reverse arm, the cylinder and valve chest and
// the user's lines and circles over a whole revolution at the present reverse-arm setting.
#pragma once

#include <optional>

#include "core/model/model.h"

namespace tarn {

// A box in model units: x toward the cylinders, y upward.
struct ModelBox {
    ext left = 0, right = 0, bottom = 0, top = 0;
    bool empty = true;
    ext Width() const { return right - left; }
    ext Height() const { return top - bottom; }
};

// Everything the linkage and overlay layers draw while the crank turns once, as the main picture
// would draw it; the model is not changed (the sweep runs on a copy).
ModelBox GearExtent(const Model& m);

// A rectangle of the window in client pixels.
struct ScreenArea {
    int left = 0, top = 0, width = 0, height = 0;
};

struct ViewFit {
    f32 Zoom = 0, OffsetX = 0, OffsetY = 0;
};

// The zoom and offsets that show the box centred in the area with margin pixels to spare on
// every side, the zoom kept within the zoom bar's 0.5 .. 3000. Nothing for an empty box or an
// area with no room inside its margins. A box of no width (or no height) is fitted by its other
// side; a single point is centred at the present zoom.
std::optional<ViewFit> FitView(const ModelBox& box, const ScreenArea& area, int margin,
                               f32 presentZoom);

// "Fit Picture to Window" on the model: the view shows the whole gear in the area, as a preset
// would set it, and the pan and zoom bars step from there. False (the view unchanged) when there
// is nothing to fit.
bool FitPictureToArea(Model& m, const ScreenArea& area, int margin);

}  // namespace tarn
