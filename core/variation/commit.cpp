// The commit of the dimension fields, the gear limits of the reverse arm and the dimension
// resets: the model side of the frame and cylinder dialogs.
#include "core/variation/commit.h"

#include <string>

#include "core/model/dimensions.h"
#include "core/model/numfmt.h"
#include "core/variation/dynvars.h"
#include "core/variation/undo.h"

namespace tarn {

namespace {

constexpr std::size_t kCaptionLimit = 25;

// A gear limit is an offset: a negative (or unreadable) value means no offset.
f32 NonNegative(f32 v) { return v >= 0 ? v : 0.0f; }

}  // namespace

void CommitDimensionField(Model& m, int id, std::string_view text) {
    const DimensionInfo* info = FindDimension(id);
    if (!info || !IsVariableDimension(id)) return;
    const std::string caption(info->caption.substr(0, kCaptionLimit));
    const bool edited = m.undo.EditChanged;
    // 1. The old value goes into a new undo entry first.
    if (edited) {
        PushUndo(m);
        m.undo.UndoId[1] = id;
        m.undo.UndoOld[1] = GetDimension(m, id);
    }
    // 2 and 4. Store.
    const f32 v = ParseField(text);
    SetDimension(m, id, v);
    // 3. The most recent dynamic variable.
    m.dyn.DynVarName[0] = caption;
    m.dyn.DynVarId[0] = id;
    m.dyn.DynVarValue[0] = v;
    PushDynVar(m);
    // 5. The undo entry completed.
    if (edited) {
        m.undo.UndoNew[1] = GetDimension(m, id);
        m.undo.UndoName[1] = caption;
    }
    // 6.
    m.undo.EditChanged = false;
}

bool CommitDimensionGroup(Model& m, std::string_view name,
                          std::span<const DimensionChange> changes) {
    int changed = 0;
    for (const DimensionChange& c : changes) {
        if (!IsVariableDimension(c.id)) return false;
        if (GetDimension(m, c.id) != c.value) ++changed;
    }
    if (changed > kUndoDepth) return false;
    if (changed == 0) return true;
    // Where the arm stands now: the recomputed mid gear below moves it, and UnDo puts it back.
    RevArmPlace arm{true, {}, m.pivots.PivotX[18], m.motion.RevArmPos};
    for (std::size_t k = 0; k < arm.positions.size(); ++k)
        arm.positions[k] = m.motion.RevArmPositions[k];
    const i32 group = NewUndoGroup(m.undo);
    int pushed = 0;
    for (const DimensionChange& c : changes) {
        const f32 old = GetDimension(m, c.id);
        if (old == c.value) continue;
        ++pushed;
        m.undo.EditChanged = true;
        PushUndo(m);
        m.undo.UndoId[1] = c.id;
        m.undo.UndoOld[1] = old;
        SetDimension(m, c.id, c.value);
        m.dyn.DynVarName[0] = std::string(FindDimension(c.id)->caption.substr(0, kCaptionLimit));
        m.dyn.DynVarId[0] = c.id;
        m.dyn.DynVarValue[0] = c.value;
        PushDynVar(m);
        m.undo.UndoNew[1] = GetDimension(m, c.id);
        m.undo.UndoName[1] = std::string(name.substr(0, kCaptionLimit));
        m.undo.UndoGroup[1] = group;
    }
    m.undo.EditChanged = false;
    m.undo.UndoArm[pushed] = arm;  // the group's oldest entry
    CentreRevArm(m);
    return true;
}

void ClampListedRevArmPositions(Model& m) {
    const ext c = m.motion.RevArmPositions[0];
    const f32 lo = ToFloat(c - m.design.RevArmToCentNorm);
    const f32 hi = ToFloat(c + m.design.RevArmToCentNorm);
    for (int i = 1; i <= 9; ++i) {
        f32& p = m.motion.RevArmPositions[i];
        if (p == 0) continue;  // an unused position stays unused
        if (p < lo) p = lo;
        if (p > hi) p = hi;
    }
}

void CommitGearLimitNorm(Model& m, std::string_view text) {
    m.design.RevArmToCentNorm = NonNegative(ParseField(text));
    if (m.design.RevArmToCentNorm > m.design.RevArmToCentMax) {
        m.design.RevArmToCentNorm = m.design.RevArmToCentMax;
        ClampListedRevArmPositions(m);
    }
}

void CommitGearLimitMax(Model& m, std::string_view text) {
    m.design.RevArmToCentMax = NonNegative(ParseField(text));
    if (m.design.RevArmToCentMax < m.design.RevArmToCentNorm) {
        m.design.RevArmToCentMax = m.design.RevArmToCentNorm;
        ClampListedRevArmPositions(m);
    }
}

void ResetFrameDimensions(Model& m) {
    ApplyFrameDefaults(m);
    RefreshDynVarsAfterReset(m);
}

void ResetCylDimensions(Model& m) {
    ApplyCylDefaults(m);
    RefreshDynVarsAfterReset(m);
}

}  // namespace tarn
