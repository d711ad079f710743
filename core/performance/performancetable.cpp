// Formatting of the performance table; every number goes through Str, so the locale never
// changes a decimal point.
#include "core/performance/performancetable.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "core/analysis/valveevents.h"
#include "core/model/numfmt.h"

namespace tarn {

namespace {

DisplayUnit PistonUnit(const EngineConditions& c) { return PistonSpeedDisplay(c.lengthUnit); }
DisplayUnit PressureUnitOf(const EngineConditions& c) { return PressureDisplay(c.pressureUnit); }
DisplayUnit PowerUnit(const EngineConditions& c) { return PowerDisplay(c.lengthUnit); }
DisplayUnit ForceUnit(const EngineConditions& c) { return ForceDisplay(c.lengthUnit); }
DisplayUnit SteamUnit(const EngineConditions& c) { return SteamRateDisplay(c.lengthUnit); }
DisplayUnit WaterUnit(const EngineConditions& c) { return WaterRateDisplay(c.lengthUnit); }
DisplayUnit Share(const EngineConditions&) { return {"", 1}; }
DisplayUnit Percent(const EngineConditions&) { return {"%", 0.01}; }

// A column of numbers after the position, gear and speed.
struct Column {
    std::string_view title;  // before its unit
    bool listed;             // in the readable listing too
    DisplayUnit (*unit)(const EngineConditions&);
    double (*si)(const EnginePerformance&, const EngineConditions&);
    int decimals = -1;  // -1: as the unit takes
};

// Decimals that show a value of the unit to a useful resolution.
int DecimalsOf(std::string_view unit) {
    constexpr std::array<std::pair<std::string_view, int>, 13> kDecimals{{{"psi", 2},
                                                                          {"bar", 4},
                                                                          {"ft/min", 1},
                                                                          {"m/s", 3},
                                                                          {"hp", 2},
                                                                          {"kW", 2},
                                                                          {"lbf", 1},
                                                                          {"kN", 4},
                                                                          {"lb/h", 1},
                                                                          {"kg/h", 2},
                                                                          {"lb/ihp-h", 3},
                                                                          {"kg/kWh", 3},
                                                                          {"%", 2}}};
    for (const auto& [text, decimals] : kDecimals)
        if (text == unit) return decimals;
    return 4;
}

using EP = EnginePerformance;
using EC = EngineConditions;

// The columns after Position, Gear and Rev/min: the first twelve fixed, the rest added later.
const std::array<Column, 17> kColumns{{
    {"Piston speed", true, PistonUnit, [](const EP& r, const EC&) { return r.pistonSpeed; }},
    {"MEP front", true, PressureUnitOf, [](const EP& r, const EC&) { return r.front.mep; }},
    {"MEP rear", true, PressureUnitOf, [](const EP& r, const EC&) { return r.rear.mep; }},
    {"MEP mean", true, PressureUnitOf, [](const EP& r, const EC&) { return r.mepMean; }},
    {"Indicated power", true, PowerUnit, [](const EP& r, const EC&) { return r.indicatedPower; }},
    {"Tractive effort", true, ForceUnit, [](const EP& r, const EC&) { return r.tractiveEffort; }},
    {"Steam per hour", true, SteamUnit, [](const EP& r, const EC&) { return r.steamPerHour; }},
    {"Water rate", true, WaterUnit, [](const EP& r, const EC&) { return r.waterRate; }},
    {"Cut-off pressure front", true, Share,
     [](const EP& r, const EC&) { return r.front.cutoffPressure; }},
    {"Cut-off pressure rear", true, Share,
     [](const EP& r, const EC&) { return r.rear.cutoffPressure; }},
    {"Peak compression front", true, PressureUnitOf,
     [](const EP& r, const EC& c) { return r.front.peakCompression - c.atmosphericPressure; }},
    {"Peak compression rear", true, PressureUnitOf,
     [](const EP& r, const EC& c) { return r.rear.peakCompression - c.atmosphericPressure; }},
    {"Release pressure front", true, PressureUnitOf,
     [](const EP& r, const EC& c) { return r.front.releasePressure - c.atmosphericPressure; }},
    {"Release pressure rear", true, PressureUnitOf,
     [](const EP& r, const EC& c) { return r.rear.releasePressure - c.atmosphericPressure; }},
    {"Efficiency", true, Percent, [](const EP& r, const EC&) { return r.efficiency; }},
    {"Revolutions", false, Share,
     [](const EP& r, const EC&) { return static_cast<double>(r.revolutions); }, 0},
    {"Problem", false, Share, nullptr},
}};

std::string Cell(const Column& col, const EnginePerformance& r, const EngineConditions& c) {
    if (!col.si) return r.ok ? std::string() : r.problem;
    if (!r.ok) return "";
    const DisplayUnit u = col.unit(c);
    return Str(u.FromSi(col.si(r, c)), 0, col.decimals >= 0 ? col.decimals : DecimalsOf(u.text));
}

std::string Title(std::string_view title, std::string_view unit) {
    return unit.empty() ? std::string(title) : std::string(title) + " [" + std::string(unit) + "]";
}

std::string GearLabel(const Model& design, float pos) {
    const auto g = GearAt(design, pos);
    return g ? std::string(GearName(*g)) : std::string();
}

std::string Pad(const std::string& s, std::size_t w) {
    return s.size() >= w ? s : std::string(w - s.size(), ' ') + s;
}

// The speed of results[i].
double SpeedOf(std::span<const double> revPerMin, std::size_t i) {
    return revPerMin.empty() ? 0.0 : revPerMin[i % revPerMin.size()];
}

}  // namespace

std::vector<std::string> PerformanceHeader(const EngineConditions& c) {
    std::vector<std::string> h{Title("Position", LengthDisplay(c.lengthUnit).text), "Gear",
                               "Rev/min"};
    for (const Column& col : kColumns) h.push_back(Title(col.title, col.unit(c).text));
    return h;
}

std::vector<std::string> PerformanceRow(const Model& design, const EngineConditions& c,
                                        const EnginePerformance& r, double revPerMin) {
    std::vector<std::string> row{Str(r.revArmPos, 0, 3), GearLabel(design, r.revArmPos),
                                 ShortNumber(revPerMin, 3)};
    for (const Column& col : kColumns) row.push_back(Cell(col, r, c));
    return row;
}

void WritePerformanceDelimited(std::ostream& out, const Model& design, const EngineConditions& c,
                               std::span<const EnginePerformance> results,
                               std::span<const double> revPerMin, char separator) {
    auto line = [&](const std::vector<std::string>& cells) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i) out << separator;
            const std::string& s = cells[i];
            if (s.find_first_of(std::string{separator, '"', '\n', '\r'}) == std::string::npos) {
                out << s;
                continue;
            }
            out << '"';
            for (const char ch : s) out << (ch == '"' ? "\"\"" : std::string(1, ch));
            out << '"';
        }
        out << '\n';
    };
    line(PerformanceHeader(c));
    for (std::size_t i = 0; i < results.size(); ++i)
        line(PerformanceRow(design, c, results[i], SpeedOf(revPerMin, i)));
}

