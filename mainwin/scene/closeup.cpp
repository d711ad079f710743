// The dimension close-up: one table row per dimension (label, zoom, offsets, line).
#include "mainwin/scene/closeup.h"

#include <array>

#include "mainwin/scene/mainscene.h"
#include "model/numfmt.h"

namespace tarn {

namespace {

struct Pt {
    int x, y;
};

Pt S(const Model& m, int i) { return {m.ScreenX[i], m.ScreenY[i]}; }
Pt C(const Model& m, int n) { return {m.CylPtX[n], m.CylPtY[n]}; }
Pt Q(const Model& m, int n) { return {m.PistonPtX[n], m.PistonPtY[n]}; }
int Sx(const Model& m, ext x) { return ScreenXOf(m, x); }
int Sy(const Model& m, ext y) { return ScreenYOf(m, y); }
ext Px(const Model& m, int i) { return m.PivotX[i]; }
ext Py(const Model& m, int i) { return m.PivotY[i]; }

void Line(Canvas& c, Pt a, Pt b) {
    c.MoveTo(a.x, a.y);
    c.LineTo(b.x, b.y);
}

// Ids 17 and 18: the offset either side of mid gear at the height of the arm's end, the two
// halves in different colours.
void GearLimitLine(const Model& m, Canvas& c, ext offset) {
    const ext centre = m.RevArmPositions[0];
    const int y = m.ScreenY[18] + 5;
    auto toggle = [&c] { c.SetPenColor(c.PenColor() != kBlack ? kBlack : kRed); };
    c.MoveTo(Sx(m, centre - offset), y);
    c.LineTo(Sx(m, centre), y);
    toggle();
    c.LineTo(Sx(m, centre + offset), y);
    toggle();
}

using LineFn = void (*)(const Model&, Canvas&);

struct Case {
    int id;
    const char* label;
    float k;
    bool setOffsets;  // otherwise the offsets keep the current view's values
    float offsetX, offsetY;
    LineFn line;
};

// Where the valve cylinder's centre lies: the cylinder centre's x on the driver's height.
int CylCentreX(const Model& m) { return Sx(m, Px(m, 1) + m.Cyl.CylCtrToDriverCtr); }

const std::array<Case, 36> kCases{{
    {1, "Driver Dia", 30, true, 290, 212,
     [](const Model& m, Canvas& c) {
         Line(c, {S(m, 1).x, Sy(m, Py(m, 1) - m.DriverDia / 2.0L)},
              {S(m, 1).x, Sy(m, Py(m, 1) + m.DriverDia / 2.0L)});
     }},
    {2, "Stroke", 30, true, 290, 212,
     [](const Model& m, Canvas& c) {
         Line(c, S(m, 2), {Sx(m, 2 * Px(m, 1) - Px(m, 2)), Sy(m, 2 * Py(m, 1) - Py(m, 2))});
     }},
    {3, "Main Rod Crank End", 20, false, 0, 0,
     [](const Model& m, Canvas& c) { Line(c, S(m, 2), S(m, 10)); }},
    {4, "Main Rod Piston End", 20, false, 0, 0,
     [](const Model& m, Canvas& c) { Line(c, S(m, 3), S(m, 10)); }},
    {5, "Radius Rod", 20, false, 0, 0,
     [](const Model& m, Canvas& c) { Line(c, S(m, 4), S(m, 7)); }},
    {6, "Link Radius", 20, false, 0, 0,
     [](const Model& m, Canvas& c) { Line(c, S(m, 5), S(m, 14)); }},
    {7, "Link Pivot Vert", 40, true, 100, 212,
     [](const Model& m, Canvas& c) { Line(c, S(m, 5), {S(m, 5).x, S(m, 1).y}); }},
    {8, "Link Pivot Horz", 40, true, 100, 212,
     [](const Model& m, Canvas& c) { Line(c, S(m, 5), {S(m, 1).x, S(m, 5).y}); }},
    {9, "Valve Lever Upper", 40, true, 100, 212,
     [](const Model& m, Canvas& c) { Line(c, S(m, 7), S(m, 15)); }},
    {10, "Valve Lever Lower", 40, true, 100, 212,
     [](const Model& m, Canvas& c) { Line(c, S(m, 7), S(m, 9)); }},
    {11, "Coupler Upper", 40, true, 100, 212,
     [](const Model& m, Canvas& c) { Line(c, S(m, 9), S(m, 10)); }},
    {12, "Coupler Lower", 40, true, 100, 212,
     [](const Model& m, Canvas& c) { Line(c, S(m, 9), S(m, 11)); }},
    {13, "Anchor Link Length", 40, true, 100, 212,
     [](const Model& m, Canvas& c) { Line(c, S(m, 11), S(m, 12)); }},
    {14, "Anchor Link Pivot Vert", 40, true, 100, 212,
     [](const Model& m, Canvas& c) { Line(c, S(m, 12), {S(m, 12).x, S(m, 0).y}); }},
    {15, "Anchor Link Pivot Horz", 40, true, 100, 212,
     [](const Model& m, Canvas& c) { Line(c, S(m, 12), {S(m, 0).x, S(m, 12).y}); }},
    {16, "Reverse Arm Length", 28, false, 0, 0,
     [](const Model& m, Canvas& c) { Line(c, S(m, 5), S(m, 18)); }},
    {17, "Rev Arm to Cent Norm", 28, false, 0, 0,
     [](const Model& m, Canvas& c) { GearLimitLine(m, c, m.RevArmToCentNorm); }},
    {18, "Rev Arm to Cent Max", 28, false, 0, 0,
     [](const Model& m, Canvas& c) { GearLimitLine(m, c, m.RevArmToCentMax); }},
    {19, "Valve Lev Up Offset", 28, false, 0, 0,
     [](const Model& m, Canvas& c) { Line(c, S(m, 15), S(m, 8)); }},
    {101, "Cyl ctr to Driver ctr", 18.9f, false, 0, 0,
     [](const Model& m, Canvas& c) { Line(c, S(m, 1), {CylCentreX(m), S(m, 1).y}); }},
    {102, "Cyl CL above Driver ctr", 55, true, -600, 295,
     [](const Model& m, Canvas& c) {
         Line(c, {CylCentreX(m), S(m, 1).y}, {CylCentreX(m), S(m, 3).y});
     }},
    {103, "Cylinder Bore Dia", 55, true, -600, 295,
     [](const Model& m, Canvas& c) { Line(c, C(m, 3), C(m, 4)); }},
    {104, "Cylinder Bore Length", 55, true, -600, 295,
     [](const Model& m, Canvas& c) { Line(c, C(m, 3), C(m, 6)); }},
    {105, "Cyl Steam Port Width", 55, true, -600, 295,
     [](const Model& m, Canvas& c) { Line(c, C(m, 3), C(m, 15)); }},
    {106, "Piston ctr to Crosshead", 40, true, -200, 260,
     [](const Model& m, Canvas& c) {
         Line(c, S(m, 3), {Sx(m, Px(m, 3) + m.Cyl.PistonRodLen), S(m, 3).y});
     }},
    {107, "Piston Width", 55, true, -600, 295,
     [](const Model& m, Canvas& c) { Line(c, Q(m, 1), Q(m, 4)); }},
    {108, "Valve CL to Cyl CL", 55, true, -600, 295,
     [](const Model& m, Canvas& c) {
         Line(c, {C(m, 0).x - 5, S(m, 4).y}, {C(m, 0).x - 5, S(m, 3).y});
     }},
    {109, "Valve Bore Dia", 55, true, -600, 295,
     [](const Model& m, Canvas& c) { Line(c, C(m, 0), C(m, 1)); }},
    {110, "Valve Bore Length", 55, true, -600, 295,
     [](const Model& m, Canvas& c) { Line(c, C(m, 1), C(m, 8)); }},
    {111, "Valve Bore ctr to Port", 55, true, -600, 295,
     [](const Model& m, Canvas& c) { Line(c, C(m, 14), {CylCentreX(m), C(m, 14).y}); }},
    {112, "ValveBorePortWidthRear", 55, true, -600, 295,
     [](const Model& m, Canvas& c) { Line(c, C(m, 2), C(m, 14)); }},
    {113, "ValveBorePortWidthFront", 55, true, -600, 295,
     [](const Model& m, Canvas& c) { Line(c, C(m, 17), C(m, 7)); }},
    {114, "Valve ctr to Ring", 55, true, -600, 295,
     [](const Model& m, Canvas& c) {
         Line(c, {Q(m, 8).x, Q(m, 5).y}, {Sx(m, Px(m, 4) + m.Cyl.ValveCtrToJoint), Q(m, 5).y});
     }},
    {115, "Valve End Width  Rear", 55, true, -600, 295,
     [](const Model& m, Canvas& c) { Line(c, Q(m, 7), Q(m, 8)); }},
    {116, "Valve End Width  Front", 55, true, -600, 295,
     [](const Model& m, Canvas& c) { Line(c, Q(m, 11), Q(m, 12)); }},
    {117, "Valve ctr to Joint (Stem)", 50, true, -400, 375,
     [](const Model& m, Canvas& c) {
         Line(c, S(m, 4), {Sx(m, Px(m, 4) + m.Cyl.ValveCtrToJoint), S(m, 4).y});
     }},
}};

const Case* FindCase(int id) {
    for (const auto& k : kCases)
        if (k.id == id) return &k;
    return nullptr;
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
    const Case* k = FindCase(id);
    return k ? CloseupView{k->label, k->k} : CloseupView{};
}

CloseupActions DrawDimensionCloseup(Model& m, Canvas& c) {
    CloseupActions a;
    // 1. The dialog gets out of the way.
    if (m.GraphicPosId >= 100) {
        a.closeCylDialog = true;
        m.GraphicPosFromFrame = false;
    } else {
        a.closeFrameDialog = true;
        m.GraphicPosFromFrame = true;
    }
    // 2.
    DrawHourglass(c);
    // 3. The view to come back to, taken on the first frame only.
    if (m.GraphicPosFrames == 0) {
        m.DefaultZoom = m.Zoom;
        m.DefaultOffsetX = m.OffsetX;
        m.DefaultOffsetY = m.OffsetY;
    }
    // 4.
    c.SetPenWidth(3);
    c.SetFontSize(14);
    // 5. Three frames red, three black.
    ++m.GraphicPosFrames;
    ++m.GraphicPosBlink;
    c.SetPenColor(m.GraphicPosBlink < 4 ? kRed : kBlack);
    // 6. The view is forced every frame, so pan and zoom have no lasting effect meanwhile.
    if (const Case* k = FindCase(m.GraphicPosId)) {
        m.Zoom = ToFloat(static_cast<ext>(k->k) / m.GraphicZoomFactor * 7.5L);
        if (k->setOffsets) {
            m.OffsetX = k->offsetX;
            m.OffsetY = k->offsetY;
        }
        k->line(m, c);
        // Only the line blinks: the name stays black.
        c.SetFontColor(kBlack);
        const ext fx = m.FontScaleX, fy = m.FontScaleY;
        c.TextOut(Round(30 * fx), Round(75 * fy), k->label);
    }
    // 7.
    if (m.GraphicPosBlink > 5) m.GraphicPosBlink = 0;
    // 8. Done: the view comes back and the dialog opens again (queued by the window).
    if (m.GraphicPosFrames > 1000) {
        m.GraphicPosFrames = 0;
        m.GraphicPosBlink = 0;
        m.GraphicPosId = 0;
        m.Zoom = m.DefaultZoom;
        m.OffsetX = m.DefaultOffsetX;
        m.OffsetY = m.DefaultOffsetY;
        c.SetFontSize(8);
        if (m.GraphicPosFromFrame) a.reopenFrameDialog = true;
        else a.reopenCylDialog = true;
    }
    // 9.
    if (m.GraphicPosFrames == 0) a.defaultCursor = true;
    return a;
}

}  // namespace tarn
