// A model as the program has it after start-up: the built-in design, solved once.
#pragma once

#include "model/model.h"

namespace tarn::test {

inline Model StartedModel() {
    Model m;
    StartUp(m);
    return m;
}

}  // namespace tarn::test
