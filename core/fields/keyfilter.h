// The key filter of every numeric entry field, as one table: each variant says which characters
// it accepts, which duplicates it refuses, what Enter does and what else a key does. Plain C++
// so that the field widget only forwards keys.
#pragma once

#include <string_view>

namespace tarn {

enum class FieldVariant {
    Dimension,  // frame and cylinder dimensions: marks the edit for undo, Enter commits
    GearLimit,  // the reverse arm's normal and largest offset: as Dimension, no undo mark
    Signed,     // reverse-arm position, diagram scale, overlay values
    Position,   // a listed reverse-arm position: every key reveals the next position
    RowThird,   // an overlay row's third value: every key refused while the row is a circle
    Point,      // reference points: several minus signs may stand
    Unsigned,   // angles and the close-up zoom: no minus sign
};

enum class EnterAction { Discard, CommitToClose };

struct FilterRule {
    FieldVariant variant;
    std::string_view accepted;  // beside the digits; '\b' is Backspace, '\r' Enter
    bool refuseSecondMinus;
    bool refuseSecondPoint;
    EnterAction enter;
    bool marksEdit;    // sets EditChanged for every accepted key, before the duplicate test
    bool revealsNext;  // every key press reveals the next field
    bool blockable;    // every key refused while the field is blocked
};

const FilterRule& RuleOf(FieldVariant v);

struct KeyVerdict {
    char key = 0;                // the character to insert, Backspace or Enter; 0 discards it
    bool marksEdit = false;      // EditChanged := true
    bool commitToClose = false;  // Enter: the focus goes to the dialog's Close button
};

// Filters one typed character for a field holding text with the selection [selStart,
// selStart + selLength). The duplicate tests look at the text as it will be after the key
// replaces the selection, so ".75" typed over a selected "2.500" is allowed.
KeyVerdict FilterKey(FieldVariant v, char key, std::string_view text, int selStart, int selLength,
                     bool blocked = false);

}  // namespace tarn
