// The cut-off equaliser: the value of one dimension that makes the front and rear cut-off equal
// at one reverse-arm setting, or the one that brings them closest, found on copies of the design.
#pragma once

#include <optional>
#include <string>

#include "core/analysis/valveevents.h"
#include "core/model/model.h"

namespace tarn {

struct SearchRange {
    float lo = 0;
    float hi = 0;
};

// The current value +- 10 % of its size; a dimension that is 0 gets +- 0.1.
SearchRange DefaultSearchRange(const Model& design, int dimensionId);

enum class EqualiseStatus {
    Equal,              // a value in the range makes the two cut-offs equal (within kEqualCutoff)
    Closest,            // none does; `value` brings them closest
    AllGeometryErrors,  // every value tried in the range breaks the linkage
    NoCutoff,           // the linkage closes, but no value gives both ends a cut-off
    NotVariable,        // the id is not one of the variable dimensions
};

// Two cut-offs this close (percent of travel) count as equal.
inline constexpr double kEqualCutoff = 0.01;

struct EqualiseResult {
    EqualiseStatus status = EqualiseStatus::NotVariable;
    int dimensionId = 0;
    float revArmPos = 0;
    SearchRange range;
    float oldValue = 0;
    float value = 0;  // the proposal; the old value when there is none
    ValveEventsResult before, after;
    std::optional<double> differenceBefore, differenceAfter;  // front - rear cut-off, %
    int analyses = 0;                                         // designs analysed on the way
    bool proposes() const {
        return status == EqualiseStatus::Equal || status == EqualiseStatus::Closest;
    }
};

// Searches [range.lo, range.hi] (default: DefaultSearchRange) for the value of dimension id that
// makes the front minus rear cut-off zero at revArmPos, by bracketing on a coarse scan and a
// bracketed root finder; where there is no sign change, the smallest difference is refined.
// Values that raise a geometry error are never proposed. Of several equalising values the one
// nearest the current value wins. The design is not changed.
EqualiseResult EqualiseCutoff(const Model& design, int dimensionId, float revArmPos,
                              std::optional<SearchRange> range = std::nullopt);

// One line for the user: what was found.
std::string DescribeEqualise(const EqualiseResult& r);

}  // namespace tarn
