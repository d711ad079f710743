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
    m.UndoId[to] = m.UndoId[from];
    m.UndoOld[to] = m.UndoOld[from];
    m.UndoNew[to] = m.UndoNew[from];
    m.UndoName[to] = m.UndoName[from];
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
    if (!m.EditChanged) return;
    m.UndoButtonsEnabled = true;
    for (int i = 0; i <= kUndoDepth - 1; ++i) CopyEntry(m, kUndoDepth - i, kUndoDepth - 1 - i);
    m.UndoCount = std::min<i32>(m.UndoCount + 1, kUndoDepth);
}

void PopUndo(Model& m) {
    for (int k = 1; k <= kUndoDepth; ++k) CopyEntry(m, k - 1, k);
    // SetDimension keeps the working pivots and the valve centre line with the restored value.
    if (IsVariableDimension(m.UndoId[0])) SetDimension(m, m.UndoId[0], m.UndoOld[0]);
    // Each slot reads its dimension afresh; the +1/-1 pair leaves it where it is (after two
    // float roundings).
    for (int k = 1; k <= 4; ++k) {
        m.DynVarSlot = k;
        m.Increment = 1.0f;
        ApplyDynVar(m);
        m.Increment = -1.0f;
        ApplyDynVar(m);
    }
    m.UndoId[kUndoDepth] = 0;
    m.UndoOld[kUndoDepth] = 0;
    m.UndoNew[kUndoDepth] = 0;
    m.UndoName[kUndoDepth].clear();
    if (m.UndoId[1] == 0) m.UndoButtonsEnabled = false;
    m.UndoCount = std::max<i32>(m.UndoCount - 1, 0);
}

bool UndoAvailable(const Model& m) { return m.UndoId[1] > 0; }

bool UnDoClick(Model& m) {
    if (!UndoAvailable(m)) {
        m.UndoButtonsEnabled = false;
        return false;
    }
    PopUndo(m);
    return true;
}

std::string BuildUndoLine(const Model& m) {
    return Str(static_cast<long long>(m.UndoCount), 2) + "- " + m.UndoName[1] + " " +
           ValueText(m.UndoOld[1], 10) + " to " + ValueText(m.UndoNew[1], 20);
}

}  // namespace tarn
