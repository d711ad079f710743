// The pressure model of the indicator diagram: four phases per cylinder end (exhaust,
// compression, admission, expansion), driven by the port openings of the solver, with fixed
// constants. Pressures are in diagram units: 303 at most while admitting, 5 at least while
// exhausting.
#pragma once

#include "core/model/model.h"

namespace tarn {

enum class SteamPhase : char { Exhaust = '1', Compression = '2', Admission = '3', Expansion = '4' };

// One end of the cylinder. The diagram keeps its own copy of the previous steam opening, so the
// main window's cut-off detection is not disturbed by a drawing.
struct SteamEnd {
    bool front = true;
    f32 pressure = 0;
    f32 prevPressure = 0;
    f32 release = 0;  // pressure when the port opened to exhaust
    SteamPhase phase = SteamPhase::Exhaust;
    char label = '1';  // '2' once the curve of the current position carries its number
    f32 prevSteamOpen = 0;
};

// A piston position brought into the stroke 0..640, so that the model's divisors stay
// positive whatever the linkage does (NaN gives 0).
f32 ClampToStroke(f32 p);

// One step of one end, with p the piston position now and q the one at the previous step (both
// in 0..640). Reads the end's openings from the model; admission raises a steam opening below
// 0.005 to 0.005 in the model.
void StepSteamEnd(Model& m, SteamEnd& e, f32 p, f32 q);

}  // namespace tarn
