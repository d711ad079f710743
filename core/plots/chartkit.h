// What the charts share: lines drawn in a dash pattern, round tick steps and their numbers, and
// texts placed only where they meet no other.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "core/model/canvas.h"

namespace tarn::chartkit {

// On and off lengths in pixels, starting with a dash; empty draws a whole line.
using DashPattern = std::span<const double>;
inline constexpr double kDashed[] = {6, 4};

// A line drawn in the pattern; `phase` carries the pattern from one segment to the next.
void PatternLine(Canvas& c, double x1, double y1, double x2, double y2, DashPattern pattern,
                 double& phase);
inline void DashedLine(Canvas& c, double x1, double y1, double x2, double y2, double& phase) {
    PatternLine(c, x1, y1, x2, y2, kDashed, phase);
}

// The steps of 1, 2 or 5 times a power of ten, from the one giving about `ticks` intervals over
// span upward.
double NiceStep(double span, int ticks);
double NextNiceStep(double step);
// Enough decimals to tell the ticks of a step apart.
int DecimalsOf(double step);
std::string TickText(double v, double step);

struct Box {
    int left, top, right, bottom;  // right and bottom excluded
    bool Meets(const Box& o, int gap) const {
        return left < o.right + gap && o.left < right + gap && top < o.bottom && o.top < bottom;
    }
};

// The texts of a picture, each placed only where it meets none placed before.
class TextPlaces {
public:
    // A trial (draw false) only finds out what would fit.
    TextPlaces(Canvas& c, int width, bool draw = true)
        : c_(c), width_(width), height_(c.TextHeight()), draw_(draw) {}
    int Height() const { return height_; }
    int Width(const std::string& s) { return c_.TextWidth(s); }
    // Whether s would fit with its top left at (x, y), within the picture and clear of the
    // others.
    bool Free(int x, int y, const std::string& s);
    void Put(int x, int y, const std::string& s);
    bool PutIfFree(int x, int y, const std::string& s) {
        if (!Free(x, y, s)) return false;
        Put(x, y, s);
        return true;
    }

private:
    static constexpr int kGap = 4;
    Canvas& c_;
    int width_, height_;
    bool draw_;
    std::vector<Box> placed_;
};

}  // namespace tarn::chartkit
