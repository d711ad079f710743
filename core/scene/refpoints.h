// The measuring layers of the main picture and their rules: the two reference points (RP1 is
// pivot 19, RP2 pivot 20) placed by the mouse, nudged, zeroed and centred on, and the six
// pivot-data rows bound to pivots by a pick.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "core/model/canvas.h"
#include "core/model/model.h"
#include "core/scene/view.h"

namespace tarn {

enum class MouseButton { Left, Right, Other };

// The picture part of the main window's client area: below the control strip (y > 120), or
// right of the reference-point group from the tool bar's foot down (y >= 68 and x > 247).
bool OnPicture(int x, int y);

// The model point under a client pixel of the picture.
float ModelXOf(const Model& m, int x);
float ModelYOf(const Model& m, int y);

// The pivot nearest to (x, y) by |dx| + |dy| among first..last (skipping the reference points
// 19 and 20 when asked), starting from a best distance of 10000 and taking only a strictly
// smaller one, so the lower number wins a tie. -1 when none is nearer than 10000 (far away,
// or non-finite co-ordinates). Never reads outside the pivot tables.
int NearestPivot(const Model& m, long double x, long double y, int first, int last,
                 bool skipReferencePoints);

// Mouse-down steps 1 and 2: with the mode on and the click on the picture, the left button
// places RP1 and the right button RP2. Returns the point placed (1 or 2; its "0" button is to
// be enabled), or 0.
int PlaceReferencePoint(Model& m, int x, int y, MouseButton b);

// Mouse-down steps 4 and 5: a pick for an armed data row (anywhere in the window), then the
// choice of a row by a click on its number. A pick that finds no pivot keeps the row's pivot.
void PickOrChooseDataRow(Model& m, int x, int y, MouseButton b);

// The four nudging bars of the reference points.
enum class RefBar { Ref1Vert, Ref1Horz, Ref2Vert, Ref2Horz };
inline int PointOf(RefBar b) { return (b == RefBar::Ref1Vert || b == RefBar::Ref1Horz) ? 1 : 2; }
// The relative step of bar b at position p (divisor 1000, large step 25), added to the point's
// co-ordinate: an arrow click moves it by 0.001, a trough click by 0.025. The caller enables the
// point's "0" button and puts the bar back to 0.
void NudgeReferencePoint(Model& m, RefBar b, BarHistory& bar, i32 p);

// RP1 or RP2 back to the origin (the caller zeroes its bars and disables its "0" button).
void ZeroReferencePoint(Model& m, int point);

// Centres the view on RP1 or RP2 (the point goes to screen (320, 240)) and returns the
// positions the pan bars are then set to, horizontal first, each within -500..500; their change
// events apply a relative pan step to the view just set.
struct PanBarPositions {
    i32 horz = 0;
    i32 vert = 0;
};
PanBarPositions CentreOnReferencePoint(Model& m, int point);

// ---- The reference points dialog ----
// The four field texts shown when it opens: RP1 vertical, RP1 horizontal, RP2 vertical, RP2
// horizontal.
std::array<std::string, 4> RefPointFieldTexts(const Model& m);
// OK: the fields the user edited (the others are absent) become the co-ordinates; returns, for
// RP1 and RP2, whether the point now lies off the origin ("0" button to be enabled).
std::array<bool, 2> ApplyRefPointFields(Model& m,
                                        const std::array<std::optional<std::string>, 4>& edited);

// ---- Drawing ----
// The pivot-data rows; called only while ScreenData and PivotDataOn are on.
void DrawPivotDataRows(Model& m, Canvas& c);
// The reference-point crosses and read-outs; called only while ScreenData and RefPointsOn are on.
// The pen still has the colour of overlay entry 20.
void DrawReferencePoints(Model& m, Canvas& c);

}  // namespace tarn
