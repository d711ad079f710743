// The standard gears of a design before and after a change of its dimensions (the gear
// optimiser's result), and what became worse there: the one judgement that the Optimise Gear
// window and the command line both show.
#pragma once

#include <string>
#include <vector>

#include "core/analysis/optimiser.h"
#include "core/analysis/valveevents.h"
#include "core/model/model.h"

namespace tarn {

enum class GearWarningKind {
    GeometryError,     // the linkage no longer closes at the gear
    PortStopsOpening,  // a port that opened to steam no longer does
    LeadNegative,      // a lead turns negative
    LeadBelowMinimum,  // a lead falls below the minimum at a gear the optimiser did not hold
    CutoffDifference,  // |front - rear cut-off| grows by more than kCutoffWarningPoints
};

// A front - rear cut-off difference may grow by this many points of travel before it is worth a
// warning: less is the price of a better balance where the user asked for it.
inline constexpr double kCutoffWarningPoints = 1.0;

struct GearWarning {
    GearWarningKind kind = GearWarningKind::GeometryError;
    std::size_t gearIndex = 0;  // into kStandardGears
    bool front = true;          // which end (port, lead)
    std::string text;           // "the rear lead at full forward turns negative (-0.0021)."
};

struct GearComparison {
    std::vector<ValveEventsResult> before, after;  // one per kStandardGears entry
    std::vector<GearWarning> warnings;             // in gear order
};

// The events at the standard gears of both designs, each on its own mid gear, and the warnings:
// a geometry error where the start closed; a port that stops opening to steam; a lead that turns
// negative; a lead that falls below settings.minLead at a gear that is not among
// ConstraintPositions(settings) (at those the optimiser reports a broken minimum itself); a front
// - rear cut-off difference whose size grows by more than kCutoffWarningPoints.
GearComparison CompareStandardGears(const Model& before, const Model& after,
                                    const OptimiseSettings& settings);

}  // namespace tarn
