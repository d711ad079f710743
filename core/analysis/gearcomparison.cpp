// What a change of the dimensions did at the standard gears: each warning compares the new
// design with the start at the same gear, so a gear that was already bad raises none.
#include "core/analysis/gearcomparison.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string_view>

#include "core/model/numfmt.h"

namespace tarn {

namespace {

// A port opens to steam in the revolution.
bool Opens(const EndEvents& e) { return e.admission.has_value() && e.maxSteamOpening > 0; }

std::string Cat(std::initializer_list<std::string_view> parts) {
    std::string s;
    for (std::string_view p : parts) s += p;
    return s;
}

}  // namespace

GearComparison CompareStandardGears(const Model& before, const Model& after,
                                    const OptimiseSettings& settings) {
    GearComparison c;
    c.before = AnalysePositions(before, StandardGearPositions(before));
    c.after = AnalysePositions(after, StandardGearPositions(after));
    const std::vector<OptimisePosition> held = ConstraintPositions(settings);
    const std::string minimum = Str(settings.minLead, 0, 4);
    for (std::size_t g = 0; g < kStandardGears.size() && g < c.before.size() && g < c.after.size();
         ++g) {
        const ValveEventsResult& b = c.before[g];
        const ValveEventsResult& a = c.after[g];
        const std::string gear(GearName(kStandardGears[g]));
        auto warn = [&](GearWarningKind kind, bool front, std::string text) {
            c.warnings.push_back({kind, g, front, std::move(text)});
        };
        if (!a.ok()) {
            if (b.ok())
                warn(GearWarningKind::GeometryError, true,
                     "the linkage cannot close at " + gear + ".");
            continue;
        }
        const bool isHeld = std::any_of(held.begin(), held.end(), [&](const OptimisePosition& p) {
            return p.gear && *p.gear == kStandardGears[g];
        });
        for (const bool front : {true, false}) {
            const EndEvents& be = front ? b.front : b.rear;
            const EndEvents& ae = front ? a.front : a.rear;
            const std::string_view which = front ? "front" : "rear";
            if (b.ok() && Opens(be) && !Opens(ae))
                warn(GearWarningKind::PortStopsOpening, front,
                     Cat({"the ", which, " port no longer opens to steam at ", gear, "."}));
            if (ae.lead < 0 && !(b.ok() && be.lead < 0))
                warn(GearWarningKind::LeadNegative, front,
                     Cat({"the ", which, " lead at ", gear, " turns negative (", Str(ae.lead, 0, 4),
                          ")."}));
            else if (!isHeld && ae.lead < settings.minLead &&
                     !(b.ok() && be.lead < settings.minLead))
                warn(GearWarningKind::LeadBelowMinimum, front,
                     Cat({"the ", which, " lead at ", gear, " falls below the minimum ", minimum,
                          " (", Str(ae.lead, 0, 4), ")."}));
        }
        const std::optional<double> bd = FrontMinusRear(b.front.cutoff, b.rear.cutoff);
        const std::optional<double> ad = FrontMinusRear(a.front.cutoff, a.rear.cutoff);
        if (b.ok() && bd && ad && std::fabs(*ad) > std::fabs(*bd) + kCutoffWarningPoints)
            warn(GearWarningKind::CutoffDifference, true,
                 Cat({"front-rear cut-off at ", gear, " grows from ", Str(*bd, 0, 2), " % to ",
                      Str(*ad, 0, 2), " %."}));
    }
    return c;
}

}  // namespace tarn
