// The dynamic variables: the four most recently edited dimensions, each on a jog bar that adds a
// small signed increment per step and springs back to its centre. One set of routines serves
// the bars of the main window and of the four diagram windows.
#pragma once

#include "core/model/model.h"

namespace tarn {

// Makes slot 0 (filled by the caller: id, value, caption) the most recent dynamic variable: a
// dimension already in slot k only gets the new value there; a new one enters slot 1 and the
// others move down, the fourth dropping out.
void PushDynVar(Model& m);

// Empties slots 0..4 (id 0, value 0, EmptyCaption).
void ClearDynVars(Model& m);

// Adds Increment to the dimension of slot DynVarSlot, starting from the dimension's current
// value. Empty slots and the gear limits (17, 18) do nothing. The mid gear is not recomputed.
void ApplyDynVar(Model& m);

// DynVarValue[DynVarSlot] += Increment; the cut-off read-outs start afresh.
void StepDynVar(Model& m);

// After a dimension reset: the slots are emptied and, with Increment 0, applied once each (which
// does nothing on empty slots), so every bar is empty and disabled.
void RefreshDynVarsAfterReset(Model& m);

// The change of bar k (1..4) of any bar set to position pos (-200..200): the increment rules
// (a drag steps by |pos|/1000 in the direction of motion, an arrow by 0.001, a page by 0.01),
// the application to slot k and the shared position history. The window then puts its bar back
// to 0, which calls this again with pos 0 (an increment of 0).
void DynVarBarChange(Model& m, int k, int pos);

// One interaction with bar k (a mouse press to its release, a key press to its release, or one
// wheel event) is one undo entry. The start reads the dimension's current value from the model,
// so a value changed meanwhile (undo, a file, a dialog) is the one that an undo restores.
void DynVarBarInteractionStart(Model& m, int k);

// The end of the interaction with bar k: records one undo entry (old value from the start, new
// value now) and enables the UnDo buttons, unless the value is unchanged or the slot is empty.
// Returns whether it recorded. The window then moves the focus away from the bar.
bool DynVarBarInteractionEnd(Model& m, int k);

}  // namespace tarn
