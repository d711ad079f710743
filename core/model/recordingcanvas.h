// A canvas that draws nothing and remembers every call with the state it was made in, so that
// tests can assert exact points, boxes, colours and texts.
#pragma once

#include <string>
#include <vector>

#include "core/model/canvas.h"

namespace tarn {

struct CanvasOp {
    enum class Kind { Line, Ellipse, Arc, Text, Pixel, Clear };
    Kind kind = Kind::Line;
    int c[8]{};      // Line: x1 y1 x2 y2; Ellipse: box; Arc: box and two ray points;
                     // Text and Pixel: x y
    Rgb colour = 0;  // pen colour (Line, Ellipse, Arc), font colour (Text), pixel colour
    int penWidth = 1;
    FontSpec font;     // Text only
    std::string text;  // Text only
};

class RecordingCanvas : public Canvas {
public:
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void TextOut(int x, int y, std::string_view text) override;
    void SetPixel(int x, int y, Rgb c) override;
    void Clear(Rgb c) override;

    const std::vector<CanvasOp>& Ops() const { return ops_; }
    void Reset() { ops_.clear(); }
    // Convenience queries for tests.
    std::vector<CanvasOp> OfKind(CanvasOp::Kind k) const;
    const CanvasOp* FindText(std::string_view text) const;  // first text op equal to text
    int CountPixels(Rgb c) const;

protected:
    void DrawLine(int x1, int y1, int x2, int y2) override;

private:
    std::vector<CanvasOp> ops_;
};

}  // namespace tarn
