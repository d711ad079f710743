// View control on the model: the relative scroll-bar step shared by the pan, zoom and
// reference-point bars, pan, zoom about the view centre, presets, and the close-up zoom factor.
#pragma once

#include <string_view>

#include "core/model/model.h"

namespace tarn {

// The screen point that zoom keeps in place.
inline constexpr int kViewCentreX = 320;
inline constexpr int kViewCentreY = 240;

// A relative bar holds no position: each change becomes a step and the bar goes back to 0.
// Sets the increment from the bar position p and its history, which the bar's window keeps, then
// shifts the history (beforeLast := last, last := p). The caller applies Increment and puts the bar back to 0,
// which brings one more change with p = 0 (a step of 0).
struct BarHistory {
    i32 last = 0;
    i32 beforeLast = 0;
};
void RelativeStep(f32& increment, i32 p, BarHistory& bar, int divisor, int largeStep);

// The three view bars (divisor 10, large step 10).
void PanVertical(Model& m, BarHistory& bar, i32 p);
void PanHorizontal(Model& m, BarHistory& bar, i32 p);
void ZoomStep(Model& m, BarHistory& bar, i32 p);

// Preset k (1..6): store triple 0 into it first when armed, then take it as the view.
void RecallPreset(ViewState& v, int k, bool store);
// "P": the current view becomes triple 0.
void TakePresetView(ViewState& v);

// The close-up zoom factor typed into its dialog: clamped to 0.5 .. 2000 (empty gives 0.5).
float GraphicZoomFromText(std::string_view text);

}  // namespace tarn
