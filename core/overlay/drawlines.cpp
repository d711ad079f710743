// The "Draw Lines" rules. A row is made in one pass: row, type, colour, reference, then "Draw
// Close" at once (reference 0) or after a trip to the main window where the user's clicks move
// the reference points onto the pivots the row is tied to.
//
// The row being built is always LineIndex: the dialog closes for a pick and reopens on the same
// row, so LineIndex never leaves 1..20 whatever the order of clicks.
#include "core/overlay/drawlines.h"

#include <cmath>

#include "core/model/numfmt.h"

namespace tarn {

namespace {

constexpr int kRP1 = 19, kRP2 = 20;

}  // namespace

std::string RowFieldText(float v) { return Str(v, 7, 3); }

bool DrawLinesLogic::ReferencePointsAtOrigin() const {
    return m_.pivots.PivotX[kRP1] == 0 && m_.pivots.PivotY[kRP1] == 0 &&
           m_.pivots.PivotX[kRP2] == 0 && m_.pivots.PivotY[kRP2] == 0;
}

void DrawLinesLogic::PickPivots() {
    // The pivot nearest to each reference point, over 1..26 without the reference points
    // themselves. A search that finds nothing (points far off or not finite) keeps the old pivot.
    const int k = Current();
    if (ref_ >= 1) {
        const int p = NearestPivot(m_, m_.pivots.PivotX[kRP1], m_.pivots.PivotY[kRP1], 1, 26, true);
        if (p >= 0) {
            m_.overlay.LinePivot1[k] = static_cast<f32>(p);
            m_.overlay.LinePiv1X[k] = m_.pivots.PivotX[p];
            m_.overlay.LinePiv1Y[k] = m_.pivots.PivotY[p];
        }
    }
    if (ref_ == 3) {
        const int p = NearestPivot(m_, m_.pivots.PivotX[kRP2], m_.pivots.PivotY[kRP2], 1, 26, true);
        if (p >= 0) {
            m_.overlay.LinePivot2[k] = static_cast<f32>(p);
            m_.overlay.LinePiv2X[k] = m_.pivots.PivotX[p];
            m_.overlay.LinePiv2Y[k] = m_.pivots.PivotY[p];
        }
    }
}

void DrawLinesLogic::FormActivate() {
    beeps = 0;
    closeRequested = false;
    leftClickSeen_ = false;
    if (ref_ < 0) {
        m_.overlay.LineH1[0] = m_.pivots.PivotX[kRP1];
        m_.overlay.LineV1[0] = m_.pivots.PivotY[kRP1];
    }
    if (ref_ >= 1) PickPivots();
}

void DrawLinesLogic::RowNumberClick(int k) {
    m_.overlay.LineIndex = Clamp(k);
    highlighted_ = m_.overlay.LineIndex;
    ClearChoices();
    drawEnabled_ = false;
}

void DrawLinesLogic::TypeClick(int item) {
    if (item < 0 || item >= static_cast<int>(kLineTypeNames.size())) return;
    if (ReferencePointsAtOrigin()) {
        ++beeps;
        closeRequested = true;
        type_ = -1;
        return;
    }
    type_ = item;
    rows_[static_cast<std::size_t>(Current())].type =
        std::string(kLineTypeNames[static_cast<std::size_t>(item)]);
    if (AllChosen()) drawEnabled_ = true;
}

void DrawLinesLogic::ColourClick(int item) {
    if (item < 0 || item >= static_cast<int>(kLineColourNames.size())) return;
    if (type_ < 0) {
        colour_ = -1;
        ++beeps;
        return;
    }
    colour_ = item;
    rows_[static_cast<std::size_t>(Current())].colour =
        std::string(kLineColourNames[static_cast<std::size_t>(item)]);
    if (AllChosen()) drawEnabled_ = true;
}

void DrawLinesLogic::RefClick(int item) {
    if (item < 0 || item >= static_cast<int>(kLineRefItems.size())) return;
    if (type_ < 0 || colour_ < 0) {
        ref_ = -1;
        ++beeps;
        return;
    }
    ref_ = item;
    const int k = Current();
    // The ends (or centre and rim point) start at the two reference points.
    m_.overlay.LineV1[k] = m_.pivots.PivotY[kRP1];
    m_.overlay.LineH1[k] = m_.pivots.PivotX[kRP1];
    m_.overlay.LineV2[k] = m_.pivots.PivotY[kRP2];
    m_.overlay.LineH2[k] = m_.pivots.PivotX[kRP2];
    rows_[static_cast<std::size_t>(k)].ref =
        std::string(kLineRefLabels[static_cast<std::size_t>(item)]);
    m_.overlay.LineRef[static_cast<std::size_t>(k - 1)] = static_cast<f32>(item);
    if (item >= 1) {
        m_.overlay.PivotPickPending = true;
        m_.overlay.PivotPickReference = item;
    }
    if (AllChosen()) drawEnabled_ = true;
    const bool circle = type_ == 1;
    if (item >= 2 && circle) {
        // A circle has a centre only: it cannot reach to the origin or to a second pivot.
        ++beeps;
        ClearLineClick();
        return;
    }
    if (item >= 1) {
        // Off to the main window to pick the pivot(s); the dialog reopens on this row.
        leftClickSeen_ = false;
        closeRequested = true;
    }
}

void DrawLinesLogic::UpdateRow(int k) {
    Row& r = rows_[static_cast<std::size_t>(k)];
    const std::size_t i = static_cast<std::size_t>(k);
    // Each computed value goes through its field text and back, so it is stored as shown.
    auto show = [&](int col, f32& value, ext v) {
        const std::string text = RowFieldText(ToFloat(v));
        r.fields[static_cast<std::size_t>(col)] = text;
        value = ParseField(text);
    };
    const ext v1 = m_.overlay.LineV1[i], h1 = m_.overlay.LineH1[i], v2 = m_.overlay.LineV2[i],
              h2 = m_.overlay.LineH2[i];
    const ext p1x = m_.overlay.LinePiv1X[i], p1y = m_.overlay.LinePiv1Y[i],
              p2x = m_.overlay.LinePiv2X[i], p2y = m_.overlay.LinePiv2Y[i];
    if (type_ == 0) {
        switch (ref_) {
            case 0:
                show(0, m_.overlay.LineV1[i], v1);
                show(1, m_.overlay.LineH1[i], h1);
                show(2, m_.overlay.LineV2[i], v2);
                show(3, m_.overlay.LineH2[i], h2);
                break;
            case 1:
                show(0, m_.overlay.LineV1[i], v1 - p1y);
                show(1, m_.overlay.LineH1[i], h1 - p1x);
                show(2, m_.overlay.LineV2[i], v2 - p1y);
                show(3, m_.overlay.LineH2[i], h2 - p1x);
                break;
            case 2:
                show(0, m_.overlay.LineV1[i], v1 - p1y);
                show(1, m_.overlay.LineH1[i], h1 - p1x);
                show(2, m_.overlay.LineV2[i], v2);
                show(3, m_.overlay.LineH2[i], h2);
                break;
            case 3:
                show(0, m_.overlay.LineV1[i], v1 - p1y);
                show(1, m_.overlay.LineH1[i], h1 - p1x);
                show(2, m_.overlay.LineV2[i], v2 - p2y);
                show(3, m_.overlay.LineH2[i], h2 - p2x);
                break;
            default: break;
        }
    } else if (type_ == 1 && (ref_ == 0 || ref_ == 1)) {
        // The radius reaches from reference point 1 to reference point 2: as chosen for a fixed
        // circle, as it stood when the dialog opened for a circle tied to a pivot.
        const ext cv = ref_ == 0 ? v1 : m_.overlay.LineV1[0];
        const ext ch = ref_ == 0 ? h1 : m_.overlay.LineH1[0];
        const ext radius = std::sqrt((v2 - cv) * (v2 - cv) + (h2 - ch) * (h2 - ch));
        show(0, m_.overlay.LineV1[i], ref_ == 0 ? v1 : v1 - p1y);
        show(1, m_.overlay.LineH1[i], ref_ == 0 ? h1 : h1 - p1x);
        r.fields[2].clear();
        show(3, m_.overlay.LineH2[i], radius);
    }
}

void DrawLinesLogic::DrawCloseClick() {
    const int k = Current();
    const std::size_t at = static_cast<std::size_t>(k - 1);
    if (colour_ >= 0)
        m_.overlay.LineColor[at] = kLineColourValues[static_cast<std::size_t>(colour_)];
    m_.overlay.LineType[at] = static_cast<f32>(type_);
    if (AllChosen()) UpdateRow(k);
    closeRequested = true;
    if (m_.overlay.LineIndex >= kOverlayRows) {
        m_.overlay.LineIndex = kOverlayRows;
        ++beeps;
    } else {
        m_.overlay.LineIndex = Current() + 1;
    }
    highlighted_ = m_.overlay.LineIndex;
    drawEnabled_ = false;
    m_.overlay.PivotPickPending = false;
    ClearChoices();
}

void DrawLinesLogic::ClearLineClick() {
    const int k = Current();
    const std::size_t i = static_cast<std::size_t>(k);
    Row& r = rows_[i];
    for (auto& f : r.fields) f.clear();
    m_.overlay.LineV1[i] = m_.overlay.LineH1[i] = m_.overlay.LineV2[i] = m_.overlay.LineH2[i] = 0;
    m_.overlay.LinePiv1X[i] = m_.overlay.LinePiv1Y[i] = m_.overlay.LinePiv2X[i] =
        m_.overlay.LinePiv2Y[i] = 0;
    r.type.clear();
    r.colour.clear();
    r.ref.clear();
    m_.overlay.LineType[i - 1] = m_.overlay.LineColor[i - 1] = m_.overlay.LineRef[i - 1] = -1;
    ClearChoices();
    drawEnabled_ = false;
    m_.overlay.PivotPickPending = false;
}

void DrawLinesLogic::CloseClick() {
    ClearChoices();
    closeRequested = true;
    m_.overlay.PivotPickPending = false;
}

void DrawLinesLogic::FieldExit(int k, int col, std::string_view text) {
    if (k < 1 || k > kOverlayRows || col < 0 || col > 3) return;
    const std::size_t i = static_cast<std::size_t>(k);
    rows_[i].fields[static_cast<std::size_t>(col)] = std::string(text);
    const f32 v = ParseField(text);
    switch (col) {
        case 0: m_.overlay.LineV1[i] = v; break;
        case 1: m_.overlay.LineH1[i] = v; break;
        case 2: m_.overlay.LineV2[i] = v; break;
        default: m_.overlay.LineH2[i] = v; break;
    }
}

void DrawLinesLogic::LinesDataClick() {
    auto item = [](float v, auto& names) -> int {
        const i32 n = Round(v);
        return (n >= 0 && n < static_cast<i32>(names.size())) ? n : -1;
    };
    for (int k = 1; k <= kOverlayRows; ++k) {
        const std::size_t i = static_cast<std::size_t>(k);
        Row& r = rows_[i];
        if (m_.overlay.LineType[i - 1] > -1) {
            r.fields = {RowFieldText(m_.overlay.LineV1[i]), RowFieldText(m_.overlay.LineH1[i]),
                        RowFieldText(m_.overlay.LineV2[i]), RowFieldText(m_.overlay.LineH2[i])};
        } else {
            for (auto& f : r.fields) f.clear();
        }
        if (const int t = item(m_.overlay.LineType[i - 1], kLineTypeNames); t >= 0)
            r.type = std::string(kLineTypeNames[static_cast<std::size_t>(t)]);
        const i32 colour = Round(m_.overlay.LineColor[i - 1]);
        for (std::size_t c = 0; c < kLineColourValues.size(); ++c)
            if (colour == static_cast<i32>(kLineColourValues[c]))
                r.colour = std::string(kLineColourNames[c]);
        if (const int f = item(m_.overlay.LineRef[i - 1], kLineRefLabels); f >= 0)
            r.ref = std::string(kLineRefLabels[static_cast<std::size_t>(f)]);
    }
}

void DrawLinesLogic::ClearRowLabels() {
    for (int k = 1; k <= kOverlayRows; ++k) {
        Row& r = rows_[static_cast<std::size_t>(k)];
        r.type.clear();
        r.colour.clear();
        r.ref.clear();
    }
}

bool DrawLinesLogic::MouseReopens(MouseButton b) {
    if (!m_.display.RefPointsOn || !AllChosen()) return false;
    if (b == MouseButton::Left) {
        if (ref_ <= 2) return true;
        leftClickSeen_ = true;  // "Piv1/Piv2": the right click comes next
        return false;
    }
    if (b == MouseButton::Right && ref_ == 3 && leftClickSeen_) return true;
    return false;
}

}  // namespace tarn
