// The motion controls' arithmetic: the step-angle bar's table of preset steps and the
// driver-angle bar's click sizes that go with them.
#pragma once

#include "core/model/model.h"

namespace tarn {

struct StepBarEntry {
    int upTo;         // last bar position of the band
    float step;       // StepSetting, degrees
    int smallChange;  // SBDrvAng steps that make one crank step
    int largeChange;
};

// The band of the step-angle bar position (0 .. 14613); positions outside clamp to the ends.
const StepBarEntry& StepBarLookup(int position);

// The bar position of a typed step: Round(log10(step * 100) * 4000).
int StepBarPosition(float step);

}  // namespace tarn
