// The one drawing interface of the program's pictures: pen and font state plus the primitives
// move-to, line-to (end point excluded), ellipse and arc by bounding box, text at a top-left
// point and single pixels. A QPainter canvas draws on screen; a recording canvas lets tests
// check every call. Colours are 0xRRGGBB.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarn {

using Rgb = std::uint32_t;

inline constexpr Rgb kBlack = 0x000000, kWhite = 0xFFFFFF, kRed = 0xFF0000, kLime = 0x00FF00,
                     kGreen = 0x008000, kBlue = 0x0000FF, kAqua = 0x00FFFF, kFuchsia = 0xFF00FF,
                     kGrey = 0x808080, kTeal = 0x008080, kMaroon = 0x800000, kYellow = 0xFFFF00;

enum class FontFamily { Sans, Serif };

struct FontSpec {
    FontFamily family = FontFamily::Sans;
    int points = 8;  // 8 pt draws 11 px, 14 pt draws 19 px (96 dpi, fixed)
    bool bold = false;
    bool underline = false;
    bool operator==(const FontSpec&) const = default;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    // ---- state ----
    void SetPenColor(Rgb c) { pen_ = c; }
    Rgb PenColor() const { return pen_; }
    void SetPenWidth(int w) { penWidth_ = w; }
    int PenWidth() const { return penWidth_; }
    void SetFontColor(Rgb c) { fontColor_ = c; }
    Rgb FontColor() const { return fontColor_; }
    void SetFont(const FontSpec& f) { font_ = f; }
    const FontSpec& Font() const { return font_; }
    void SetFontSize(int points) { font_.points = points; }
    void SetFontBold(bool b) { font_.bold = b; }
    // Text drawn on an opaque background of this colour, or transparent (the default).
    void SetTextBackground(bool opaque, Rgb c = kWhite) {
        textOpaque_ = opaque;
        textBack_ = c;
    }
    bool TextOpaque() const { return textOpaque_; }
    Rgb TextBackground() const { return textBack_; }
    int PenX() const { return x_; }
    int PenY() const { return y_; }
    // Back to the state a new canvas starts in, so that several drawings on one canvas each
    // begin as they would on a fresh one.
    void ResetState() {
        pen_ = kBlack;
        penWidth_ = 1;
        fontColor_ = kBlack;
        font_ = FontSpec{};
        textOpaque_ = false;
        textBack_ = kWhite;
        x_ = y_ = 0;
    }

    // ---- primitives ----
    void MoveTo(int x, int y) {
        x_ = x;
        y_ = y;
    }
    // A line from the pen position to (x, y), the end point excluded; the pen moves there.
    void LineTo(int x, int y) {
        DrawLine(x_, y_, x, y);
        x_ = x;
        y_ = y;
    }
    // The outline of the ellipse in the box (x1, y1)-(x2, y2); corners in any order, right and
    // bottom edge excluded.
    virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
    // The part of the ellipse in the box (x1, y1)-(x2, y2) drawn counter-clockwise on screen from
    // the ray through (x3, y3) to the ray through (x4, y4), rays from the box centre.
    virtual void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) = 0;
    // Text with its top-left corner at (x, y) in the current font and font colour.
    virtual void TextOut(int x, int y, std::string_view text) = 0;
    virtual void SetPixel(int x, int y, Rgb c) = 0;
    // Fill the whole surface with one colour.
    virtual void Clear(Rgb c) = 0;

    // The advance of a text and the height of a line in the current font, in pixels, so that a
    // drawing can keep its texts apart. A canvas that draws text measures it with its font; this
    // estimate from Liberation Sans, the font the windows draw with, serves the others.
    virtual int TextWidth(std::string_view text);
    virtual int TextHeight();

protected:
    virtual void DrawLine(int x1, int y1, int x2, int y2) = 0;

private:
    Rgb pen_ = kBlack;
    int penWidth_ = 1;
    Rgb fontColor_ = kBlack;
    FontSpec font_;
    bool textOpaque_ = false;
    Rgb textBack_ = kWhite;
    int x_ = 0, y_ = 0;
};

}  // namespace tarn
