// The valve events laid out for reading at a glance: one row per event, one group of three
// columns per gear position (front, rear, front - rear). The window shows it as it is; a second
// design (the reference) gives a grid of its own and a grid of the differences.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/analysis/valveevents.h"
#include "core/model/model.h"

namespace tarn {

// The crank's travel from this end's dead centre to the event, in degrees, in its turning
// direction: negative before the dead centre, positive after it (-180 < angle <= 180). Admission
// usually comes a little before the dead centre.
double DegreesFromDeadCentre(const ValveEventsResult& r, const ValveEvent& e, bool front);

// The four events of a port, in the order they follow one another, with their names in the
// reports ("cut-off") and where an end's events hold them.
struct PortEventInfo {
    std::string_view name;
    std::optional<ValveEvent> EndEvents::*event;
};
inline constexpr std::array kPortEvents{
    PortEventInfo{"admission", &EndEvents::admission},
    PortEventInfo{"cut-off", &EndEvents::cutoff},
    PortEventInfo{"release", &EndEvents::release},
    PortEventInfo{"compression", &EndEvents::compression},
};

// The rows of the events grid, top to bottom. Count is no row: it counts them, so that
// kEventGridRows must have a row for each.
enum class EventRow {
    Lead,
    Admission,
    Cutoff,
    Release,
    Compression,
    MaxSteam,
    MaxExhaust,
    AdmissionMark,
    CutoffMark,
    ReleaseMark,
    CompressionMark,
    Count,
};

// What a row shows of each cylinder end.
enum class RowValue {
    Lead,            // the lead at the end's dead centre [len]
    MaxSteam,        // the largest steam opening [len]
    MaxExhaust,      // the largest exhaust opening [len]
    FromDeadCentre,  // the event's crank angle from the end's dead centre [deg]
    Travel,          // the piston's travel from the end's dead centre at the event [%]
    Mark,            // the crosshead's distance from the end's dead centre at the event [len]
};

// Everything keyed by a row: a row added to EventRow needs its line here and nowhere else.
struct EventRowInfo {
    EventRow row;
    std::string_view title;  // "Cut-off [% of stroke]": the title with its unit
    RowValue value;
    std::optional<ValveEvent> EndEvents::*event;  // the port event of an event's row, else null
};

inline constexpr std::array kEventGridRows{
    EventRowInfo{EventRow::Lead, "Lead [len]", RowValue::Lead, nullptr},
    EventRowInfo{EventRow::Admission, "Admission [deg from dead centre]", RowValue::FromDeadCentre,
                 &EndEvents::admission},
    EventRowInfo{EventRow::Cutoff, "Cut-off [% of stroke]", RowValue::Travel, &EndEvents::cutoff},
    EventRowInfo{EventRow::Release, "Release [% of stroke]", RowValue::Travel, &EndEvents::release},
    EventRowInfo{EventRow::Compression, "Compression [% of stroke]", RowValue::Travel,
                 &EndEvents::compression},
    EventRowInfo{EventRow::MaxSteam, "Largest steam opening [len]", RowValue::MaxSteam, nullptr},
    EventRowInfo{EventRow::MaxExhaust, "Largest exhaust opening [len]", RowValue::MaxExhaust,
                 nullptr},
    EventRowInfo{EventRow::AdmissionMark, "Mark: admission [len]", RowValue::Mark,
                 &EndEvents::admission},
    EventRowInfo{EventRow::CutoffMark, "Mark: cut-off [len]", RowValue::Mark, &EndEvents::cutoff},
    EventRowInfo{EventRow::ReleaseMark, "Mark: release [len]", RowValue::Mark, &EndEvents::release},
    EventRowInfo{EventRow::CompressionMark, "Mark: compression [len]", RowValue::Mark,
                 &EndEvents::compression},
};

// The rows' values of an event belong to an event, the others to none.
constexpr bool NeedsEvent(RowValue v) {
    switch (v) {
        case RowValue::Lead:
        case RowValue::MaxSteam:
        case RowValue::MaxExhaust: return false;
        case RowValue::FromDeadCentre:
        case RowValue::Travel:
        case RowValue::Mark: return true;
    }
    return false;
}

// One line per row, in the enum's order, each with its title and, where it needs one, its event.
constexpr bool EventRowsAreComplete() {
    if (kEventGridRows.size() != static_cast<std::size_t>(EventRow::Count)) return false;
    for (std::size_t i = 0; i < kEventGridRows.size(); ++i) {
        const EventRowInfo& r = kEventGridRows[i];
        if (r.row != static_cast<EventRow>(i) || r.title.empty() ||
            NeedsEvent(r.value) != (r.event != nullptr))
            return false;
    }
    return true;
}
static_assert(EventRowsAreComplete(), "every event row needs one line of kEventGridRows");

inline constexpr int kEventRows = static_cast<int>(kEventGridRows.size());

constexpr const EventRowInfo& EventRowInfoOf(EventRow row) {
    return kEventGridRows[static_cast<std::size_t>(row)];
}
// "Lead [len]", "Admission [deg]", "Cut-off [%]" ...: the row titles with their units.
std::string EventRowTitle(EventRow row);
// A row in percent of the stroke whose front - rear the tolerance highlight watches.
bool IsHighlightedRow(EventRow row);
// The decimals a row's numbers are written with: percentages and degrees two, lengths four.
int EventRowDecimals(EventRow row);

struct GridCell {
    std::optional<double> value;  // empty: the event does not happen (or a geometry error)
    std::string text;             // the value as shown ("24.52 before" for an admission)
    bool beyond = false;          // a difference beyond the tolerance
    std::string detail;           // where in the revolution: "crank angle 126.359 deg, ..."
};

// The three columns of one gear position.
struct GridColumn {
    float revArmPos = 0;
    std::string gear;     // "normal forward", or "" for a position without a name
    std::string heading;  // "normal forward 4.497 Fwd"
    std::string error;    // a geometry error's reason, shown in place of the numbers
    std::array<std::array<GridCell, 3>, kEventGridRows.size()>
        cells{};  // [row][front, rear, front - rear]
};

struct EventsGrid {
    std::vector<GridColumn> columns;
};

// The grid of one design's results; front - rear cells of the percentage rows beyond tolerance
// (percent of the stroke) are marked.
EventsGrid BuildEventsGrid(const Model& design, std::span<const ValveEventsResult> results,
                           double tolerance);

// Cell by cell `design` minus `reference` (same positions in the same order: as many columns as
// both have); differences in the percentage rows beyond tolerance are marked. A column where
// either has a geometry error carries that error.
EventsGrid DifferenceGrid(const EventsGrid& design, const EventsGrid& reference, double tolerance);

// The positions on `reference` that stand for `positions` on `design`: a named gear position
// becomes the same gear on the reference (its own mid gear and limits); any other stays.
std::vector<float> MatchingPositions(const Model& design, std::span<const float> positions,
                                     const Model& reference);

}  // namespace tarn
