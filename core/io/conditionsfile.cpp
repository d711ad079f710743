// Reading and writing the conditions file. The conditions table gives the keys, the words, the
// units and where each value lives, so the file knows nothing of its own about them.
#include "core/io/conditionsfile.h"

#include <array>
#include <cstdint>
#include <vector>

#include "core/io/safefile.h"
#include "core/model/numfmt.h"

namespace tarn {

namespace {

// More than any conditions file holds: a longer file is not one.
constexpr std::size_t kMaxConditionsBytes = 1 << 20;

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::string Quoted(std::string_view s) { return "'" + std::string(s) + "'"; }

// A unit a file may give a value in, beside the one the conditions show it in.
struct FileUnit {
    std::string_view word;
    DisplayUnit unit;
};

// The units a file may give a quantity in; the first word of each unit is the one to name in a
// message.
std::vector<FileUnit> UnitsOf(ConditionQuantity q, const EngineConditions& c) {
    switch (q) {
        case ConditionQuantity::Pressure:
        case ConditionQuantity::AbsolutePressure:
            return {{"psi", PressureDisplay(PressureUnit::Psi)},
                    {"bar", PressureDisplay(PressureUnit::Bar)},
                    {"kPa", {"kPa", 1e3}},
                    {"MPa", {"MPa", 1e6}},
                    {"Pa", {"Pa", 1}}};
        case ConditionQuantity::Temperature:
            return {{"deg F", TemperatureDisplay(TemperatureUnit::Fahrenheit)},
                    {"F", TemperatureDisplay(TemperatureUnit::Fahrenheit)},
                    {"deg C", TemperatureDisplay(TemperatureUnit::Celsius)},
                    {"C", TemperatureDisplay(TemperatureUnit::Celsius)},
                    {"K", {"K", 1}}};
        case ConditionQuantity::TemperatureDifference:
            return {{"deg F", TemperatureDifferenceDisplay(TemperatureUnit::Fahrenheit)},
                    {"F", TemperatureDifferenceDisplay(TemperatureUnit::Fahrenheit)},
                    {"deg C", TemperatureDifferenceDisplay(TemperatureUnit::Celsius)},
                    {"C", TemperatureDifferenceDisplay(TemperatureUnit::Celsius)},
                    {"K", {"K", 1}}};
        case ConditionQuantity::Length:
            // The design's lengths have the length unit; a value in the other one is converted.
            if (c.lengthUnit == LengthUnit::Inch)
                return {{"in", {"in", 1}}, {"inch", {"in", 1}}, {"mm", {"mm", 1 / 25.4}}};
            return {{"mm", {"mm", 1}}, {"in", {"in", 25.4}}, {"inch", {"in", 25.4}}};
        case ConditionQuantity::RevPerMin:
            return {{"rev/min", {"rev/min", 1}}, {"rpm", {"rpm", 1}}};
        case ConditionQuantity::RoadSpeed:
            return {{"mph", RoadSpeedDisplay(SpeedGiven::Mph, c.lengthUnit)},
                    {"km/h", RoadSpeedDisplay(SpeedGiven::KmPerHour, c.lengthUnit)},
                    {"m/s", {"m/s", 1}}};
        case ConditionQuantity::Percent: return {{"%", {"%", 1}}};
        case ConditionQuantity::Choice:
        case ConditionQuantity::Count:
        case ConditionQuantity::Number: break;
    }
    return {};
}

std::string_view QuantityName(ConditionQuantity q) {
    switch (q) {
        case ConditionQuantity::Pressure:
        case ConditionQuantity::AbsolutePressure: return "pressure";
        case ConditionQuantity::Temperature: return "temperature";
        case ConditionQuantity::TemperatureDifference: return "temperature difference";
        case ConditionQuantity::Length: return "length";
        case ConditionQuantity::RevPerMin: return "engine speed";
        case ConditionQuantity::RoadSpeed: return "road speed";
        case ConditionQuantity::Percent: return "share";
        case ConditionQuantity::Choice:
        case ConditionQuantity::Count:
        case ConditionQuantity::Number: break;
    }
    return "number";
}

// One line of the file with a known key.
struct Entry {
    int line = 0;
    const ConditionInfo* row = nullptr;
    std::string_view value;
};

// Applies one entry to c; "" on success, else what is wrong with the value.
std::string Apply(const Entry& e, EngineConditions& c) {
    const ConditionInfo& row = *e.row;
    if (e.value.empty()) return "no value";
    if (row.quantity == ConditionQuantity::Choice) {
        std::string words;
        for (std::size_t i = 0; i < row.words.size(); ++i) {
            if (EqualsIgnoringCase(row.words[i], e.value)) {
                row.set(c, static_cast<double>(i));
                return "";
            }
            words += (i == 0 ? "" : i + 1 == row.words.size() ? " or " : ", ");
            words += row.words[i];
        }
        return Quoted(e.value) + " is not " + words;
    }
    // The number, then its unit: "100 psi", "100psi", "8 %".
    std::size_t end = 0;
    while (end < e.value.size() &&
           std::string_view("0123456789.+-eE").find(e.value[end]) != std::string_view::npos)
        ++end;
    const std::string_view number = e.value.substr(0, end);
    const std::string_view unit = Trimmed(e.value.substr(end));
    double v = 0;
    if (!ParseConditionNumber(number, v)) {
        // "1e999 psi" is a number, but none a double holds.
        const std::string_view shown = unit.empty() || number.empty() ? e.value : number;
        return Quoted(shown) + " is not a number";
    }
    if (row.quantity == ConditionQuantity::Count) {
        if (!unit.empty()) return "takes no unit, not " + Quoted(unit);
        if (v != std::round(v) || std::fabs(v) > 1e6)
            return Quoted(number) + " is not a whole number";
        row.set(c, v);
        return "";
    }
    const DisplayUnit own = ConditionUnit(row, c);
    if (unit.empty() || EqualsIgnoringCase(unit, own.text)) {
        row.set(c, v);
        return "";
    }
    const std::vector<FileUnit> units = UnitsOf(row.quantity, c);
    for (const FileUnit& u : units) {
        if (EqualsIgnoringCase(u.word, unit)) {
            row.set(c, own.FromSi(u.unit.ToSi(v)));
            return "";
        }
    }
    if (units.empty()) return "takes no unit, not " + Quoted(unit);
    std::string list;
    for (const FileUnit& u : units) {
        if (list.find(std::string(u.unit.text)) != std::string::npos) continue;
        list += (list.empty() ? "" : ", ") + std::string(u.unit.text);
    }
    return Quoted(unit) + " is not a unit of " + std::string(QuantityName(row.quantity)) + " (" +
           list + ")";
}

std::string LineText(int line) { return "line " + std::to_string(line) + ": "; }

}  // namespace

std::string ConditionsPathFor(std::string_view designPath) {
    const std::size_t sep = designPath.find_last_of("/\\");
    const std::size_t base = sep == std::string_view::npos ? 0 : sep + 1;
    const std::size_t dot = designPath.rfind('.');
    // A leading dot starts a name, not an extension (as the design's name is taken).
    const std::size_t stem = dot != std::string_view::npos && dot > base ? dot : designPath.size();
    return std::string(designPath.substr(0, stem)) + ".conditions";
}

std::string ConditionsText(const EngineConditions& c) {
    std::string text =
        "# The conditions an engine runs under, for the design of the same name beside this\n"
        "# file: key = value unit, one a line; '#' starts a comment.\n";
    for (const ConditionInfo& row : ConditionTable()) {
        text += std::string(row.key) + " = " + ConditionValueText(row, c);
        const std::string_view unit = ConditionUnit(row, c).text;
        if (!unit.empty()) text += " " + std::string(unit);
        text += '\n';
    }
    if (!c.unknown.empty()) text += "# Kept as they were read:\n";
    for (const auto& [key, value] : c.unknown) text.append(key).append(" = ").append(value) += '\n';
    return text;
}

FileResult ParseConditionsText(std::string_view text, EngineConditions& c) {
    std::vector<Entry> entries;
    std::vector<std::pair<std::string, std::string>> unknown;
    int line = 0;
    // A byte-order mark that an editor may put first is no part of the first key.
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    while (!text.empty()) {
        ++line;
        const std::size_t nl = text.find('\n');
        std::string_view l = text.substr(0, nl);
        text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
        if (const std::size_t hash = l.find('#'); hash != std::string_view::npos)
            l = l.substr(0, hash);
        l = Trimmed(l);
        if (l.empty()) continue;
        const std::size_t eq = l.find('=');
        const std::string_view key = eq == std::string_view::npos ? l : Trimmed(l.substr(0, eq));
        if (eq == std::string_view::npos || key.empty())
            return {false, LineText(line) + Quoted(l) + " is not key = value"};
        const std::string_view value = Trimmed(l.substr(eq + 1));
        const ConditionInfo* row = FindCondition(key);
        if (!row) {
            unknown.emplace_back(key, value);
            continue;
        }
        for (const Entry& e : entries)
            if (e.row == row)
                return {false, LineText(line) + std::string(row->key) +
                                   ": given twice (also on line " + std::to_string(e.line) + ")"};
        entries.push_back({line, row, value});
    }

    // The length unit chooses the defaults; the units and other choices count before any number.
    EngineConditions read = DefaultConditions(LengthUnit::Inch);
    for (const Entry& e : entries) {
        if (e.row->key != "length-unit") continue;
        if (std::string why = Apply(e, read); !why.empty())
            return {false, LineText(e.line) + std::string(e.row->key) + ": " + why};
        read = DefaultConditions(read.lengthUnit);
    }
    for (const bool choices : {true, false}) {
        for (const Entry& e : entries) {
            if ((e.row->quantity == ConditionQuantity::Choice) != choices) continue;
            if (std::string why = Apply(e, read); !why.empty())
                return {false, LineText(e.line) + std::string(e.row->key) + ": " + why};
        }
    }
    read.unknown = std::move(unknown);
    if (const ConditionsFault fault = FindConditionsFault(read); !fault.problem.empty()) {
        std::string where;
        for (const Entry& e : entries)
            if (e.row->key == fault.key) where = LineText(e.line);
        return {false, where + std::string(fault.key) + ": " + fault.problem};
    }
    c = std::move(read);
    return {true, ""};
}

FileResult LoadConditionsFile(const std::string& path, EngineConditions& c) {
    std::vector<std::uint8_t> bytes;
    const std::string why = ReadRegularFile(path, bytes, kMaxConditionsBytes + 1);
    if (!why.empty()) return {false, "Cannot open " + path + ": " + why};
    if (bytes.size() > kMaxConditionsBytes)
        return {false, path + ": too large for a conditions file"};
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    FileResult r = ParseConditionsText(text, c);
    if (!r.ok) r.error = path + ": " + r.error;
    return r;
}

FileResult SaveConditionsFile(const EngineConditions& c, const std::string& path) {
    const std::string why = WriteFileSafely(path, ConditionsText(c));
    if (!why.empty()) return {false, "Cannot save " + path + ": " + why};
    return {true, ""};
}

}  // namespace tarn
