// View control on the model: relative bar steps, pan, zoom, presets.
#include "core/scene/view.h"

#include <cstdlib>

#include "core/model/numfmt.h"

namespace tarn {

void RelativeStep(f32& increment, i32 p, BarHistory& bar, int divisor, int largeStep) {
    const ext dv = divisor;
    ext inc = 0;
    if (p > 0 && p > bar.beforeLast) inc = p / dv;
    if (p < 0 && p > bar.beforeLast) inc = -p / dv;
    if (p < 0 && p < bar.beforeLast) inc = p / dv;
    if (p > 0 && p < bar.beforeLast) inc = -p / dv;
    // Arrow and trough clicks step by their own sign.
    const long long moved = std::llabs(static_cast<long long>(p) - bar.last);
    if (moved == 1) inc = p / dv;
    if (moved == largeStep) inc = p / dv;
    increment = static_cast<f32>(inc);
    bar.beforeLast = bar.last;
    bar.last = p;
}

void PanVertical(Model& m, BarHistory& bar, i32 p) {
    RelativeStep(m.dyn.Increment, p, bar, 10, 10);
    m.view.OffsetY = static_cast<f32>(static_cast<ext>(m.view.OffsetY) - m.dyn.Increment);
    m.view.ZoomBase = m.view.Zoom;
    m.view.ZoomBaseX = m.view.OffsetX;
    m.view.ZoomBaseY = m.view.OffsetY;
}

void PanHorizontal(Model& m, BarHistory& bar, i32 p) {
    RelativeStep(m.dyn.Increment, p, bar, 10, 10);
    m.view.OffsetX = static_cast<f32>(static_cast<ext>(m.view.OffsetX) + m.dyn.Increment);
    m.view.ZoomBase = m.view.Zoom;
    m.view.ZoomBaseX = m.view.OffsetX;
    m.view.ZoomBaseY = m.view.OffsetY;
}

void ZoomStep(Model& m, BarHistory& bar, i32 p) {
    m.view.ZoomBase = m.view.Zoom;
    m.view.ZoomBaseX = m.view.OffsetX;
    m.view.ZoomBaseY = m.view.OffsetY;
    RelativeStep(m.dyn.Increment, p, bar, 10, 10);
    // The step is a percentage; the view centre stays on the same model point.
    const ext z = m.view.Zoom + static_cast<ext>(m.view.Zoom) * m.dyn.Increment * 0.01L;
    m.view.Zoom = static_cast<f32>(z);
    if (m.view.ZoomBase > 0) {
        m.view.OffsetX = static_cast<f32>((static_cast<ext>(m.view.ZoomBaseX) - kViewCentreX) * z /
                                              m.view.ZoomBase +
                                          kViewCentreX);
        m.view.OffsetY = static_cast<f32>(z * (static_cast<ext>(m.view.ZoomBaseY) - kViewCentreY) /
                                              m.view.ZoomBase +
                                          kViewCentreY);
    }
    // The offsets keep the values of the unclamped zoom.
    if (z > 3000) m.view.Zoom = 3000;
    if (!(m.view.Zoom >= 0.5f)) m.view.Zoom = 0.5f;
}

void TakePresetView(ViewState& v) {
    v.ViewPresets[0] = v.Zoom;
    v.ViewPresets[1] = v.OffsetX;
    v.ViewPresets[2] = v.OffsetY;
}

void RecallPreset(ViewState& v, int k, bool store) {
    if (k < 1 || k > 6) return;
    if (store)
        for (int i = 0; i < 3; ++i) v.ViewPresets[3 * k + i] = v.ViewPresets[i];
    v.Zoom = v.ViewPresets[3 * k];
    v.OffsetX = v.ViewPresets[3 * k + 1];
    v.OffsetY = v.ViewPresets[3 * k + 2];
}

float GraphicZoomFromText(std::string_view text) {
    float v = ParseField(text);
    if (!(v >= 0.5f)) v = 0.5f;
    if (v > 2000) v = 2000;
    return v;
}

}  // namespace tarn
