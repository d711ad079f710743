// The valve events of one revolution at one reverse-arm setting: where each cylinder end's port
// opens and closes to steam and to exhaust, its lead and its largest openings. Works on a copy of
// the design, so the model the windows show is never touched.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/model/model.h"

namespace tarn {

// One port event: the crank angle and where the crosshead, and with it the piston, is at that
// moment. Travel is the crosshead's own (pivot 3 between its dead centres, CrossheadDeadCentresOf),
// not the piston read-out's PistonPos, which takes the main rod's crank end for the whole rod.
struct ValveEvent {
    double crankAngle = 0;  // degrees, 0 <= angle < 360
    double crossheadX = 0;  // pivot 3's x
    double percent = 0;     // the crosshead's travel from this end's dead centre, 0..100
    // The valve-setting mark: the crosshead's distance from this end's dead centre, in the
    // design's length unit (what a fitter marks on the slide bars).
    double mark = 0;
};

// The events of one cylinder end. The front end counts travel from the front dead centre
// (crank angle 0), the rear end from the rear dead centre (180).
struct EndEvents {
    std::optional<ValveEvent> admission;    // steam port opens
    std::optional<ValveEvent> cutoff;       // steam port closes
    std::optional<ValveEvent> release;      // exhaust opens
    std::optional<ValveEvent> compression;  // exhaust closes
    double lead = 0;               // steam opening at this end's dead centre; < 0: still lapped
    double maxSteamOpening = 0;    // largest steam opening in the revolution (< 0: never opens)
    double maxSteamAngle = 0;      // crank angle of that opening
    double maxExhaustOpening = 0;  // largest exhaust opening (< 0: never opens)
    double maxExhaustAngle = 0;
    int steamOpenings = 0;    // separate steam openings per revolution; the events above are of
    int exhaustOpenings = 0;  // the largest one when a port opens more than once
};

struct ValveEventsResult {
    float revArmPos = 0;
    bool reverse = false;        // the crank turns backwards at this setting (angle decreasing)
    bool geometryError = false;  // the linkage cannot close somewhere in the revolution
    double errorAngle = 0;       // the first crank angle met where it cannot
    EndEvents front, rear;       // empty (all events absent, numbers 0) after a geometry error
    bool ok() const { return !geometryError; }
};

// A reverse-arm position this close to the computed mid-gear position RevArmPositions[0] is mid
// gear: what three decimals show ("6.247" typed for a centre of 6.24699974) means the centre.
// GearAt names the other gears with the same tolerance.
inline constexpr long double kMidGearTolerance = 0.0005L;

// True when revArmPos is mid gear: within kMidGearTolerance of RevArmPositions[0].
bool IsMidGear(const Model& design, float revArmPos);

// The events of one revolution at reverse-arm position revArmPos, the crank turning the way the
// main window turns it there: backwards when the arm stands beyond mid gear (RevArmPos greater
// than RevArmPositions[0] and not mid gear by IsMidGear). Each event is bracketed on a coarse sweep and refined to 1e-6 degree
// or to the resolution of the 32-bit crank angle, whichever is coarser.
ValveEventsResult AnalyseValveEvents(const Model& design, float revArmPos);

// The travel of the crank from the front dead centre in its turning direction, 0 <= t < 360:
// events that follow one another in time have growing turn angles.
double TurnAngle(const ValveEventsResult& r, double crankAngle);

// Front minus rear percentage of an event, when both ends have it.
std::optional<double> FrontMinusRear(const std::optional<ValveEvent>& front,
                                     const std::optional<ValveEvent>& rear);

// The five gear positions of the reverse-arm bar and its buttons.
enum class Gear { FullForward, NormalForward, Mid, NormalReverse, FullReverse };
inline constexpr std::array<Gear, 5> kStandardGears{
    Gear::FullForward, Gear::NormalForward, Gear::Mid, Gear::NormalReverse, Gear::FullReverse};

// Where the bar puts the reverse arm for a gear: mid gear - bar position / 1000, with the bar at
// +-Round(RevArmToCentMax * 1000) or +-Round(RevArmToCentNorm * 1000).
float GearRevArmPos(const Model& design, Gear g);
std::string_view GearName(Gear g);  // "full forward", "normal forward", "mid gear", ...
// The gear whose position revArmPos is, if any: mid gear by IsMidGear, the others the nearest
// within kMidGearTolerance of where GearRevArmPos puts them.
std::optional<Gear> GearAt(const Model& design, float revArmPos);

// A reverse-arm position brought into mid gear +- RevArmToCentMax, as the reverse-arm dialog does.
float ClampRevArmPos(const Model& design, float revArmPos);

// The events at each of the positions, in order.
std::vector<ValveEventsResult> AnalysePositions(const Model& design,
                                                std::span<const float> positions);
std::vector<float> StandardGearPositions(const Model& design);

}  // namespace tarn
