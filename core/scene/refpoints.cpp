// Reference points and pivot-data rows: where a click places a point, how a bar nudges it, how
// a row is bound to a pivot, and how crosses, read-outs and rows are drawn.
#include "core/scene/refpoints.h"

#include <cmath>

#include "core/model/numfmt.h"
#include "core/scene/view.h"

namespace tarn {

namespace {

constexpr int kRP1 = 19, kRP2 = 20;

// Text at a client position scaled by the layout scale.
void ScaledTextAt(const Model& m, Canvas& c, int x, int y, const std::string& text) {
    c.TextOut(Round(static_cast<ext>(x) * m.display.FontScaleX),
              Round(static_cast<ext>(y) * m.display.FontScaleY), text);
}

ext Distance(ext x1, ext y1, ext x2, ext y2) {
    const ext dx = x1 - x2, dy = y1 - y2;
    return std::sqrt(dx * dx + dy * dy);
}

// A stored pivot number as an index into the pivot tables, or -1.
int PivotIndex(float number) {
    const i32 p = Round(number);
    return (p >= 0 && p < kPivotCount) ? p : -1;
}

void Cross(Canvas& c, int x, int y) {
    c.MoveTo(x, y - 10);
    c.LineTo(x, y + 10);
    c.MoveTo(x - 10, y);
    c.LineTo(x + 10, y);
}

}  // namespace

bool OnPicture(int x, int y) { return y > 120 || (y >= 68 && x > 247); }

float ModelXOf(const Model& m, int x) {
    return ToFloat((static_cast<ext>(x) - m.view.OffsetX) / static_cast<ext>(m.view.Zoom));
}

float ModelYOf(const Model& m, int y) {
    return ToFloat(-(static_cast<ext>(y) - m.view.OffsetY) / static_cast<ext>(m.view.Zoom));
}

int NearestPivot(const Model& m, long double x, long double y, int first, int last,
                 bool skipReferencePoints) {
    if (first < 0) first = 0;
    if (last >= kPivotCount) last = kPivotCount - 1;
    ext best = 10000;
    int found = -1;
    for (int i = first; i <= last; ++i) {
        if (skipReferencePoints && (i == kRP1 || i == kRP2)) continue;
        const ext d =
            std::fabs(static_cast<ext>(m.pivots.PivotY[static_cast<std::size_t>(i)]) - y) +
            std::fabs(static_cast<ext>(m.pivots.PivotX[static_cast<std::size_t>(i)]) - x);
        if (d < best) {  // NaN never wins
            best = d;
            found = i;
        }
    }
    return found;
}

int PlaceReferencePoint(Model& m, int x, int y, MouseButton b) {
    if (!m.display.RefPointsOn || !OnPicture(x, y)) return 0;
    const int point = (b == MouseButton::Left) ? 1 : (b == MouseButton::Right) ? 2 : 0;
    if (point == 0) return 0;
    const int i = point == 1 ? kRP1 : kRP2;
    m.pivots.PivotX[i] = ModelXOf(m, x);
    m.pivots.PivotY[i] = ModelYOf(m, y);
    return point;
}

void PickOrChooseDataRow(Model& m, int x, int y, MouseButton b) {
    if (!m.display.PivotDataOn || !m.display.RefPointsOn || b != MouseButton::Left) return;
    if (m.refs.PivotPickArmed) {
        // The pick: RP1 goes to the click, wherever it is, and the nearest linkage pivot
        // (1..18, never the reference points) binds the armed row.
        m.pivots.PivotX[kRP1] = ModelXOf(m, x);
        m.pivots.PivotY[kRP1] = ModelYOf(m, y);
        const int p = NearestPivot(m, m.pivots.PivotX[kRP1], m.pivots.PivotY[kRP1], 1, 18, false);
        m.refs.PivotPickArmed = false;
        if (p >= 0 && m.refs.PickSlot >= 1 && m.refs.PickSlot <= 6)
            m.refs.DataPivots[static_cast<std::size_t>(m.refs.PickSlot)] = static_cast<f32>(p);
    }
    // A click on a row number arms that row (also right after a pick on it).
    if (m.refs.PivotPickArmed || !(0 < x && x < Round(20 * static_cast<ext>(m.display.FontScaleX))))
        return;
    for (int k = 1; k <= 6; ++k) {
        const int top = Round((142 + 10 * k) * static_cast<ext>(m.display.FontScaleY));
        const int bottom = Round((151 + 10 * k) * static_cast<ext>(m.display.FontScaleY));
        if (top < y && y < bottom) {
            m.refs.PickSlot = k;
            m.refs.SlotUsed[static_cast<std::size_t>(k)] = 1;
            m.refs.PivotPickArmed = true;
        }
    }
}

void NudgeReferencePoint(Model& m, RefBar b, BarHistory& bar, i32 p) {
    switch (b) {
        case RefBar::Ref1Vert:
            RelativeStep(m.dyn.Increment, p, bar, 1000, 25);
            m.pivots.PivotY[kRP1] =
                ToFloat(static_cast<ext>(m.pivots.PivotY[kRP1]) + m.dyn.Increment);
            break;
        case RefBar::Ref1Horz:
            RelativeStep(m.dyn.Increment, p, bar, 1000, 25);
            m.pivots.PivotX[kRP1] =
                ToFloat(static_cast<ext>(m.pivots.PivotX[kRP1]) + m.dyn.Increment);
            break;
        case RefBar::Ref2Vert:
            RelativeStep(m.dyn.Increment, p, bar, 1000, 25);
            m.pivots.PivotY[kRP2] =
                ToFloat(static_cast<ext>(m.pivots.PivotY[kRP2]) + m.dyn.Increment);
            break;
        case RefBar::Ref2Horz:
            RelativeStep(m.dyn.Increment, p, bar, 1000, 25);
            m.pivots.PivotX[kRP2] =
                ToFloat(static_cast<ext>(m.pivots.PivotX[kRP2]) + m.dyn.Increment);
            break;
    }
}

void ZeroReferencePoint(Model& m, int point) {
    const int i = point == 1 ? kRP1 : kRP2;
    m.pivots.PivotX[i] = 0;
    m.pivots.PivotY[i] = 0;
}

PanBarPositions CentreOnReferencePoint(Model& m, int point) {
    const int i = point == 1 ? kRP1 : kRP2;
    const ext px = m.pivots.PivotX[i], py = m.pivots.PivotY[i];
    const ext z = m.view.Zoom;
    m.view.OffsetX = ToFloat(320 - px * z);
    m.view.OffsetY = ToFloat(z * py + 240);
    const ext nz = m.view.NormZoom, nx = m.view.NormOffsetX, ny = m.view.NormOffsetY;
    const ext ox = m.view.OffsetX, oy = m.view.OffsetY;
    auto limit = [](i32 v) { return v < -500 ? -500 : v > 500 ? 500 : v; };
    PanBarPositions bars;
    bars.horz = limit(Round(-(((ox - 320) * nz / z + 320 - nx) * 100) / nx));
    bars.vert = limit(Round(((oy - 240) * nz / z + 240 - ny) * 200 / ny));
    return bars;
}

std::array<std::string, 4> RefPointFieldTexts(const Model& m) {
    return {FieldText(m.pivots.PivotY[kRP1]), FieldText(m.pivots.PivotX[kRP1]),
            FieldText(m.pivots.PivotY[kRP2]), FieldText(m.pivots.PivotX[kRP2])};
}

std::array<bool, 2> ApplyRefPointFields(Model& m,
                                        const std::array<std::optional<std::string>, 4>& edited) {
    f32* targets[4] = {&m.pivots.PivotY[kRP1], &m.pivots.PivotX[kRP1], &m.pivots.PivotY[kRP2],
                       &m.pivots.PivotX[kRP2]};
    for (int f = 0; f < 4; ++f)
        if (edited[static_cast<std::size_t>(f)])
            *targets[f] = ParseField(*edited[static_cast<std::size_t>(f)]);
    return {m.pivots.PivotY[kRP1] != 0 || m.pivots.PivotX[kRP1] != 0,
            m.pivots.PivotY[kRP2] != 0 || m.pivots.PivotX[kRP2] != 0};
}

void DrawPivotDataRows(Model& m, Canvas& c) {
    c.SetFontColor(kBlack);
    ScaledTextAt(m, c, 1, 128, "    Pivot Data");
    ScaledTextAt(m, c, 1, 138, "No.  Vert     Horz");
    auto bound = [&](int k) {
        return m.refs.SlotUsed[static_cast<std::size_t>(k)] == 1 &&
               PivotIndex(m.refs.DataPivots[static_cast<std::size_t>(k)]) >= 0;
    };
    auto pivotOf = [&](int k) {
        return PivotIndex(m.refs.DataPivots[static_cast<std::size_t>(k)]);
    };
    for (int k = 1; k <= 6; ++k) {
        const int yk = 140 + 10 * k;
        c.SetFontColor(kRed);
        ScaledTextAt(m, c, 3, yk, std::to_string(k));
        c.SetFontColor(kBlack);
        if (bound(k)) {
            const int p = pivotOf(k);
            ScaledTextAt(m, c, 12, yk, Str(m.pivots.PivotY[p], 7, 3));
            ScaledTextAt(m, c, 50, yk, Str(m.pivots.PivotX[p], 7, 3));
            // The row number beside its pivot in the picture.
            c.SetFontColor(kRed);
            c.TextOut(
                RoundPixel(static_cast<ext>(m.pivots.PivotX[p]) * m.view.Zoom + m.view.OffsetX + 4),
                RoundPixel(-static_cast<ext>(m.pivots.PivotY[p]) * m.view.Zoom + m.view.OffsetY -
                           12),
                std::to_string(k));
            c.SetFontColor(kBlack);
        }
        // Rows 1/2, 3/4, 5/6: the distance between their pivots, right after the pair's first row.
        if (k % 2 == 1 && bound(k) && bound(k + 1)) {
            const int a = pivotOf(k), b = pivotOf(k + 1);
            ScaledTextAt(m, c, 90, 155 + 10 * (k - 1),
                         Str(Distance(m.pivots.PivotX[a], m.pivots.PivotY[a], m.pivots.PivotX[b],
                                      m.pivots.PivotY[b]),
                             7, 3));
        }
    }
}

void DrawReferencePoints(Model& m, Canvas& c) {
    c.SetFontColor(kBlack);
    const int x2 = m.pivots.ScreenX[kRP2], y2 = m.pivots.ScreenY[kRP2];
    Cross(c, x2, y2);
    ScaledTextAt(m, c, 143, 95, "Pt2V " + Str(m.pivots.PivotY[kRP2], 6, 3));
    ScaledTextAt(m, c, 143, 107, "Pt2H " + Str(m.pivots.PivotX[kRP2], 6, 3));
    c.TextOut(x2 + 3, y2 - 17, "2");
    const int x1 = m.pivots.ScreenX[kRP1], y1 = m.pivots.ScreenY[kRP1];
    Cross(c, x1, y1);
    ScaledTextAt(m, c, 143, 71, "Pt1V " + Str(m.pivots.PivotY[kRP1], 6, 3));
    ScaledTextAt(m, c, 143, 83, "Pt1H " + Str(m.pivots.PivotX[kRP1], 6, 3));
    c.TextOut(x1 + 3, y1 - 17, "1");
    const ext ax = m.pivots.PivotX[kRP1], ay = m.pivots.PivotY[kRP1], bx = m.pivots.PivotX[kRP2],
              by = m.pivots.PivotY[kRP2];
    ScaledTextAt(m, c, 210, 71, Str(ay - by, 6, 3));
    ScaledTextAt(m, c, 210, 83, Str(ax - bx, 6, 3));
    ScaledTextAt(m, c, 207, 95, "Pt1-Pt2");
    ScaledTextAt(m, c, 209, 107, Str(Distance(ax, ay, bx, by), 6, 3));
}

}  // namespace tarn
