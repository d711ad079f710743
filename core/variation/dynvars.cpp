// The dynamic-variable slots, the jog-bar increment rules and the bar interactions' undo entries.
#include "core/variation/dynvars.h"

#include <cstdlib>

#include "core/model/dimensions.h"
#include "core/model/numfmt.h"
#include "core/variation/undo.h"

namespace tarn {

namespace {

void CopySlot(Model& m, int to, int from) {
    m.dyn.DynVarId[to] = m.dyn.DynVarId[from];
    m.dyn.DynVarValue[to] = m.dyn.DynVarValue[from];
    m.dyn.DynVarName[to] = m.dyn.DynVarName[from];
}

bool ValidBar(int k) { return k >= 1 && k <= 4; }

}  // namespace

void PushDynVar(Model& m) {
    const i32 a = m.dyn.DynVarId[0];
    for (int k = 1; k <= 4; ++k) {
        if (m.dyn.DynVarId[k] == a) {
            // Already on bar k: the bar keeps its dimension and only takes the new value.
            m.dyn.DynVarValue[k] = m.dyn.DynVarValue[0];
            m.dyn.DynVarName[k] = m.dyn.DynVarName[0];
            return;
        }
    }
    for (int k = 4; k >= 2; --k) CopySlot(m, k, k - 1);
    CopySlot(m, 1, 0);
}

void ClearDynVars(Model& m) { ClearDynVarSlots(m.dyn); }

void StepDynVar(Model& m) {
    const int s = m.dyn.DynVarSlot;
    m.dyn.DynVarValue[s] = ToFloat(static_cast<ext>(m.dyn.DynVarValue[s]) + m.dyn.Increment);
    // The cut-off read-outs belong to the old dimension; they wait for the next closing.
    m.readouts.FrontCutoffText.clear();
    m.readouts.RearCutoffText.clear();
}

void ApplyDynVar(Model& m) {
    const int s = m.dyn.DynVarSlot;
    if (s < 0 || s > 4) return;
    const i32 id = m.dyn.DynVarId[s];
    if (!IsVariableDimension(id)) return;
    // Always from the dimension's current value, so a change by another route is continued.
    m.dyn.DynVarValue[s] = GetDimension(m, id);
    StepDynVar(m);
    SetDimension(m, id, m.dyn.DynVarValue[s]);
}

void RefreshDynVarsAfterReset(Model& m) {
    ClearDynVars(m);
    m.dyn.Increment = 0;
    for (int k = 1; k <= 4; ++k) {
        m.dyn.DynVarSlot = k;
        ApplyDynVar(m);
    }
}

void DynVarBarChange(Model& m, int k, int pos) {
    if (!ValidBar(k)) return;
    const i32 last = m.dyn.DynVarLastPos[k];
    const i32 prev = m.dyn.DynVarPrevPos[k];
    const f32 up = ToFloat(static_cast<ext>(pos) / 1000);     // pos / 1000
    const f32 down = ToFloat(static_cast<ext>(-pos) / 1000);  // -pos / 1000
    // Later rules override earlier ones: a drag steps by |pos|/1000 in the direction of motion,
    // an arrow click (a step of 1) by 0.001, a page click (a step of 10) by 0.01.
    f32 inc = 0;
    if (pos > 0 && pos > prev) inc = up;
    if (pos < 0 && pos > prev) inc = down;
    if (pos < 0 && pos < prev) inc = up;
    if (pos > 0 && pos < prev) inc = down;
    const long step = std::labs(static_cast<long>(pos) - last);
    if (step == 1) inc = up;
    if (step == 10) inc = up;
    m.dyn.Increment = inc;
    m.dyn.DynVarSlot = k;
    ApplyDynVar(m);
    m.dyn.DynVarPrevPos[k] = last;
    m.dyn.DynVarLastPos[k] = pos;
}

void DynVarBarInteractionStart(Model& m, int k) {
    if (!ValidBar(k)) return;
    // The model's value, not the slot's: the slot may still hold a value from before an undo
    // or a file load.
    m.dyn.DynVarEnterValue = GetDimension(m, m.dyn.DynVarId[k]);
}

bool DynVarBarInteractionEnd(Model& m, int k) {
    if (!ValidBar(k)) return false;
    const i32 id = m.dyn.DynVarId[k];
    if (!IsVariableDimension(id)) return false;
    const f32 now = GetDimension(m, id);
    if (now == m.dyn.DynVarEnterValue) return false;
    m.undo.EditChanged = true;
    PushUndo(m);
    m.undo.UndoId[1] = id;
    m.undo.UndoOld[1] = m.dyn.DynVarEnterValue;
    m.undo.UndoNew[1] = now;
    m.undo.UndoName[1] = m.dyn.DynVarName[k];
    m.undo.EditChanged = false;
    return true;
}

}  // namespace tarn
