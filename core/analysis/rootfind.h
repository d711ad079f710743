// Illinois regula falsi: a bracketed root finder that keeps the speed of the secant where plain
// regula falsi would creep from one end.
#pragma once

#include <algorithm>
#include <utility>

namespace tarn {

// Narrows the bracket [a, b] of a crossing, value(a) and value(b) on different sides of it (the
// sides being value > 0 and value <= 0), until stop(a, b) holds or maxSteps points have been
// sampled. at(x) samples the point x; place(s) and value(s) read a sample. Each step samples the
// zero of the chord between the ends, the midpoint where that zero is not strictly inside, and
// halves the value kept for an end that stays put twice in a row. Returns the final bracket.
template <class Sample, class At, class Place, class Value, class Stop>
std::pair<Sample, Sample> IllinoisBracket(Sample a, Sample b, At at, Place place, Value value,
                                          Stop stop, int maxSteps) {
    long double fa = value(a), fb = value(b);
    int kept = 0;  // -1: a stayed put in the last step, +1: b did
    for (int step = 0; step < maxSteps && !stop(a, b); ++step) {
        const long double xa = place(a), xb = place(b);
        long double c = (fa - fb != 0) ? (fa * xb - fb * xa) / (fa - fb) : (xa + xb) / 2;
        if (!(c > std::min(xa, xb) && c < std::max(xa, xb))) c = (xa + xb) / 2;
        Sample s = at(c);
        const long double fc = value(s);
        if ((fc > 0) == (value(b) > 0)) {
            b = std::move(s);
            fb = fc;
            if (kept == -1) fa /= 2;
            kept = -1;
        } else {
            a = std::move(s);
            fa = fc;
            if (kept == +1) fb /= 2;
            kept = +1;
        }
    }
    return {std::move(a), std::move(b)};
}

}  // namespace tarn