void WritePerformanceText(std::ostream& out, const Model& design, const EngineConditions& c,
                          std::span<const EnginePerformance> results,
                          std::span<const double> revPerMin) {
    out << "Engine performance of " << design.design.DesignName << " (mid gear at "
        << Str(design.motion.RevArmPositions[0], 0, 3) << ")\n";
    // The conditions the table holds; the speeds are the table's own.
    std::size_t labelWidth = 0;
    for (const ConditionInfo& row : ConditionTable())
        labelWidth = std::max(labelWidth, row.label.size());
    for (const ConditionInfo& row : ConditionTable()) {
        if (!row.used(c) || row.key == "speed-given" || row.key == "rev-per-min" ||
            row.key == "road-speed")
            continue;
        std::string label(row.label);
        label.resize(labelWidth, ' ');
        out << "  " << label << "  ";
        if (row.quantity == ConditionQuantity::Choice) {
            out << ConditionValueText(row, c);
        } else {
            const std::string_view unit = ConditionUnit(row, c).text;
            out << ShortNumber(row.get(c)) << (unit.empty() ? "" : " ") << unit;
        }
        if (row.key == "steam-supply")
            out << " ("
                << ShortNumber(TemperatureDisplay(c.temperatureUnit).FromSi(ChestTemperature(c)), 1)
                << " " << TemperatureDisplay(c.temperatureUnit).text << " in the chest)";
        out << '\n';
    }
    out << "Pressures are gauge, above the atmosphere; the cut-off pressures are shares of the\n"
           "absolute chest pressure.\n";

    // Per position a column per speed and a line per quantity, then the speeds without a result.
    std::vector<const Column*> listed;
    for (const Column& col : kColumns)
        if (col.listed) listed.push_back(&col);
    const std::size_t perPosition = std::max<std::size_t>(revPerMin.size(), 1);
    for (std::size_t i = 0; i < results.size(); i += perPosition) {
        const auto here = results.subspan(i, std::min(perPosition, results.size() - i));
        out << '\n' << "Rev arm " << Str(here[0].revArmPos, 0, 3);
        if (const std::string gear = GearLabel(design, here[0].revArmPos); !gear.empty())
            out << " (" << gear << ")";
        out << '\n';
        if (std::any_of(here.begin(), here.end(), [](const EP& r) { return r.ok; })) {
            // cells[k][0] is the speed, then a cell per listed column.
            std::vector<std::vector<std::string>> cells(here.size());
            std::size_t width = 0;
            for (std::size_t k = 0; k < here.size(); ++k) {
                cells[k].push_back(ShortNumber(SpeedOf(revPerMin, i + k), 3) + " rev/min");
                for (const Column* col : listed)
                    cells[k].push_back(here[k].ok ? Cell(*col, here[k], c) : "-");
                for (const std::string& cell : cells[k]) width = std::max(width, cell.size());
            }
            for (std::size_t line = 0; line <= listed.size(); ++line) {
                std::string label =
                    line == 0 ? std::string()
                              : Title(listed[line - 1]->title, listed[line - 1]->unit(c).text);
                label.resize(std::max<std::size_t>(label.size(), 30), ' ');
                out << label;
                for (const auto& column : cells) out << "  " << Pad(column[line], width);
                out << '\n';
            }
        }
        for (std::size_t k = 0; k < here.size(); ++k)
            if (!here[k].ok)
                out << "  at " << ShortNumber(SpeedOf(revPerMin, i + k), 3)
                    << " rev/min: " << here[k].problem << '\n';
    }
}

}  // namespace tarn
