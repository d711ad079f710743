// The gear's extent: the linkage and overlay layers are drawn, for every crank angle of a
// revolution, on a canvas that only keeps the bounds of what it is given. Measuring the drawing
// itself keeps the extent true to the picture (the cylinder outline, the link's arc, the reach
// rod) without a second copy of any of its geometry.
#include "core/scene/extent.h"

#include <algorithm>
#include <cmath>

#include "core/model/canvas.h"
#include "core/model/numfmt.h"
#include "core/model/solver.h"
#include "core/scene/mainscene.h"

namespace tarn {

namespace {

// The bounds, in pixels, of the shapes drawn on it. Texts are no part of the gear; shapes that
// draw nothing (a line of no length, an ellipse of an empty box) add nothing.
class BoundsCanvas final : public Canvas {
public:
    void Ellipse(int x1, int y1, int x2, int y2) override {
        if (x1 == x2 || y1 == y2) return;
        Add(x1, y1);
        Add(x2, y2);
    }
    // Only the part of the ellipse that is drawn: its end points and the extremes on the axes
    // that lie between them.
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override {
        if (x1 == x2 || y1 == y2) return;
        const ext cx = (static_cast<ext>(x1) + x2) / 2, cy = (static_cast<ext>(y1) + y2) / 2;
        const ext rx = std::abs(static_cast<ext>(x2) - x1) / 2;
        const ext ry = std::abs(static_cast<ext>(y2) - y1) / 2;
        // Angles as on a screen whose y grows downward: counter-clockwise is upward.
        const ext a1 = std::atan2(-(y3 - cy), x3 - cx);
        const ext a2 = std::atan2(-(y4 - cy), x4 - cx);
        ext span = a2 - a1;
        while (span <= 0) span += 2 * kPi;
        auto at = [&](ext a) {
            Add(RoundPixel(cx + rx * std::cos(a)), RoundPixel(cy - ry * std::sin(a)));
        };
        at(a1);
        at(a1 + span);
        for (int quarter = -4; quarter <= 8; ++quarter) {
            const ext a = quarter * kPi / 2;
            if (a > a1 && a < a1 + span) at(a);
        }
    }
    void TextOut(int, int, std::string_view) override {}
    void SetPixel(int x, int y, Rgb) override { Add(x, y); }
    void Clear(Rgb) override {}

    bool empty = true;
    int left = 0, right = 0, top = 0, bottom = 0;

protected:
    void DrawLine(int x1, int y1, int x2, int y2) override {
        if (x1 == x2 && y1 == y2) return;
        Add(x1, y1);
        Add(x2, y2);
    }

private:
    void Add(int x, int y) {
        if (empty) {
            left = right = x;
            top = bottom = y;
            empty = false;
            return;
        }
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
};

constexpr int kSweepSteps = 180;  // a drawing every 2 degrees of the crank

// The bounds of a revolution drawn at the given zoom about the origin.
BoundsCanvas Sweep(Model& g, f32 zoom) {
    g.view.Zoom = zoom;
    g.view.OffsetX = 0;
    g.view.OffsetY = 0;
    BoundsCanvas bounds;
    for (int step = 0; step < kSweepSteps; ++step) {
        g.motion.CrankAngle = static_cast<f32>(step * 360.0L / kSweepSteps);
        SolveLinkage(g);
        MapPivotsToScreen(g);
        UpdateCylinderPoints(g);
        UpdatePistonPoints(g);
        DrawLinkage(g, bounds);
        DrawOverlay(g, bounds);
    }
    return bounds;
}

}  // namespace

ModelBox GearExtent(const Model& m) {
    Model g = m;
    // A pixel of the measuring drawing should be a small part of the gear: the first drawing
    // finds the gear's size, a second one measures it again at about 2^17 pixels across. A
    // drawing that runs into the pixel limit is repeated smaller.
    constexpr ext kAcross = 1 << 17;
    ext zoom = 64;
    f32 used = 0;
    BoundsCanvas b;
    for (int pass = 0; pass < 8; ++pass) {
        used = static_cast<f32>(zoom);
        b = Sweep(g, used);
        if (b.empty) return {};
        const bool clipped = b.left <= -kPixelLimit || b.right >= kPixelLimit ||
                             b.top <= -kPixelLimit || b.bottom >= kPixelLimit;
        const ext span = std::max(b.right - b.left, b.bottom - b.top);
        if (clipped) zoom /= 4096;
        else if (span < kAcross / 2 && zoom < 1e12L) zoom *= kAcross / std::max<ext>(span, 1);
        else break;
    }
    const ext z = used;
    ModelBox box;
    box.empty = false;
    box.left = b.left / z;
    box.right = b.right / z;
    box.top = -b.top / z;
    box.bottom = -b.bottom / z;
    return box;
}

std::optional<ViewFit> FitView(const ModelBox& box, const ScreenArea& area, int margin,
                               f32 presentZoom) {
    if (box.empty) return std::nullopt;
    const ext roomX = static_cast<ext>(area.width) - 2 * margin;
    const ext roomY = static_cast<ext>(area.height) - 2 * margin;
    if (!(roomX > 0 && roomY > 0)) return std::nullopt;
    const ext bw = box.Width(), bh = box.Height();
    ext z = presentZoom;
    if (bw > 0 && bh > 0) z = std::min(roomX / bw, roomY / bh);
    else if (bw > 0) z = roomX / bw;
    else if (bh > 0) z = roomY / bh;
    if (!std::isfinite(z)) z = presentZoom;
    z = std::clamp<ext>(z, 0.5L, 3000.0L);
    // The middle of the area's pixels: a drawing from pixel a to pixel b is centred on (a + b) / 2.
    const ext cx = area.left + (static_cast<ext>(area.width) - 1) / 2;
    const ext cy = area.top + (static_cast<ext>(area.height) - 1) / 2;
    ViewFit fit;
    fit.Zoom = static_cast<f32>(z);
    fit.OffsetX = static_cast<f32>(cx - z * (box.left + box.right) / 2);
    fit.OffsetY = static_cast<f32>(cy + z * (box.bottom + box.top) / 2);
    return fit;
}

bool FitPictureToArea(Model& m, const ScreenArea& area, int margin) {
    const auto fit = FitView(GearExtent(m), area, margin, m.view.Zoom);
    if (!fit) return false;
    m.view.Zoom = fit->Zoom;
    m.view.OffsetX = fit->OffsetX;
    m.view.OffsetY = fit->OffsetY;
    // The pan and zoom bars take their next step from here.
    m.view.ZoomBase = m.view.Zoom;
    m.view.ZoomBaseX = m.view.OffsetX;
    m.view.ZoomBaseY = m.view.OffsetY;
    return true;
}

}  // namespace tarn
