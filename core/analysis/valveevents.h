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

// The linkage over one revolution at even steps of the turn, for what follows the crank angle
// through a whole revolution (the engine model): sample k stands at k * 360 / n degrees turned
// from the front dead centre in the crank's turning direction at that setting.
struct RevolutionSample {
    double fromFront = 0;  // the crosshead's travel from the front dead centre, 0..1
    // The openings FrontSteamOpen, FrontExhaustOpen, RearSteamOpen, RearExhaustOpen: > 0 open
    // by so much, < 0 lapped by so much.
    std::array<double, 4> open{};
};
struct RevolutionSamples {
    bool reverse = false;
    bool geometryError = false;
    double errorAngle = 0;
    double crossheadTravel = 0;        // between the crosshead's dead centres, design's length unit
    std::vector<RevolutionSample> at;  // empty after a geometry error
};
RevolutionSamples SampleRevolution(const Model& design, float revArmPos, int n);

// The travel of the crank from the front dead centre in its turning direction, 0 <= t < 360:
// events that follow one another in time have growing turn angles.
double TurnAngle(const ValveEventsResult& r, double crankAngle);

// Front minus rear percentage of an event, when both ends have it.
std::optional<double> FrontMinusRear(const std::optional<ValveEvent>& front,
                                     const std::optional<ValveEvent>& rear);

// The standard gears: the settings of the reverse-arm bar and its buttons, from full forward to
// full reverse. Count is no gear: it counts them, so that kGears must have a row for each.
enum class Gear { FullForward, NormalForward, Mid, NormalReverse, FullReverse, Count };

// How far from mid gear the bar puts the reverse arm for a gear: not at all, by
// RevArmToCentNorm or by RevArmToCentMax.
enum class GearReach { Centre, Normal, Full };

// Everything keyed by a gear. A gear added to Gear needs its row here and nowhere else: the
// reports, the gear curve, the command line and the windows read this table.
struct GearInfo {
    Gear gear;
    std::string_view name;       // "full forward": reports, windows, warnings
    std::string_view shortName;  // "full fwd": the gear curve's label over the gear's line
    std::string_view word;       // "Min": the command line's word for it, in any case
    std::string_view id;         // "FullForward": the windows' objectNames ("GearFullForward")
    GearReach reach;
    int side;  // -1 toward forward, +1 toward reverse, 0 at mid gear
};

inline constexpr std::array kGears{
    GearInfo{Gear::FullForward, "full forward", "full fwd", "Min", "FullForward", GearReach::Full,
             -1},
    GearInfo{Gear::NormalForward, "normal forward", "normal fwd", "Fwd", "NormalForward",
             GearReach::Normal, -1},
    GearInfo{Gear::Mid, "mid gear", "mid", "Cen", "Mid", GearReach::Centre, 0},
    GearInfo{Gear::NormalReverse, "normal reverse", "normal rev", "Rev", "NormalReverse",
             GearReach::Normal, +1},
    GearInfo{Gear::FullReverse, "full reverse", "full rev", "Max", "FullReverse", GearReach::Full,
             +1},
};

// One row per gear, in the enum's order, and only mid gear stands at the centre.
constexpr bool GearRowsAreComplete() {
    if (kGears.size() != static_cast<std::size_t>(Gear::Count)) return false;
    for (std::size_t i = 0; i < kGears.size(); ++i) {
        const GearInfo& g = kGears[i];
        if (g.gear != static_cast<Gear>(i) || g.name.empty() || g.shortName.empty() ||
            g.word.empty() || g.id.empty())
            return false;
        if ((g.reach == GearReach::Centre) != (g.side == 0) || g.side < -1 || g.side > 1)
            return false;
    }
    return true;
}
static_assert(GearRowsAreComplete(), "every gear needs one row of kGears, in the enum's order");

constexpr const GearInfo& GearInfoOf(Gear g) { return kGears[static_cast<std::size_t>(g)]; }
constexpr std::string_view GearName(Gear g) { return GearInfoOf(g).name; }

// The gears in table order, from full forward to full reverse.
inline constexpr std::array<Gear, kGears.size()> kStandardGears = [] {
    std::array<Gear, kGears.size()> out{};
    for (std::size_t i = 0; i < kGears.size(); ++i) out[i] = kGears[i].gear;
    return out;
}();

// The gears nearest mid gear first: mid gear, the normal gears, then the full ones, each reach
// in table order. Where two gears stand at the same place, the nearer one names it.
inline constexpr std::array<Gear, kGears.size()> kGearsFromMid = [] {
    std::array<Gear, kGears.size()> out{};
    std::size_t n = 0;
    for (const GearReach reach : {GearReach::Centre, GearReach::Normal, GearReach::Full})
        for (const GearInfo& g : kGears)
            if (g.reach == reach) out[n++] = g.gear;
    return out;
}();

// Where the bar puts the reverse arm for a gear: mid gear - bar position / 1000, with the bar at
// +-Round(RevArmToCentMax * 1000) or +-Round(RevArmToCentNorm * 1000).
float GearRevArmPos(const Model& design, Gear g);
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
