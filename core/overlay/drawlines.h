// The rules of the "Draw Lines" dialog without any toolkit: the order of choices with its beeps,
// the trip to the main window to pick pivots, the row update with its three-decimal round trip,
// clearing a row and refreshing all rows from the model. The dialog mirrors this state.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/model/model.h"
#include "core/scene/refpoints.h"

namespace tarn {

// The radio items in their order.
inline constexpr std::array<std::string_view, 2> kLineTypeNames{"Line", "Circle"};
inline constexpr std::array<std::string_view, 6> kLineColourNames{"Black",  "Red",  "Green",
                                                                  "Yellow", "Blue", "Gray"};
// The colour numbers of the six items, red in the low byte.
inline constexpr std::array<float, 6> kLineColourValues{0.0f,     255.0f,      32768.0f,
                                                        65535.0f, 16711680.0f, 8421504.0f};
// The items of "Referenced to" and the labels a row shows for them.
inline constexpr std::array<std::string_view, 4> kLineRefItems{"0,0", "Pivot1", "Piv1/0,0",
                                                               "Piv1/Piv2"};
inline constexpr std::array<std::string_view, 4> kLineRefLabels{"0 , 0", "Pivot1", "Piv1/0,0",
                                                                "Piv1/P2"};

// The text a row field shows for a value: fixed, three decimals, at least seven characters.
std::string RowFieldText(float v);

class DrawLinesLogic {
public:
    explicit DrawLinesLogic(Model& m) : m_(m) {}

    // ---- what the dialog shows (rows 1..20; index 0 unused) ----
    struct Row {
        std::string type, colour, ref;      // the three labels
        std::array<std::string, 4> fields;  // LineV1, LineH1, LineV2, LineH2
    };
    const Row& row(int k) const { return rows_[static_cast<std::size_t>(Clamp(k))]; }
    int typeChoice() const { return type_; }  // -1 none
    int colourChoice() const { return colour_; }
    int refChoice() const { return ref_; }
    bool drawEnabled() const { return drawEnabled_; }
    int highlightedRow() const { return highlighted_; }

    // ---- what the dialog must do after a handler ----
    int beeps = 0;                // system beeps to sound
    bool closeRequested = false;  // the dialog closes

    // ---- the dialog's events ----
    void FormActivate();
    void RowNumberClick(int k);
    void TypeClick(int item);
    void ColourClick(int item);
    void RefClick(int item);
    void DrawCloseClick();
    void ClearLineClick();
    void CloseClick();
    // A field of row k (col 0..3: LineV1, LineH1, LineV2, LineH2) lost the focus with text.
    void FieldExit(int k, int col, std::string_view text);
    // True while the third field of row k refuses every key (the row is a circle).
    bool ThirdFieldBlocked(int k) const { return row(k).type == "Circle"; }
    // Rewrites every used row's fields and labels from the model (after opening a file).
    void LinesDataClick();
    // Empties the type, colour and reference labels of all rows (opening a file does this first).
    void ClearRowLabels();
    // Highlights the current row (LineIndex).
    void HighlightCurrentRow() { highlighted_ = Clamp(m_.overlay.LineIndex); }

    // ---- the main window's side ----
    // True when a mouse-down on the main window reopens the dialog to pick the pivots: a left
    // click with a reference of 0, 1 or 2 chosen (all three groups holding a choice), or a right
    // click after a left click with "Piv1/Piv2" chosen.
    bool MouseReopens(MouseButton b);
    // Both reference points at the origin: the tools have nothing to start from.
    bool ReferencePointsAtOrigin() const;

private:
    static int Clamp(int k) { return k < 1 ? 1 : k > kOverlayRows ? kOverlayRows : k; }
    int Current() const { return Clamp(m_.overlay.LineIndex); }
    bool AllChosen() const { return type_ >= 0 && colour_ >= 0 && ref_ >= 0; }
    void ClearChoices() { type_ = colour_ = ref_ = -1; }
    void PickPivots();
    void UpdateRow(int k);

    Model& m_;
    std::array<Row, kOverlayRows + 1> rows_{};
    int type_ = -1, colour_ = -1, ref_ = -1;
    bool drawEnabled_ = false;
    int highlighted_ = 1;
    bool leftClickSeen_ = false;  // the first of the two clicks of a "Piv1/Piv2" pick
};

}  // namespace tarn
