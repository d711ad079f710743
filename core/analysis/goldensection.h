// Golden-section search for the smallest cost on an interval, shared by the searches for the
// valve stem's turning points and for the best cut-off match.
#pragma once

namespace tarn {

// Narrows [lo, hi] until stop(lo, hi) holds and returns the better of the two last inner
// points. at(x) evaluates a point, cost(p) ranks it (ties keep the lower side) and visit(p)
// sees both inner points before every narrowing and once more at the end.
template <class At, class Cost, class Visit, class Stop>
auto GoldenSectionMin(long double lo, long double hi, At at, Cost cost, Visit visit, Stop stop) {
    constexpr long double g = 0.6180339887498948482L;
    long double c = hi - g * (hi - lo), d = lo + g * (hi - lo);
    auto pc = at(c), pd = at(d);
    while (!stop(lo, hi)) {
        visit(pc);
        visit(pd);
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
    visit(pc);
    visit(pd);
    return cost(pc) <= cost(pd) ? pc : pd;
}

}  // namespace tarn
