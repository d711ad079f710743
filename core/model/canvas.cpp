// The canvas's own estimate of a text's size, for canvases that draw no text (the recording and
// bounds canvases): the advances of Liberation Sans, which the windows draw with.
#include "core/model/canvas.h"

#include <cmath>

namespace tarn {

namespace {

// Liberation Sans' advances in 1/2048 of the font size, characters 32 to 126.
constexpr int kAdvance[95] = {
    569,  569,  727,  1139, 1139, 1821, 1366, 391,  682,  682,  797,  1196, 569,  682,  569,  569,
    1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 1139, 569,  569,  1196, 1196, 1196, 1139,
    2079, 1366, 1366, 1479, 1479, 1366, 1251, 1593, 1479, 569,  1024, 1366, 1139, 1706, 1479, 1593,
    1366, 1593, 1479, 1366, 1251, 1479, 1366, 1933, 1366, 1366, 1251, 569,  569,  569,  961,  1139,
    682,  1139, 1139, 1024, 1139, 1139, 569,  1139, 1139, 455,  455,  1024, 455,  1706, 1139, 1139,
    1139, 1139, 682,  1024, 569,  1139, 1024, 1479, 1024, 1024, 1024, 684,  532,  684,  1196};

// 8 pt draws 11 px, 14 pt 19 px: points at 96 dpi.
int PixelSize(const FontSpec& f) { return static_cast<int>(std::lround(f.points * 4.0 / 3.0)); }

}  // namespace

int Canvas::TextWidth(std::string_view text) {
    long units = 0;
    for (const char ch : text) {
        const auto u = static_cast<unsigned char>(ch);
        // Anything outside ASCII (a byte of a UTF-8 sequence) counts as a wide letter.
        units += u >= 32 && u < 127 ? kAdvance[u - 32] : 1593;
    }
    const double bold = font_.bold ? 1.1 : 1.0;
    return static_cast<int>(std::ceil(units * bold * PixelSize(font_) / 2048.0));
}

int Canvas::TextHeight() { return PixelSize(font_) + 3; }

}  // namespace tarn
