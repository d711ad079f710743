// The table of key-filter variants and the one routine that applies a row of it.
#include "core/fields/keyfilter.h"

#include <algorithm>
#include <array>
#include <string>

namespace tarn {

namespace {

constexpr std::array<FilterRule, 7> kRules{{
    {FieldVariant::Dimension, "\b\r-.", true, true, EnterAction::CommitToClose, true, false, false},
    {FieldVariant::GearLimit, "\b\r-.", true, true, EnterAction::CommitToClose, false, false,
     false},
    {FieldVariant::Signed, "\b-.", true, true, EnterAction::Discard, false, false, false},
    {FieldVariant::Position, "\b-.", true, true, EnterAction::Discard, false, true, false},
    {FieldVariant::RowThird, "\b-.", true, true, EnterAction::Discard, false, false, true},
    {FieldVariant::Point, "\b-.", false, true, EnterAction::Discard, false, false, false},
    {FieldVariant::Unsigned, "\b.", false, true, EnterAction::Discard, false, false, false},
}};

bool Accepts(const FilterRule& r, char c) {
    return (c >= '0' && c <= '9') || (c != 0 && r.accepted.find(c) != std::string_view::npos);
}

// The text left standing when the selection is replaced.
bool RemainderHolds(std::string_view text, int selStart, int selLength, char c) {
    const int n = static_cast<int>(text.size());
    const int a = std::clamp(selStart, 0, n);
    const int b = std::clamp(selStart + std::max(selLength, 0), a, n);
    for (int i = 0; i < n; ++i)
        if ((i < a || i >= b) && text[static_cast<std::size_t>(i)] == c) return true;
    return false;
}

}  // namespace

const FilterRule& RuleOf(FieldVariant v) {
    for (const auto& r : kRules)
        if (r.variant == v) return r;
    return kRules[0];
}

KeyVerdict FilterKey(FieldVariant v, char key, std::string_view text, int selStart, int selLength,
                     bool blocked) {
    const FilterRule& r = RuleOf(v);
    KeyVerdict out;
    if ((r.blockable && blocked) || !Accepts(r, key)) return out;
    out.marksEdit = r.marksEdit;
    if (key == '\r') {
        // Enter never reaches the text; where the row says so it commits the field.
        out.commitToClose = r.enter == EnterAction::CommitToClose;
        return out;
    }
    if (key == '-' && r.refuseSecondMinus && RemainderHolds(text, selStart, selLength, '-'))
        return out;
    if (key == '.' && r.refuseSecondPoint && RemainderHolds(text, selStart, selLength, '.'))
        return out;
    out.key = key;
    return out;
}

}  // namespace tarn
