// View control on the model: relative bar steps, pan, zoom, presets.
#include "core/scene/view.h"

#include <cstdlib>

#include "core/model/numfmt.h"

namespace tarn {

void RelativeStep(Model& m, i32 p, i32& last, i32& beforeLast, int divisor, int largeStep) {
    const ext dv = divisor;
    ext inc = 0;
    if (p > 0 && p > beforeLast) inc = p / dv;
    if (p < 0 && p > beforeLast) inc = -p / dv;
    if (p < 0 && p < beforeLast) inc = p / dv;
    if (p > 0 && p < beforeLast) inc = -p / dv;
    // Arrow and trough clicks step by their own sign.
    const long long moved = std::llabs(static_cast<long long>(p) - last);
    if (moved == 1) inc = p / dv;
    if (moved == largeStep) inc = p / dv;
    m.Increment = static_cast<f32>(inc);
    beforeLast = last;
    last = p;
}

void PanVertical(Model& m, i32 p) {
    RelativeStep(m, p, m.PanVertLast, m.PanVertBeforeLast, 10, 10);
    m.OffsetY = static_cast<f32>(static_cast<ext>(m.OffsetY) - m.Increment);
    m.ZoomBase = m.Zoom;
    m.ZoomBaseX = m.OffsetX;
    m.ZoomBaseY = m.OffsetY;
}

void PanHorizontal(Model& m, i32 p) {
    RelativeStep(m, p, m.PanHorzLast, m.PanHorzBeforeLast, 10, 10);
    m.OffsetX = static_cast<f32>(static_cast<ext>(m.OffsetX) + m.Increment);
    m.ZoomBase = m.Zoom;
    m.ZoomBaseX = m.OffsetX;
    m.ZoomBaseY = m.OffsetY;
}

void ZoomStep(Model& m, i32 p) {
    m.ZoomBase = m.Zoom;
    m.ZoomBaseX = m.OffsetX;
    m.ZoomBaseY = m.OffsetY;
    RelativeStep(m, p, m.ZoomLast, m.ZoomBeforeLast, 10, 10);
    // The step is a percentage; the view centre stays on the same model point.
    const ext z = m.Zoom + static_cast<ext>(m.Zoom) * m.Increment * 0.01L;
    m.Zoom = static_cast<f32>(z);
    if (m.ZoomBase > 0) {
        m.OffsetX = static_cast<f32>(
            (static_cast<ext>(m.ZoomBaseX) - kViewCentreX) * z / m.ZoomBase + kViewCentreX);
        m.OffsetY = static_cast<f32>(
            z * (static_cast<ext>(m.ZoomBaseY) - kViewCentreY) / m.ZoomBase + kViewCentreY);
    }
    // The offsets keep the values of the unclamped zoom.
    if (z > 3000) m.Zoom = 3000;
    if (!(m.Zoom >= 0.5f)) m.Zoom = 0.5f;
}

void TakePresetView(Model& m) {
    m.ViewPresets[0] = m.Zoom;
    m.ViewPresets[1] = m.OffsetX;
    m.ViewPresets[2] = m.OffsetY;
}

void RecallPreset(Model& m, int k, bool store) {
    if (k < 1 || k > 6) return;
    if (store)
        for (int i = 0; i < 3; ++i) m.ViewPresets[3 * k + i] = m.ViewPresets[i];
    m.Zoom = m.ViewPresets[3 * k];
    m.OffsetX = m.ViewPresets[3 * k + 1];
    m.OffsetY = m.ViewPresets[3 * k + 2];
}

float GraphicZoomFromText(std::string_view text) {
    float v = ParseField(text);
    if (!(v >= 0.5f)) v = 0.5f;
    if (v > 2000) v = 2000;
    return v;
}

}  // namespace tarn
