// What the valve events of a design depend on, taken cheaply enough to compare on every timer
// tick: a window that shows the events recomputes only when this changes, and never because the
// view was panned or zoomed or the crank turned.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/model/model.h"

namespace tarn {

// Every dimension, the pivots the solver takes as fixed (the driver, the cylinder and valve
// heights, the link and anchor-link pivots with their working copies) and the mid gear, as the
// bits of their floats: a NaN equals itself and -0 differs from 0, as they would in the
// results. The design's name goes with them, for the headings that name it.
struct EventsInputs {
    std::vector<std::uint32_t> bits;
    std::string designName;
    bool operator==(const EventsInputs&) const = default;
};

EventsInputs EventsInputsOf(const Model& m);

}  // namespace tarn
