#include "core/plots/chartkit.h"

#include <algorithm>
#include <cmath>

#include "core/model/numfmt.h"

namespace tarn::chartkit {

void PatternLine(Canvas& c, double x1, double y1, double x2, double y2, DashPattern pattern,
                 double& phase) {
    const double len = std::hypot(x2 - x1, y2 - y1);
    double period = 0;
    for (const double d : pattern) period += d;
    if (!(period > 0)) {
        c.MoveTo(RoundPixel(x1), RoundPixel(y1));
        c.LineTo(RoundPixel(x2), RoundPixel(y2));
        return;
    }
    double at = 0;
    while (at < len) {
        // Where in the pattern this point falls, and how far its piece still runs.
        double inPattern = std::fmod(phase + at, period), end = 0;
        std::size_t piece = 0;
        for (; piece < pattern.size(); ++piece) {
            end += pattern[piece];
            if (inPattern < end) break;
        }
        if (piece == pattern.size()) {  // rounding at the very end of the pattern
            piece = 0;
            end = pattern[0];
            inPattern = 0;
        }
        const bool on = piece % 2 == 0;
        const double step = std::min(len - at, end - inPattern);
        if (on) {
            const double a = at / len, b = (at + step) / len;
            c.MoveTo(RoundPixel(x1 + (x2 - x1) * a), RoundPixel(y1 + (y2 - y1) * a));
            c.LineTo(RoundPixel(x1 + (x2 - x1) * b), RoundPixel(y1 + (y2 - y1) * b));
        }
        at += step;
    }
    phase = std::fmod(phase + len, period);
}

double NiceStep(double span, int ticks) {
    const double raw = span / ticks;
    const double p = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * p >= raw * (1 - 1e-9)) return m * p;
    return 10 * p;
}

double NextNiceStep(double step) {
    const double p = std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    const double m = step / p;
    return (m < 1.5 ? 2.0 : m < 3.5 ? 5.0 : 10.0) * p;
}

int DecimalsOf(double step) {
    return std::max(0, static_cast<int>(std::ceil(-std::log10(step) - 1e-9)));
}

std::string TickText(double v, double step) {
    return Str(std::fabs(v) < step / 2 ? 0.0L : static_cast<long double>(v), 0, DecimalsOf(step));
}

bool TextPlaces::Free(int x, int y, const std::string& s) {
    const Box b{x, y, x + Width(s), y + height_};
    if (b.left < 1 || b.right > width_ - 1) return false;
    return std::none_of(placed_.begin(), placed_.end(),
                        [&](const Box& o) { return b.Meets(o, kGap); });
}

void TextPlaces::Put(int x, int y, const std::string& s) {
    placed_.push_back({x, y, x + Width(s), y + height_});
    if (draw_) c_.TextOut(x, y, s);
}

}  // namespace tarn::chartkit
