// The tick and the frame of the main picture: the order of the steps and layers, the view
// transform, the linkage drawing, the overlay and the window captions.
#include "core/scene/mainscene.h"

#include <cmath>
#include <string>

#include "core/model/numfmt.h"
#include "core/model/solver.h"
#include "core/scene/refpoints.h"

namespace tarn {

int ScreenXOf(const Model& m, long double x) {
    return RoundPixel(x * m.view.Zoom + static_cast<ext>(m.view.OffsetX));
}

int ScreenYOf(const Model& m, long double y) {
    return RoundPixel(-y * m.view.Zoom + static_cast<ext>(m.view.OffsetY));
}

void MapPivotsToScreen(Model& m) {
    for (int i = 0; i <= 20; ++i) {
        m.pivots.ScreenX[i] = ScreenXOf(m, m.pivots.PivotX[i]);
        m.pivots.ScreenY[i] = ScreenYOf(m, m.pivots.PivotY[i]);
    }
}

void AdvanceCrank(Model& m) {
    switch (m.motion.Direction) {
        case Direction::Forward:
            m.motion.CrankAngle =
                static_cast<f32>(static_cast<ext>(m.motion.CrankAngle) + m.motion.StepAngle);
            break;
        case Direction::Reverse:
            m.motion.CrankAngle =
                static_cast<f32>(static_cast<ext>(m.motion.CrankAngle) - m.motion.StepAngle);
            break;
    }
    // 360.1, not 360: an angle of exactly 360 stays until the next step.
    if (static_cast<ext>(m.motion.CrankAngle) > 360.1L)
        m.motion.CrankAngle = static_cast<f32>(static_cast<ext>(m.motion.CrankAngle) - 360);
    if (m.motion.CrankAngle < 0)
        m.motion.CrankAngle = static_cast<f32>(static_cast<ext>(m.motion.CrankAngle) + 360);
}

CloseupActions MainScene::Tick(Canvas& frame) {
    SolveLinkage(m_);
    SolveValveEvents(m_);
    MapPivotsToScreen(m_);
    UpdateCylinderPoints(m_);
    UpdatePistonPoints(m_);
    AdvanceCrank(m_);
    // The picture shows the pivots of the angle before the advance.
    return RenderFrame(frame);
}

CloseupActions MainScene::RenderFrame(Canvas& c) {
    // A fresh white frame in the start state of the canvas.
    c.Clear(kWhite);
    c.SetPenWidth(m_.display.LineWidth);
    c.SetPenColor(kBlack);
    c.SetFont(FontSpec{});
    c.SetFontColor(kBlack);
    c.SetTextBackground(false);

    if (m_.display.ShowSteam) DrawSteam(m_, c, host_, random_);
    SetFrameCaptions(m_, host_);
    DrawLinkage(m_, c);
    DrawOverlay(m_, c);
    DrawUndoLine(m_, c, host_);
    if (m_.display.ScreenData) DrawScreenData(m_, c, host_);
    if (m_.closeup.GraphicPosId > 0) return DrawDimensionCloseup(m_, c);
    return {};
}

void SetFrameCaptions(const Model& m, SceneHost& host) {
    static constexpr struct {
        CaptionWindow window;
        const char* title;
    } kTitles[] = {
        {CaptionWindow::Main, "TARN1 Inside Admission            "},
        {CaptionWindow::SineDia, "TARN1 Inside Admission      Sine Diagram    "},
        {CaptionWindow::OvalDia, "TARN1 Inside Admission      Oval Diagram    "},
        {CaptionWindow::SteamDia, "TARN1 Inside Admission      Steam Diagram    "},
        {CaptionWindow::PortDia, "TARN1 Inside Admission      Port Open/Closed    "},
        {CaptionWindow::DataTable, "TARN1 Inside Admission  Data Table "},
    };
    // The date first: the host reads its clock there.
    const std::string date = host.DateText();
    const std::string time = host.TimeText();
    const std::string tail =
        m.design.DesignName + "     " + date + "   " + time + "   Version " TARN_VERSION;
    for (const auto& t : kTitles) host.SetCaption(t.window, t.title + tail);
}

namespace {

// Circle of model radius r about the model point (cx, cy), by its bounding box.
void Circle(const Model& m, Canvas& c, long double cx, long double cy, long double r) {
    c.Ellipse(ScreenXOf(m, cx - r), ScreenYOf(m, cy - r), ScreenXOf(m, cx + r),
              ScreenYOf(m, cy + r));
}

void Cross(Canvas& c, int x, int y, int a, int b) {
    c.MoveTo(x + a, y + a);
    c.LineTo(x - b, y - b);
    c.MoveTo(x + a, y - a);
    c.LineTo(x - b, y + b);
}

}  // namespace

void DrawLinkage(Model& m, Canvas& c) {
    const ext dd = m.design.DriverDia;
    const auto& sx = m.pivots.ScreenX;
    const auto& sy = m.pivots.ScreenY;
    auto px = [&](int i) { return static_cast<ext>(m.pivots.PivotX[i]); };
    auto py = [&](int i) { return static_cast<ext>(m.pivots.PivotY[i]); };

    c.SetPenColor(kBlack);
    Circle(m, c, px(1), py(1), 0.5L * dd);  // driver wheel

    // Balance weight: 140 degrees of a circle about the origin, opposite the crank pin. The
    // sine is added, so the angles are screen angles.
    {
        const ext r = 0.35L * dd * m.view.Zoom;
        const ext a1 = (static_cast<ext>(m.motion.CrankAngle) - 110) * kPi / 180;
        const ext a2 = (static_cast<ext>(m.motion.CrankAngle) + 110) * kPi / 180;
        const ext ox = m.view.OffsetX, oy = m.view.OffsetY, zr = dd * m.view.Zoom;
        c.Arc(RoundPixel(ox - r), RoundPixel(oy + r), RoundPixel(ox + r), RoundPixel(oy - r),
              RoundPixel(std::cos(a1) * zr + ox), RoundPixel(std::sin(a1) * zr + oy),
              RoundPixel(std::cos(a2) * zr + ox), RoundPixel(std::sin(a2) * zr + oy));
    }
    Circle(m, c, px(1), py(1), 0.08L * dd);  // axle boss
    Circle(m, c, px(2), py(2), 0.05L * dd);  // crank pin
    Circle(m, c, px(3), py(3), 0.04L * dd);  // crosshead
    for (int i = 4; i <= 13; ++i) Circle(m, c, px(i), py(i), 0.02L * dd);
    Circle(m, c, px(18), py(18), 0.02L * dd);  // reverse arm end
    m.pivots.PivotX[18] = m.motion.RevArmPos;

    // Cylinder and valve chest outline.
    const auto& cx = m.steam.CylPtX;
    const auto& cy = m.steam.CylPtY;
    c.SetPenColor(kGrey);
    c.MoveTo(cx[0], cy[0]);
    for (int i = 1; i <= 9; ++i) c.LineTo(cx[i], cy[i]);
    c.MoveTo(cx[10], cy[10]);
    c.LineTo(cx[11], cy[11]);
    c.MoveTo(cx[12], cy[12]);
    c.LineTo(cx[13], cy[13]);
    c.MoveTo(cx[17], cy[17]);
    for (int i : {14, 15, 16, 17}) c.LineTo(cx[i], cy[i]);

    // Piston rod, piston, valve stem and valve heads.
    const auto& qx = m.steam.PistonPtX;
    const auto& qy = m.steam.PistonPtY;
    c.SetPenColor(kBlack);
    c.MoveTo(sx[3], sy[3]);
    c.LineTo(qx[0], qy[0]);
    c.MoveTo(qx[4], qy[4]);
    for (int i : {1, 2, 3, 4}) c.LineTo(qx[i], qy[i]);
    c.MoveTo(sx[4], sy[4]);
    c.LineTo(qx[5], qy[5]);
    c.MoveTo(qx[9], qy[9]);
    for (int i : {6, 7, 8, 9}) c.LineTo(qx[i], qy[i]);
    c.MoveTo(qx[13], qy[13]);
    for (int i : {10, 11, 12, 13}) c.LineTo(qx[i], qy[i]);

    // Fixed points: a small cross at the link arc centre, larger ones at 0, 6 and 12.
    c.SetPenColor(kRed);
    Cross(c, sx[14], sy[14], 1, 2);
    for (int i : {0, 6, 12}) Cross(c, sx[i], sy[i], 5, 6);

    // The curved link, still in red.
    {
        const ext r = m.design.LinkRadius;
        const int rx = ScreenXOf(m, px(5) + 0.05L * r);
        c.Arc(ScreenXOf(m, px(14) - r), ScreenYOf(m, py(14) - r), ScreenXOf(m, px(14) + r),
              ScreenYOf(m, py(14) + r), rx, ScreenYOf(m, py(5) + 0.25L * r), rx,
              ScreenYOf(m, py(5) - 0.25L * r));
    }

    // Rods: each a move, then the colour, then the lines.
    c.MoveTo(sx[3], sy[3]);
    c.SetPenColor(kRed);  // main rod
    c.LineTo(sx[2], sy[2]);
    c.MoveTo(sx[4], sy[4]);
    c.SetPenColor(kLime);  // radius rod
    c.LineTo(sx[7], sy[7]);
    c.MoveTo(sx[8], sy[8]);
    c.SetPenColor(kAqua);  // valve lever
    c.LineTo(sx[7], sy[7]);
    c.LineTo(sx[9], sy[9]);
    c.MoveTo(sx[10], sy[10]);
    c.SetPenColor(kBlue);  // coupler
    c.LineTo(sx[11], sy[11]);
    c.SetPenColor(kFuchsia);  // anchor link
    c.LineTo(sx[12], sy[12]);
    c.MoveTo(sx[5], sy[5]);
    c.SetPenColor(kBlue);  // reverse arm
    c.LineTo(sx[18], sy[18]);
    c.SetPenColor(kBlack);  // reach rod, level to the driver centre
    c.LineTo(sx[1], sy[18]);
}

Rgb OverlayColour(float value) {
    const ext v = value;
    if (!(v > -0.5L && v < 16777215.5L)) return kBlack;
    const auto bgr = static_cast<std::uint32_t>(Round(v));
    return ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
}

void DrawOverlay(const Model& m, Canvas& c) {
    auto pivot = [](float p) {
        const int i = Round(p);
        return (i >= 0 && i < kPivotCount) ? i : -1;
    };
    for (int k = 1; k <= kOverlayRows; ++k) {
        c.SetPenColor(OverlayColour(m.overlay.LineColor[k - 1]));
        const float type = m.overlay.LineType[k - 1];
        const float mode = m.overlay.LineRef[k - 1];
        const ext x1 = m.overlay.LineH1[k], y1 = m.overlay.LineV1[k], x2 = m.overlay.LineH2[k],
                  y2 = m.overlay.LineV2[k];
        const int a = pivot(m.overlay.LinePivot1[k]);
        const int b = pivot(m.overlay.LinePivot2[k]);
        // A row tied to a pivot outside the table draws nothing.
        const ext ax = a >= 0 ? m.pivots.PivotX[a] : 0, ay = a >= 0 ? m.pivots.PivotY[a] : 0;
        const ext bx = b >= 0 ? m.pivots.PivotX[b] : 0, by = b >= 0 ? m.pivots.PivotY[b] : 0;
        auto line = [&](ext xa, ext ya, ext xb, ext yb) {
            c.MoveTo(ScreenXOf(m, xa), ScreenYOf(m, ya));
            c.LineTo(ScreenXOf(m, xb), ScreenYOf(m, yb));
        };
        auto circle = [&](ext cxm, ext cym, ext r) {
            const ext z = m.view.Zoom, ox = m.view.OffsetX, oy = m.view.OffsetY;
            c.Ellipse(RoundPixel((cxm - r) * z + ox), RoundPixel(-(cym - r) * z + oy + 1),
                      RoundPixel((cxm + r) * z + ox + 1), RoundPixel(-(cym + r) * z + oy));
        };
        if (type == 0 && mode == 0) line(x1, y1, x2, y2);
        else if (type == 0 && mode == 1 && a >= 0) line(ax + x1, ay + y1, ax + x2, ay + y2);
        else if (type == 0 && mode == 2 && a >= 0) line(ax + x1, ay + y1, x2, y2);
        else if (type == 0 && mode == 3 && a >= 0 && b >= 0)
            line(ax + x1, ay + y1, bx + x2, by + y2);
        else if (type == 1 && mode == 0) circle(x1, y1, x2);
        else if (type == 1 && mode == 1 && a >= 0) circle(ax + x1, ay + y1, x2);
    }
}

}  // namespace tarn
