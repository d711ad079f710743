// The bounded undo history: push, pop with the refresh of the dynamic-variable slots, the UnDo
// buttons' state and the undo line shown by every window.
#include "core/variation/undo.h"

#include <algorithm>

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
    for (int i = 0; i <= kUndoDepth - 1; ++i) CopyEntry(m, kUndoDepth - i, kUndoDepth - 1 - i);
    m.undo.UndoCount = std::min<i32>(m.undo.UndoCount + 1, kUndoDepth);
}

void PopUndo(Model& m) {
    for (int k = 1; k <= kUndoDepth; ++k) CopyEntry(m, k - 1, k);
    // SetDimension keeps the working pivots and the valve centre line with the restored value.
    if (IsVariableDimension(m.undo.UndoId[0])) SetDimension(m, m.undo.UndoId[0], m.undo.UndoOld[0]);
    // Each slot reads its dimension afresh; the +1/-1 pair leaves it where it is (after two
    // float roundings).
    for (int k = 1; k <= 4; ++k) {
        m.dyn.DynVarSlot = k;
        m.dyn.Increment = 1.0f;
        ApplyDynVar(m);
        m.dyn.Increment = -1.0f;
        ApplyDynVar(m);
    }
    m.undo.UndoId[kUndoDepth] = 0;
    m.undo.UndoOld[kUndoDepth] = 0;
    m.undo.UndoNew[kUndoDepth] = 0;
    m.undo.UndoName[kUndoDepth].clear();
    m.undo.UndoCount = std::max<i32>(m.undo.UndoCount - 1, 0);
}

bool UndoAvailable(const UndoStack& u) { return u.UndoId[1] > 0; }

bool UnDoClick(Model& m) {
    if (!UndoAvailable(m.undo)) return false;
    PopUndo(m);
    return true;
}

std::string BuildUndoLine(const Model& m) {
    return Str(static_cast<long long>(m.undo.UndoCount), 2) + "- " + m.undo.UndoName[1] + " " +
           ValueText(m.undo.UndoOld[1], 10) + " to " + ValueText(m.undo.UndoNew[1], 20);
}

}  // namespace tarn
