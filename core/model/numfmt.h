// Numbers as the program shows and reads them: round half to even, fixed-point formatting with
// a width, and the decimal conversion of every numeric field; and names typed in any case. None
// of it depends on the locale.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace tarn {

// Nearest integer, halves to the even neighbour; saturates at the 32-bit range; NaN gives 0.
std::int32_t Round(long double v);

// Pixel co-ordinates are held within +-kPixelLimit: far outside any window or bitmap, and far
// enough inside the 32-bit range that a drawing can still add offsets and take differences of
// co-ordinates in int.
inline constexpr std::int32_t kPixelLimit = 1 << 24;
// Round for a pixel co-ordinate: clamped to +-kPixelLimit; NaN gives 0.
std::int32_t RoundPixel(long double v);

// v right-aligned in at least w characters with d decimals and "." as the decimal point.
// Ties of the exact binary value round away from zero; infinities and NaN print as "Inf",
// "-Inf" and "NaN", right-aligned in w.
std::string Str(long double v, int w, int d);
// An integer right-aligned in at least w characters.
std::string Str(long long n, int w);

// Str(v, w, d) cut to at most 10 characters: decimals go first, then the point, never a digit
// before the point.
std::string FieldText(long double v, int w = 5, int d = 3);

// The usual field display: FieldText(v, 5, 3).
inline std::string DimensionText(float v) { return FieldText(v, 5, 3); }

// The decimal conversion of a field's text: the longest prefix that is a number (leading blanks,
// an optional sign, digits with an optional point and decimals, an optional exponent) is
// converted; what follows is ignored. "" and texts without a number give 0.
long double ParseNumber(std::string_view text);

// A real stored into a 32-bit float: beyond the float range it becomes the largest float of its
// sign, never an infinity. NaN stays NaN. Inline: the solver stores some fifty values a solve.
inline float ToFloat(long double v) {
    if (std::isnan(v)) return std::numeric_limits<float>::quiet_NaN();
    if (v > static_cast<long double>(FLT_MAX)) return FLT_MAX;
    if (v < -static_cast<long double>(FLT_MAX)) return -FLT_MAX;
    return static_cast<float>(v);
}

// ParseNumber then ToFloat: what a field stores.
inline float ParseField(std::string_view text) { return ToFloat(ParseNumber(text)); }

// True when a and b differ at most in the case of ASCII letters ("fwd" is "Fwd").
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace tarn
