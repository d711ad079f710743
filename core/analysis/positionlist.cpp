// Typed positions and numbers; numbers go through ParseNumber, never the C library's
// locale-dependent conversions.
#include "core/analysis/positionlist.h"

#include <cmath>

#include "core/model/numfmt.h"

namespace tarn {

bool ParseWholeNumber(std::string_view s, long double& v) {
    if (s.empty()) return false;
    std::size_t i = 0;
    if (s[i] == '+' || s[i] == '-') ++i;
    std::size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t e = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            ++i;
            ++e;
        }
        if (e == 0) return false;
    }
    if (i != s.size()) return false;
    // Too large for any number (1e5000) is as out of range as 1e999: the clamp brings both in.
    v = ParseNumber(s);
    return !std::isnan(v);
}

float PositionOn(const Model& design, const PositionEntry& e) {
    return e.gear ? GearRevArmPos(design, *e.gear) : ClampRevArmPos(design, ToFloat(e.number));
}

bool ParsePositionList(std::string_view list, std::vector<PositionEntry>& out, std::string& bad) {
    out.clear();
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = list.find(',', start);
        std::string_view item =
            list.substr(start, comma == std::string_view::npos ? list.npos : comma - start);
        while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
        while (!item.empty() && item.back() == ' ') item.remove_suffix(1);
        PositionEntry entry;
        for (const GearInfo& g : kGears)
            if (EqualsIgnoringCase(item, g.word)) entry.gear = g.gear;
        if (!entry.gear && !ParseWholeNumber(item, entry.number)) {
            bad = std::string(item);
            return false;
        }
        out.push_back(entry);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return true;
}

std::string GearWords() {
    std::string s;
    for (const GearInfo& g : kGears) {
        if (!s.empty()) s += ", ";
        s += g.word;
    }
    return s;
}

}  // namespace tarn
