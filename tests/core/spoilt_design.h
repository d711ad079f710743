// A design balanced in both normal gears and then spoilt a little: what the optimiser's tests,
// in the core and through its window, bring back into balance.
#pragma once

#include "core/model/dimensions.h"
#include "core/model/model.h"

namespace tarn::test {

// The built-in design is 30 % apart at normal forward; with less lap (ValveCtrToRing), the link
// pivot lower and the valve stem (ValveCtrToJoint) equalised at normal forward it is balanced in
// both normal gears with ample lead. A radius rod 0.4 % longer then spoils it.
inline void Spoil(Model& m) {
    constexpr int kRadiusRod = 5, kLinkPivotVert = 7, kValveCtrToRing = 114, kValveCtrToJoint = 117;
    SetDimension(m, kValveCtrToRing, 1.15f);
    SetDimension(m, kLinkPivotVert, 3.18f);
    SetDimension(m, kValveCtrToJoint, 4.77706194f);  // front - rear cut-off 0.00002 %
    SetDimension(m, kRadiusRod, 5.02f);
    CentreRevArm(m);
}

}  // namespace tarn::test
