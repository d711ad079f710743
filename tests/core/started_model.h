// A model as the program has it after start-up: the built-in design at mid gear, not yet solved.
#pragma once

#include "core/model/model.h"

namespace tarn::test {

inline Model StartedModel() {
    Model m;
    StartUp(m);
    return m;
}

// The same with the reference points switched on, as the measuring tools need them.
inline Model StartedWithRefPoints() {
    Model m = StartedModel();
    m.display.RefPointsOn = true;
    return m;
}

}  // namespace tarn::test
