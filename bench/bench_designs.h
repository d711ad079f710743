// Designs the benchmarks measure with.
#pragma once

#include "core/model/model.h"

namespace tarn::bench {

// The built-in design with nine reverse-arm positions around mid gear, the dynamic-variable
// block and the undo line on: the heaviest diagram redraw a user can ask for.
inline Model NinePositions() {
    Model m;
    StartUp(m);
    const float c = m.motion.RevArmPositions[0];
    const float offsets[9] = {0, 1.6f, -1.6f, 0.4f, -0.4f, 0.8f, -0.8f, 1.2f, -1.2f};
    for (int n = 1; n <= 9; ++n) m.motion.RevArmPositions[n] = c + offsets[n - 1];
    m.diagrams.RevArmCount = 9;
    m.display.DynVarOn = true;
    m.display.UndoOn = true;
    return m;
}

}  // namespace tarn::bench
