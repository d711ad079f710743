// Locale-independent number formatting and field conversion. Str works on the exact decimal
// expansion of the binary value, so a tie such as 0.0625 to three decimals is a real tie and
// rounds away from zero.
#include "core/model/numfmt.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace tarn {

std::int32_t Round(long double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0L) return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0L) return std::numeric_limits<std::int32_t>::min();
    const long double f = std::floor(v);
    const long double frac = v - f;
    long long r = static_cast<long long>(f);
    if (frac > 0.5L || (frac == 0.5L && (r % 2) != 0)) ++r;
    return static_cast<std::int32_t>(r);
}

std::int32_t RoundPixel(long double v) {
    if (v > kPixelLimit) return kPixelLimit;
    if (v < -kPixelLimit) return -kPixelLimit;
    return Round(v);
}

namespace {

std::string PadLeft(std::string s, int w) {
    if (w > 0 && static_cast<int>(s.size()) < w)
        s.insert(0, static_cast<std::size_t>(w) - s.size(), ' ');
    return s;
}

// The exact fixed-point digits of |v| with d decimals, rounded half away from zero.
std::string FixedDigits(long double a, int d) {
    // Enough decimals to hold the whole binary expansion around the rounding digit.
    const int precision = d + 4 * (d + 1) + 80;
    static thread_local std::array<char, 6000> buf;
    auto res =
        std::to_chars(buf.data(), buf.data() + buf.size(), a, std::chars_format::fixed, precision);
    std::string s;
    if (res.ec != std::errc()) {
        // Cannot happen for finite values with this buffer; fall back to a shorter form.
        res = std::to_chars(buf.data(), buf.data() + buf.size(), a, std::chars_format::fixed, d);
        return std::string(buf.data(), res.ptr);
    }
    s.assign(buf.data(), res.ptr);
    const std::size_t point = s.find('.');
    std::string intPart = s.substr(0, point);
    std::string frac = (point == std::string::npos) ? std::string() : s.substr(point + 1);
    if (static_cast<int>(frac.size()) < d + 1)
        frac.append(static_cast<std::size_t>(d + 1) - frac.size(), '0');
    const bool roundUp = frac[static_cast<std::size_t>(d)] >= '5';
    std::string digits = intPart + frac.substr(0, static_cast<std::size_t>(d));
    if (roundUp) {
        int i = static_cast<int>(digits.size()) - 1;
        for (; i >= 0; --i) {
            if (digits[static_cast<std::size_t>(i)] == '9') {
                digits[static_cast<std::size_t>(i)] = '0';
            } else {
                ++digits[static_cast<std::size_t>(i)];
                break;
            }
        }
        if (i < 0) digits.insert(0, 1, '1');
    }
    const std::size_t intLen = digits.size() - static_cast<std::size_t>(d);
    std::string out = digits.substr(0, intLen);
    if (d > 0) out += '.' + digits.substr(intLen);
    return out;
}

}  // namespace

std::string Str(long double v, int w, int d) {
    if (std::isnan(v)) return PadLeft("NaN", w);
    if (std::isinf(v)) return PadLeft(v < 0 ? "-Inf" : "Inf", w);
    if (d < 0) d = 0;
    if (d > 60) d = 60;
    std::string digits = FixedDigits(std::fabs(v), d);
    bool allZero = true;
    for (char ch : digits)
        if (ch != '0' && ch != '.') allZero = false;
    if (std::signbit(v) && !allZero) digits.insert(0, 1, '-');
    return PadLeft(std::move(digits), w);
}

std::string Str(long long n, int w) {
    std::array<char, 32> buf;
    auto res = std::to_chars(buf.data(), buf.data() + buf.size(), n);
    return PadLeft(std::string(buf.data(), res.ptr), w);
}

std::string FieldText(long double v, int w, int d) {
    std::string s = Str(v, w, d);
    if (s.size() <= 10) return s;
    const std::size_t point = s.find('.');
    if (point == std::string::npos) return s;    // never cut a digit before the point
    if (point + 1 < 10) return s.substr(0, 10);  // keeps at least one decimal
    return s.substr(0, point);                   // no room for a decimal: drop the point too
}

long double ParseNumber(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    const std::size_t start = i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t digitsStart = i;
    std::size_t intDigits = 0, fracDigits = 0;
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) {
        ++i;
        ++intDigits;
    }
    std::size_t end = i;
    if (i < n && text[i] == '.') {
        std::size_t j = i + 1;
        while (j < n && std::isdigit(static_cast<unsigned char>(text[j]))) {
            ++j;
            ++fracDigits;
        }
        if (intDigits > 0 || fracDigits > 0) {
            i = j;
            end = j;
        }
    }
    if (intDigits == 0 && fracDigits == 0) return 0.0L;
    // An exponent counts only when it has digits.
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
        std::size_t expDigits = 0;
        while (j < n && std::isdigit(static_cast<unsigned char>(text[j]))) {
            ++j;
            ++expDigits;
        }
        if (expDigits > 0) end = j;
    }
    (void)start;
    std::string_view number = text.substr(digitsStart, end - digitsStart);
    long double value = 0;
    auto res = std::from_chars(number.data(), number.data() + number.size(), value,
                               std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // Decide between overflow and underflow from the decimal exponent.
        long long exponent = 0;
        std::size_t k = 0;
        std::size_t leadingZeros = 0;
        while (k < number.size() && number[k] == '0') {
            ++k;
            ++leadingZeros;
        }
        long long magnitude =
            static_cast<long long>(intDigits) - static_cast<long long>(leadingZeros);
        if (magnitude <= 0) {
            // 0.000ddd: count the zeros after the point.
            std::size_t p = number.find('.');
            if (p != std::string_view::npos) {
                std::size_t q = p + 1;
                long long zeros = 0;
                while (q < number.size() && number[q] == '0') {
                    ++q;
                    ++zeros;
                }
                magnitude = -zeros;
            }
        }
        std::size_t e = number.find_first_of("eE");
        if (e != std::string_view::npos) {
            long long ev = 0;
            bool eneg = false;
            std::size_t q = e + 1;
            if (q < number.size() && (number[q] == '+' || number[q] == '-')) {
                eneg = number[q] == '-';
                ++q;
            }
            for (; q < number.size(); ++q) {
                if (ev < 100000000) ev = ev * 10 + (number[q] - '0');
            }
            exponent = eneg ? -ev : ev;
        }
        value = (magnitude + exponent > 0) ? std::numeric_limits<long double>::infinity() : 0.0L;
    }
    return negative ? -value : value;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace tarn
