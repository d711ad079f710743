// The engine's pictures: indicator cards (the pressure in each cylinder end against the piston's
// travel, as an engineer's indicator draws it: gauge pressure above the atmospheric line) and the
// performance curves (mean effective pressure and indicated power against speed for the standard
// gears, mean effective pressure over the reverser's range at one speed). A reference design's
// cards and curves are drawn dashed over them.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/analysis/valveevents.h"
#include "core/model/canvas.h"
#include "core/performance/conditions.h"
#include "core/performance/engine.h"

namespace tarn {

// One gear's result in a picture, or the result where the reverser stands (at result.revArmPos).
struct GearCard {
    Gear gear = Gear::FullForward;
    EnginePerformance result;
    bool atReverser = false;  // not a gear's: the reverser's setting in the main window
};

// The card's name in the legend and the table: the gear's, or "reverser at 5.800".
std::string CardName(const GearCard& card);

struct IndicatorCards {
    std::vector<GearCard> design;
    std::vector<GearCard> reference;  // drawn dashed; empty: no reference
    std::string referenceName;
    double atmosphere = 101325.0;  // Pa: the cards show the pressure above it
    PressureUnit pressureUnit = PressureUnit::Psi;
    LengthUnit lengthUnit = LengthUnit::Inch;
};

// The cards on a white width x height picture: gauge pressure up the left (pressure unit),
// travel from the front dead centre along the bottom (the design's length unit), the
// atmospheric line at 0, each card closed; front ends in kCardFrontColour, rear ends in
// kCardRearColour, each gear in its line style (kGearPatterns) at width 2, the reference's
// cards dashed at width 1; a legend at the top. With no card to draw, the reason in the middle.
void DrawIndicatorCards(Canvas& c, int width, int height, const IndicatorCards& cards);

// The curves of one design.
struct PerformanceCurves {
    std::vector<double> revPerMin;  // the speeds of bySpeed
    // For each standard gear (kGears order) one result per speed.
    std::array<std::vector<EnginePerformance>, kGears.size()> bySpeed;
    // Along the reverser's range, full forward first, at positionRevPerMin.
    std::vector<EnginePerformance> byPosition;
    double positionRevPerMin = 0;
    float midGear = 0;                                // the reverse-arm position of mid gear
    std::array<double, kGears.size()> gearOffsets{};  // each gear's offset from mid gear
};

// The curves on a white width x height picture, three charts side by side: mean effective
// pressure (in the pressure unit) and indicated power (hp or kW, as the length unit goes) against
// rev/min, a line per standard gear in its colour
// (kGearColours), and mean effective pressure against the reverse arm's offset from mid gear
// with the gears marked; a result that is not ok breaks its line. The reference's dashed.
void DrawPerformanceCurves(Canvas& c, int width, int height, const PerformanceCurves& design,
                           const PerformanceCurves* reference, PressureUnit pressureUnit,
                           LengthUnit lengthUnit);

inline constexpr Rgb kCardFrontColour = 0x0000C0, kCardRearColour = 0xC00000;
inline constexpr Rgb kAtmosphereColour = 0x707070;
// The standard gears' colours in the curves and their line styles on the cards, kGears order:
// on and off lengths in pixels (none: a whole line).
inline constexpr std::array<Rgb, kGears.size()> kGearColours{0x0000C0, 0x0090A0, 0x606060, 0xC06000,
                                                             0xC00000};
struct GearPattern {
    std::array<double, 6> lengths{};
    std::size_t count = 0;
};
inline constexpr std::array<GearPattern, kGears.size()> kGearPatterns{{
    {{}, 0},                   // full forward: whole
    {{10, 3, 2, 3}, 4},        // normal forward: dash dot
    {{2, 3}, 2},               // mid: dotted
    {{10, 3, 2, 3, 2, 3}, 6},  // normal reverse: dash dot dot
    {{16, 4}, 2},              // full reverse: long dashes
}};
// The reverser's own card: long and short dashes.
inline constexpr GearPattern kReverserPattern{{12, 3, 5, 3}, 4};

}  // namespace tarn
