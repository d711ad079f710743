// Recording canvas: every primitive becomes one CanvasOp.
#include "core/model/recordingcanvas.h"

namespace tarn {

void RecordingCanvas::DrawLine(int x1, int y1, int x2, int y2) {
    CanvasOp op;
    op.kind = CanvasOp::Kind::Line;
    op.c[0] = x1;
    op.c[1] = y1;
    op.c[2] = x2;
    op.c[3] = y2;
    op.colour = PenColor();
    op.penWidth = PenWidth();
    ops_.push_back(std::move(op));
}

void RecordingCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    CanvasOp op;
    op.kind = CanvasOp::Kind::Ellipse;
    op.c[0] = x1;
    op.c[1] = y1;
    op.c[2] = x2;
    op.c[3] = y2;
    op.colour = PenColor();
    op.penWidth = PenWidth();
    ops_.push_back(std::move(op));
}

void RecordingCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    CanvasOp op;
    op.kind = CanvasOp::Kind::Arc;
    const int v[8] = {x1, y1, x2, y2, x3, y3, x4, y4};
    for (int i = 0; i < 8; ++i) op.c[i] = v[i];
    op.colour = PenColor();
    op.penWidth = PenWidth();
    ops_.push_back(std::move(op));
}

void RecordingCanvas::TextOut(int x, int y, std::string_view text) {
    CanvasOp op;
    op.kind = CanvasOp::Kind::Text;
    op.c[0] = x;
    op.c[1] = y;
    op.colour = FontColor();
    op.font = Font();
    op.text = std::string(text);
    ops_.push_back(std::move(op));
}

void RecordingCanvas::SetPixel(int x, int y, Rgb c) {
    CanvasOp op;
    op.kind = CanvasOp::Kind::Pixel;
    op.c[0] = x;
    op.c[1] = y;
    op.colour = c;
    ops_.push_back(std::move(op));
}

void RecordingCanvas::Clear(Rgb c) {
    CanvasOp op;
    op.kind = CanvasOp::Kind::Clear;
    op.colour = c;
    ops_.push_back(std::move(op));
}

std::vector<CanvasOp> RecordingCanvas::OfKind(CanvasOp::Kind k) const {
    std::vector<CanvasOp> out;
    for (const auto& op : ops_)
        if (op.kind == k) out.push_back(op);
    return out;
}

const CanvasOp* RecordingCanvas::FindText(std::string_view text) const {
    for (const auto& op : ops_)
        if (op.kind == CanvasOp::Kind::Text && op.text == text) return &op;
    return nullptr;
}

int RecordingCanvas::CountPixels(Rgb c) const {
    int n = 0;
    for (const auto& op : ops_)
        if (op.kind == CanvasOp::Kind::Pixel && op.colour == c) ++n;
    return n;
}

}  // namespace tarn
