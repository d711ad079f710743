// The dimension close-up: the dimension table gives each id its zoom, offsets, line and name.
#include "core/scene/closeup.h"

#include <array>

#include "core/model/dimensions.h"
#include "core/model/numfmt.h"
#include "core/scene/mainscene.h"

namespace tarn {

namespace {

struct Pt {
    int x, y;
};

Pt S(const Model& m, int i) { return {m.pivots.ScreenX[i], m.pivots.ScreenY[i]}; }
Pt C(const Model& m, int n) { return {m.steam.CylPtX[n], m.steam.CylPtY[n]}; }
Pt Q(const Model& m, int n) { return {m.steam.PistonPtX[n], m.steam.PistonPtY[n]}; }
int Sx(const Model& m, ext x) { return ScreenXOf(m, x); }
int Sy(const Model& m, ext y) { return ScreenYOf(m, y); }
ext Px(const Model& m, int i) { return m.pivots.PivotX[i]; }
ext Py(const Model& m, int i) { return m.pivots.PivotY[i]; }

void Line(Canvas& c, Pt a, Pt b) {
    c.MoveTo(a.x, a.y);
    c.LineTo(b.x, b.y);
}

// Ids 17 and 18: the offset either side of mid gear at the height of the arm's end, the two
// halves in different colours.
void GearLimitLine(const Model& m, Canvas& c, ext offset) {
    const ext centre = m.motion.RevArmPositions[0];
    const int y = m.pivots.ScreenY[18] + 5;
    auto toggle = [&c] { c.SetPenColor(c.PenColor() != kBlack ? kBlack : kRed); };
    c.MoveTo(Sx(m, centre - offset), y);
    c.LineTo(Sx(m, centre), y);
    toggle();
    c.LineTo(Sx(m, centre + offset), y);
    toggle();
}

// Where the valve cylinder's centre lies: the cylinder centre's x on the driver's height.
int CylCentreX(const Model& m) { return Sx(m, Px(m, 1) + m.design.Cyl.CylCtrToDriverCtr); }

// The line of a dimension's close-up, as its table row describes it.
void DrawCloseupLine(const Model& m, Canvas& c, const DimensionInfo& d) {
    const int a = d.closeup.a, b = d.closeup.b;
    const ext v = DimensionRef(m, d);
    switch (d.closeup.line) {
        case CloseupLine::Pivots: Line(c, S(m, a), S(m, b)); break;
        case CloseupLine::CylinderPoints: Line(c, C(m, a), C(m, b)); break;
        case CloseupLine::PistonPoints: Line(c, Q(m, a), Q(m, b)); break;
        case CloseupLine::Diameter:
            Line(c, {S(m, a).x, Sy(m, Py(m, a) - v / 2.0L)},
                 {S(m, a).x, Sy(m, Py(m, a) + v / 2.0L)});
            break;
        case CloseupLine::Mirror:
            Line(c, S(m, a), {Sx(m, 2 * Px(m, b) - Px(m, a)), Sy(m, 2 * Py(m, b) - Py(m, a))});
            break;
        case CloseupLine::DropTo: Line(c, S(m, a), {S(m, a).x, S(m, b).y}); break;
        case CloseupLine::AcrossTo: Line(c, S(m, a), {S(m, b).x, S(m, a).y}); break;
        case CloseupLine::RunFrom: Line(c, S(m, a), {Sx(m, Px(m, a) + v), S(m, a).y}); break;
        case CloseupLine::GearLimit: GearLimitLine(m, c, v); break;
        case CloseupLine::CylinderHeight:
            Line(c, {CylCentreX(m), S(m, 1).y}, {CylCentreX(m), S(m, 3).y});
            break;
        case CloseupLine::ValveHeight:
            Line(c, {C(m, 0).x - 5, S(m, 4).y}, {C(m, 0).x - 5, S(m, 3).y});
            break;
        case CloseupLine::PortToCentre: Line(c, C(m, 14), {CylCentreX(m), C(m, 14).y}); break;
        case CloseupLine::RingToJoint:
            Line(c, {Q(m, 8).x, Q(m, 5).y},
                 {Sx(m, Px(m, 4) + m.design.Cyl.ValveCtrToJoint), Q(m, 5).y});
            break;
    }
}

void Polyline(Canvas& c, std::initializer_list<Pt> pts) {
    bool first = true;
    for (const Pt& p : pts) {
        if (first) c.MoveTo(p.x, p.y);
        else c.LineTo(p.x, p.y);
        first = false;
    }
}

// The hourglass beside the name: the dimension is shown for a while, then the view returns.
void DrawHourglass(Canvas& c) {
    c.SetPenColor(kBlack);
    c.SetPenWidth(2);
    Polyline(c, {{20, 100}, {44, 100}, {44, 104}, {20, 104}, {20, 100}});
    Polyline(c, {{22, 100}, {22, 112}, {30, 120}, {30, 122}, {22, 130}, {22, 142}});
    Polyline(c, {{42, 100}, {42, 112}, {34, 120}, {34, 122}, {42, 130}, {42, 142}});
    Polyline(c, {{20, 142}, {44, 142}, {44, 138}, {20, 138}, {20, 142}});
    c.SetPenWidth(1);
    Polyline(c, {{24, 136}, {32, 127}});
    Polyline(c, {{39, 136}, {31, 127}});
    Polyline(c, {{31, 117}, {26, 111}, {37, 111}, {31, 118}});
}

}  // namespace

CloseupView CloseupViewOf(int id) {
    const DimensionInfo* d = FindDimension(id);
    return d ? CloseupView{CloseupLabel(*d), d->closeup.k} : CloseupView{};
}

CloseupActions DrawDimensionCloseup(Model& m, Canvas& c) {
    CloseupActions a;
    // 1. The dialog gets out of the way.
    if (m.closeup.GraphicPosId >= 100) {
        a.closeCylDialog = true;
        m.closeup.GraphicPosFromFrame = false;
    } else {
        a.closeFrameDialog = true;
        m.closeup.GraphicPosFromFrame = true;
    }
    // 2.
    DrawHourglass(c);
    // 3. The view to come back to, taken on the first frame only.
    if (m.closeup.GraphicPosFrames == 0) {
        m.view.DefaultZoom = m.view.Zoom;
        m.view.DefaultOffsetX = m.view.OffsetX;
        m.view.DefaultOffsetY = m.view.OffsetY;
    }
    // 4.
    c.SetPenWidth(3);
    c.SetFontSize(14);
    // 5. Three frames red, three black.
    ++m.closeup.GraphicPosFrames;
    ++m.closeup.GraphicPosBlink;
    c.SetPenColor(m.closeup.GraphicPosBlink < 4 ? kRed : kBlack);
    // 6. The view is forced every frame, so pan and zoom have no lasting effect meanwhile.
    if (const DimensionInfo* d = FindDimension(m.closeup.GraphicPosId)) {
        const DimCloseup& k = d->closeup;
        m.view.Zoom = ToFloat(static_cast<ext>(k.k) / m.closeup.GraphicZoomFactor * 7.5L);
        if (k.setOffsets) {
            m.view.OffsetX = k.offsetX;
            m.view.OffsetY = k.offsetY;
        }
        DrawCloseupLine(m, c, *d);
        // Only the line blinks: the name stays black.
        c.SetFontColor(kBlack);
        const ext fx = m.display.FontScaleX, fy = m.display.FontScaleY;
        c.TextOut(Round(30 * fx), Round(75 * fy), CloseupLabel(*d));
    }
    // 7.
    if (m.closeup.GraphicPosBlink > 5) m.closeup.GraphicPosBlink = 0;
    // 8. Done: the view comes back and the dialog opens again (queued by the window).
    if (m.closeup.GraphicPosFrames > 1000) {
        m.closeup.GraphicPosFrames = 0;
        m.closeup.GraphicPosBlink = 0;
        m.closeup.GraphicPosId = 0;
        m.view.Zoom = m.view.DefaultZoom;
        m.view.OffsetX = m.view.DefaultOffsetX;
        m.view.OffsetY = m.view.DefaultOffsetY;
        c.SetFontSize(8);
        if (m.closeup.GraphicPosFromFrame) a.reopenFrameDialog = true;
        else a.reopenCylDialog = true;
    }
    // 9.
    if (m.closeup.GraphicPosFrames == 0) a.defaultCursor = true;
    return a;
}

}  // namespace tarn
