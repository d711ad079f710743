// The valve events laid out for reading at a glance: one row per event, one group of three
// columns per gear position (front, rear, front - rear). The window shows it as it is; a second
// design (the reference) gives a grid of its own and a grid of the differences.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/analysis/valveevents.h"
#include "core/model/model.h"

namespace tarn {

// The crank's travel from this end's dead centre to the event, in degrees, in its turning
// direction: negative before the dead centre, positive after it (-180 < angle <= 180). Admission
// usually comes a little before the dead centre.
double DegreesFromDeadCentre(const ValveEventsResult& r, const ValveEvent& e, bool front);

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
};
inline constexpr int kEventRows = 11;

// "Lead [len]", "Admission [deg]", "Cut-off [%]" ...: the row titles with their units.
std::string EventRowTitle(EventRow row);
// A row in percent of the stroke whose front - rear the tolerance highlight watches.
bool IsHighlightedRow(EventRow row);

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
    std::array<std::array<GridCell, 3>, kEventRows> cells{};  // [row][front, rear, front - rear]
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
