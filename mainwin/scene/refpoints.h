// The measuring layers of the main picture: the pivot-data rows and the two reference points.
#pragma once

#include "model/canvas.h"
#include "model/model.h"

namespace tarn {

// The pivot-data rows; called only while ScreenData and PivotDataOn are on.
inline void DrawPivotDataRows(Model&, Canvas&) {}
// The reference-point crosses and read-outs; called only while ScreenData and RefPointsOn are on.
// The pen still has the colour of overlay entry 20.
inline void DrawReferencePoints(Model&, Canvas&) {}

}  // namespace tarn
