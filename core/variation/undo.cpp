// The bounded undo history: push, pop with the refresh of the dynamic-variable slots, the UnDo
// buttons' state and the undo line shown by every window.
#include "core/variation/undo.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/model/dimensions.h"
#include "core/model/numfmt.h"
#include "core/variation/dynvars.h"

namespace tarn {

namespace {

void CopyEntry(Model& m, int to, int from) {
    m.undo.UndoId[to] = m.undo.UndoId[from];
    m.undo.UndoOld[to] = m.undo.UndoOld[from];
    m.undo.UndoNew[to] = m.undo.UndoNew[from];
    m.undo.UndoName[to] = m.undo.UndoName[from];
    m.undo.UndoGroup[to] = m.undo.UndoGroup[from];
    m.undo.UndoArm[to] = m.undo.UndoArm[from];
}

void ClearEntry(Model& m, int k) {
    m.undo.UndoId[k] = 0;
    m.undo.UndoOld[k] = 0;
    m.undo.UndoNew[k] = 0;
    m.undo.UndoName[k].clear();
    m.undo.UndoGroup[k] = 0;
    m.undo.UndoArm[k] = {};
}

// Str(v, 6, 3) kept within limit characters: decimals go first, then the point, never a digit
// before the point.
std::string ValueText(f32 v, std::size_t limit) {
    std::string s = Str(static_cast<ext>(v), 6, 3);
    const auto point = s.find('.');
    while (s.size() > limit && point != std::string::npos && s.size() > point) s.pop_back();
    return s;
}

}  // namespace

void PushUndo(Model& m) {
    if (!m.undo.EditChanged) return;
    const i32 lost = m.undo.UndoGroup[kUndoDepth];  // the oldest entry falls off
    for (int i = 0; i <= kUndoDepth - 1; ++i) CopyEntry(m, kUndoDepth - i, kUndoDepth - 1 - i);
    m.undo.UndoGroup[1] = 0;  // an entry of its own unless the caller groups it
    m.undo.UndoArm[1] = {};
    m.undo.UndoCount = std::min<i32>(m.undo.UndoCount + 1, kUndoDepth);
    // A group is taken back whole or not at all: the rest of a group that lost its oldest entry
    // goes with it.
    for (int k = kUndoDepth; lost != 0 && k >= 2 && m.undo.UndoGroup[k] == lost; --k) {
        ClearEntry(m, k);
        m.undo.UndoCount = std::max<i32>(m.undo.UndoCount - 1, 0);
    }
}

i32 NewUndoGroup(const UndoStack& u) {
    const i32 newest = u.UndoGroup[1];
    return newest > 0 && newest < 1000000 ? newest + 1 : 1;
}

void PopUndo(Model& m) {
    const i32 group = m.undo.UndoGroup[1];
    std::array<std::pair<i32, f32>, kUndoDepth> restored{};
    std::size_t count = 0;
    RevArmPlace arm;
    // The newest entry, and with it the rest of its group, newest first.
    do {
        for (int k = 1; k <= kUndoDepth; ++k) CopyEntry(m, k - 1, k);
        if (m.undo.UndoArm[0].saved) arm = m.undo.UndoArm[0];
        if (IsVariableDimension(m.undo.UndoId[0])) {
            SetDimension(m, m.undo.UndoId[0], m.undo.UndoOld[0]);
            if (count < restored.size()) restored[count++] = {m.undo.UndoId[0], m.undo.UndoOld[0]};
        }
        ClearEntry(m, kUndoDepth);
        m.undo.UndoCount = std::max<i32>(m.undo.UndoCount - 1, 0);
    } while (group != 0 && m.undo.UndoId[1] > 0 && m.undo.UndoGroup[1] == group);
    // Each slot reads its dimension afresh; the +1/-1 pair leaves it where it is (after two
    // float roundings).
    for (int k = 1; k <= 4; ++k) {
        m.dyn.DynVarSlot = k;
        m.dyn.Increment = 1.0f;
        ApplyDynVar(m);
        m.dyn.Increment = -1.0f;
        ApplyDynVar(m);
    }
    // A group comes back exactly: the +1/-1 pair may have moved a restored value in a slot by
    // a float rounding. In the order taken back, so the oldest value of a dimension wins.
    if (group != 0) {
        for (std::size_t i = 0; i < count; ++i) {
            const auto [id, value] = restored[i];
            SetDimension(m, id, value);
            for (int k = 0; k <= 4; ++k)
                if (m.dyn.DynVarId[k] == id) m.dyn.DynVarValue[k] = value;
        }
    }
    // A command that recomputed the mid gear: the arm goes back where it stood before it.
    if (arm.saved) {
        for (std::size_t k = 0; k < arm.positions.size(); ++k)
            m.motion.RevArmPositions[k] = arm.positions[k];
        m.pivots.PivotX[18] = arm.pivotX;
        m.motion.RevArmPos = arm.pos;
    }
}

bool UndoAvailable(const UndoStack& u) { return u.UndoId[1] > 0; }

bool UnDoClick(Model& m) {
    if (!UndoAvailable(m.undo)) return false;
    PopUndo(m);
    return true;
}

std::string BuildUndoLine(const Model& m) {
    if (const i32 group = m.undo.UndoGroup[1]; group != 0) {
        long long n = 0;
        for (int k = 1; k <= kUndoDepth && m.undo.UndoGroup[k] == group; ++k) ++n;
        return Str(static_cast<long long>(m.undo.UndoCount), 2) + "- " + m.undo.UndoName[1] + " (" +
               Str(n, 0) + (n == 1 ? " dimension)" : " dimensions)");
    }
    return Str(static_cast<long long>(m.undo.UndoCount), 2) + "- " + m.undo.UndoName[1] + " " +
           ValueText(m.undo.UndoOld[1], 10) + " to " + ValueText(m.undo.UndoNew[1], 20);
}

}  // namespace tarn
