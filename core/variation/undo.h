// The undo history of dimension changes: 20 entries (1 newest .. 20 oldest, 0 a working place),
// recorded by the dimension fields and the dynamic-variable bars, taken back by the UnDo buttons
// of the main window and the diagram windows. There is no redo.
#pragma once

#include <string>

#include "core/model/model.h"

namespace tarn {

// Opens a new entry 1 when EditChanged is set (the caller fills it); the oldest entry is lost,
// and with it the rest of its group when it belongs to one. Enables the five UnDo buttons.
void PushUndo(Model& m);

// A group tag for entries about to be pushed together: different from the newest entry's.
i32 NewUndoGroup(const UndoStack& u);

// Takes back entry 1, and when it belongs to a group every entry of that group, newest first:
// restores the old values, refreshes the four dynamic-variable
// slots from their dimensions and disables the UnDo buttons when the history is empty.
// UndoCount falls by one per entry taken back. Increment is left at -1. A group's dimensions
// end exactly at their old values (the slot refresh can move a slot's value by a rounding).
// When the group's command recomputed the mid gear (UndoArm), the reverse arm's mid and normal
// gears and its position come back as they were before it; the caller then shows the arm on
// the reverse-arm bar (RevArmBarPosition).
void PopUndo(Model& m);

// True while entry 1 holds a change to take back: the UnDo buttons are enabled then.
bool UndoAvailable(const UndoStack& u);

// An UnDo button's click: one undo step, or nothing on an empty history.
// Returns whether a change was taken back (the diagram windows redraw in either case).
bool UnDoClick(Model& m);

// The on-screen undo line of every window: the history depth (width 2), "- ", the caption of
// the newest entry, " ", its old value, " to ", its new value (width 6, 3 decimals). Each window
// adds its own padding and length limit. When the newest entry belongs to a group: the depth,
// "- ", the group's name and its number of dimensions (" 3- Optimise Gear (3 dimensions)").
std::string BuildUndoLine(const Model& m);

}  // namespace tarn
