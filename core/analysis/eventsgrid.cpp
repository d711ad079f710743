// The events grid: the analysis's numbers per event row and gear position, as text that never
// depends on the locale.
#include "core/analysis/eventsgrid.h"

#include <cmath>

#include "core/model/numfmt.h"

namespace tarn {

namespace {

enum class Unit { Length, Degrees, Percent };

Unit UnitOf(EventRow row) {
    switch (EventRowInfoOf(row).value) {
        case RowValue::FromDeadCentre: return Unit::Degrees;
        case RowValue::Travel: return Unit::Percent;
        case RowValue::Lead:
        case RowValue::MaxSteam:
        case RowValue::MaxExhaust:
        case RowValue::Mark: return Unit::Length;
    }
    return Unit::Length;
}

std::string Format(EventRow row, double v) { return Str(v, 0, EventRowDecimals(row)); }

// Admission reads as before or after the dead centre.
std::string AdmissionText(double degrees) {
    const std::string s = Str(std::fabs(degrees), 0, 2);
    if (s == "0.00") return "at dead centre";
    return s + (degrees < 0 ? " before" : " after");
}

std::optional<double> EndValue(const ValveEventsResult& r, EventRow row, bool front) {
    if (!r.ok()) return std::nullopt;
    const EventRowInfo& info = EventRowInfoOf(row);
    const EndEvents& e = front ? r.front : r.rear;
    const std::optional<ValveEvent>* ev = info.event ? &(e.*info.event) : nullptr;
    switch (info.value) {
        case RowValue::Lead: return e.lead;
        case RowValue::MaxSteam: return e.maxSteamOpening;
        case RowValue::MaxExhaust: return e.maxExhaustOpening;
        case RowValue::FromDeadCentre:
            return *ev ? std::optional(DegreesFromDeadCentre(r, **ev, front)) : std::nullopt;
        case RowValue::Travel: return *ev ? std::optional((*ev)->percent) : std::nullopt;
        case RowValue::Mark: return *ev ? std::optional((*ev)->mark) : std::nullopt;
    }
    return std::nullopt;
}

void SetCell(GridCell& cell, EventRow row, std::optional<double> v, bool difference) {
    cell.value = v;
    if (!v) return;
    const bool fromDeadCentre = EventRowInfoOf(row).value == RowValue::FromDeadCentre;
    cell.text = (fromDeadCentre && !difference) ? AdmissionText(*v) : Format(row, *v);
}

void MarkBeyond(GridCell& cell, EventRow row, double tolerance) {
    cell.beyond = IsHighlightedRow(row) && cell.value && std::fabs(*cell.value) > tolerance;
}

// Where in the revolution an end's value was found, for the cell's tip.
std::string Detail(const ValveEventsResult& r, EventRow row, bool front) {
    if (!r.ok()) return {};
    const EventRowInfo& info = EventRowInfoOf(row);
    const EndEvents& e = front ? r.front : r.rear;
    switch (info.value) {
        case RowValue::Lead: return front ? "at crank angle 0 deg" : "at crank angle 180 deg";
        case RowValue::MaxSteam: return "at crank angle " + Str(e.maxSteamAngle, 0, 3) + " deg";
        case RowValue::MaxExhaust: return "at crank angle " + Str(e.maxExhaustAngle, 0, 3) + " deg";
        case RowValue::FromDeadCentre:
        case RowValue::Travel:
        case RowValue::Mark: break;
    }
    const std::optional<ValveEvent>& ev = e.*info.event;
    if (!ev) return {};
    return "at crank angle " + Str(ev->crankAngle, 0, 3) + " deg, piston " +
           Str(ev->percent, 0, 2) + " % of the stroke from this end";
}

std::optional<double> Minus(const std::optional<double>& a, const std::optional<double>& b) {
    if (!a || !b) return std::nullopt;
    return *a - *b;
}

}  // namespace

double DegreesFromDeadCentre(const ValveEventsResult& r, const ValveEvent& e, bool front) {
    double d = TurnAngle(r, e.crankAngle) - (front ? 360.0 : 180.0);
    while (d <= -180.0) d += 360.0;
    while (d > 180.0) d -= 360.0;
    return d;
}

std::string EventRowTitle(EventRow row) { return std::string(EventRowInfoOf(row).title); }

bool IsHighlightedRow(EventRow row) { return UnitOf(row) == Unit::Percent; }

int EventRowDecimals(EventRow row) { return UnitOf(row) == Unit::Length ? 4 : 2; }

EventsGrid BuildEventsGrid(const Model& design, std::span<const ValveEventsResult> results,
                           double tolerance) {
    EventsGrid g;
    for (const ValveEventsResult& r : results) {
        GridColumn col;
        col.revArmPos = r.revArmPos;
        if (const auto gear = GearAt(design, r.revArmPos)) col.gear = GearName(*gear);
        col.heading = (col.gear.empty() ? std::string() : col.gear + " ") + Str(r.revArmPos, 0, 3) +
                      (r.reverse ? " Rev" : " Fwd");
        if (!r.ok()) col.error = "geometry error at crank angle " + Str(r.errorAngle, 0, 3);
        for (const EventRowInfo& info : kEventGridRows) {
            const EventRow row = info.row;
            auto& cells = col.cells[static_cast<std::size_t>(row)];
            const auto f = EndValue(r, row, true);
            const auto b = EndValue(r, row, false);
            SetCell(cells[0], row, f, false);
            SetCell(cells[1], row, b, false);
            cells[0].detail = Detail(r, row, true);
            cells[1].detail = Detail(r, row, false);
            SetCell(cells[2], row, Minus(f, b), true);
            MarkBeyond(cells[2], row, tolerance);
        }
        g.columns.push_back(std::move(col));
    }
    return g;
}

EventsGrid DifferenceGrid(const EventsGrid& design, const EventsGrid& reference, double tolerance) {
    EventsGrid g;
    const std::size_t n = std::min(design.columns.size(), reference.columns.size());
    for (std::size_t c = 0; c < n; ++c) {
        const GridColumn& d = design.columns[c];
        const GridColumn& r = reference.columns[c];
        GridColumn col;
        col.revArmPos = d.revArmPos;
        col.gear = d.gear;
        col.heading = d.heading;
        if (!d.error.empty()) col.error = d.error;
        else if (!r.error.empty()) col.error = "reference: " + r.error;
        for (const EventRowInfo& info : kEventGridRows) {
            const auto k = static_cast<std::size_t>(info.row);
            for (std::size_t e = 0; e < 3; ++e) {
                GridCell& cell = col.cells[k][e];
                SetCell(cell, info.row, Minus(d.cells[k][e].value, r.cells[k][e].value), true);
                MarkBeyond(cell, info.row, tolerance);
            }
        }
        g.columns.push_back(std::move(col));
    }
    return g;
}

std::vector<float> MatchingPositions(const Model& design, std::span<const float> positions,
                                     const Model& reference) {
    std::vector<float> out;
    out.reserve(positions.size());
    for (float p : positions) {
        const auto gear = GearAt(design, p);
        out.push_back(gear ? GearRevArmPos(reference, *gear) : p);
    }
    return out;
}

}  // namespace tarn
