// The inputs of the events analysis: the solver reads the dimensions, pivots 1, 3 and 4 (their
// heights), 5, 6, 12 and 13, and the analysis the mid gear RevArmPositions[0].
#include "core/analysis/eventsinputs.h"

#include <bit>
#include <initializer_list>

#include "core/model/dimensions.h"

namespace tarn {

EventsInputs EventsInputsOf(const Model& m) {
    EventsInputs in;
    in.bits.reserve(Dimensions().size() + 16);
    for (const DimensionInfo& d : Dimensions())
        in.bits.push_back(std::bit_cast<std::uint32_t>(DimensionRef(m, d)));
    auto add = [&in](f32 v) { in.bits.push_back(std::bit_cast<std::uint32_t>(v)); };
    // The crosshead (3) and the valve stem (4) move across; only their heights are fixed.
    for (const std::size_t p : std::initializer_list<std::size_t>{1, 5, 6, 12, 13}) {
        add(m.pivots.PivotX[p]);
        add(m.pivots.PivotY[p]);
    }
    add(m.pivots.PivotY[3]);
    add(m.pivots.PivotY[4]);
    add(m.motion.RevArmPositions[0]);
    in.designName = m.design.DesignName;
    return in;
}

}  // namespace tarn
