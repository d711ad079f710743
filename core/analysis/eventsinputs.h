// What the valve events of a design depend on, cheap enough to compare on every timer tick: a
// window that shows the events recomputes only when this changes, and never because the view
// was panned or zoomed or the crank turned.
#pragma once

#include "core/model/model.h"

namespace tarn {

// The design (its name goes into the headings) and the mid gear, from which the analysis tells
// forward gears from reverse ones.
struct EventsInputs {
    Design design;
    f32 midGear = 0;
    bool operator==(const EventsInputs&) const = default;
};

inline EventsInputs EventsInputsOf(const Model& m) {
    return {m.design, m.motion.RevArmPositions[0]};
}

}  // namespace tarn
