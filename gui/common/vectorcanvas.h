// The drawing interface as vector shapes on a QPainter over an SVG generator, a PDF writer or a
// printer: lines stay lines, ellipses and arcs stay curves, texts stay text. Co-ordinates are the
// picture's pixels; the painter's transform places them on the page.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QSize>

#include "core/model/canvas.h"

namespace tarn {

class VectorCanvas : public Canvas {
public:
    // Draws on an active painter, over a picture of the given size (what Clear fills).
    VectorCanvas(QPainter& painter, QSize size);
    ~VectorCanvas() override;
    VectorCanvas(const VectorCanvas&) = delete;
    VectorCanvas& operator=(const VectorCanvas&) = delete;

    void Ellipse(int x1, int y1, int x2, int y2) override;
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void TextOut(int x, int y, std::string_view text) override;
    void SetPixel(int x, int y, Rgb c) override;
    void Clear(Rgb c) override;
    int TextWidth(std::string_view text) override;
    int TextHeight() override;

    // Draws what is still held back (the destructor does it otherwise); call it before the
    // painter ends.
    void Flush();

protected:
    void DrawLine(int x1, int y1, int x2, int y2) override;

private:
    void UsePen();

    QPainter& painter_;
    QSize size_;
    // Joined line segments of one pen make one polyline; single pixels of one colour one path.
    QPolygonF polyline_;
    Rgb polylineColour_ = kBlack;
    int polylineWidth_ = 1;
    QPainterPath pixels_;
    Rgb pixelColour_ = kBlack;
};

}  // namespace tarn
