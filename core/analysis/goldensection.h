// Golden-section search for the smallest cost on an interval: the valve stem's turning points.
#pragma once

namespace tarn {

// Narrows [lo, hi] until stop(lo, hi) holds and returns the better of the two last inner
// points. at(x) evaluates a point and cost(p) ranks it (ties keep the lower side).
template <class At, class Cost, class Stop>
auto GoldenSectionMin(long double lo, long double hi, At at, Cost cost, Stop stop) {
    constexpr long double g = 0.6180339887498948482L;
    long double c = hi - g * (hi - lo), d = lo + g * (hi - lo);
    auto pc = at(c), pd = at(d);
    while (!stop(lo, hi)) {
        if (cost(pc) <= cost(pd)) {
            hi = d;
            d = c;
            pd = pc;
            c = hi - g * (hi - lo);
            pc = at(c);
        } else {
            lo = c;
            c = d;
            pc = pd;
            d = lo + g * (hi - lo);
            pd = at(d);
        }
    }
    return cost(pc) <= cost(pd) ? pc : pd;
}

}  // namespace tarn
