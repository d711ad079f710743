// The performance command: its options, the conditions from a file, the defaults or both with
// options over them, the simulation, and the table as text or CSV.
#include "cli/performancecli.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "cli/cli.h"
#include "core/analysis/valveevents.h"
#include "core/io/conditionsfile.h"
#include "core/io/dimensionfile.h"
#include "core/model/model.h"
#include "core/model/numfmt.h"
#include "core/performance/conditions.h"
#include "core/performance/engine.h"
#include "core/performance/performancetable.h"

namespace tarn {

namespace {

// An option that sets one value of the conditions, in the conditions' units.
struct ValueOption {
    std::string_view option;
    std::string_view key;  // its row of the conditions table
};

constexpr std::array<ValueOption, 9> kValueOptions{{
    {"--chest-pressure", "chest-pressure"},
    {"--back-pressure", "back-pressure"},
    {"--superheat", "superheat"},
    {"--steam-temperature", "steam-temperature"},
    {"--passages", "passages"},
    {"--cd", "discharge-coefficient"},
    {"--bars", "port-bar-share"},
    {"--rod-diameter", "rod-diameter"},
    {"--cylinders", "cylinders"},
}};

// The most speeds a list may hold, as for positions.
constexpr std::size_t kMaxSpeeds = 100;

struct Options {
    std::string design;
    std::optional<std::string> conditions, positions, speeds, units, pressureUnit, temperatureUnit,
        steam, format;
    std::array<std::optional<std::string>, kValueOptions.size()> values;
};

std::string Quoted(std::string_view s) { return "'" + std::string(s) + "'"; }

// An option that takes one of a few words; index is set to the word's.
struct WordOption {
    const std::optional<std::string>* value;
    std::string_view option;
    std::span<const std::string_view> words;
    std::string_view list;  // for the message
    std::optional<int>* index;
};

// "inch" as the conditions file writes it is taken too, as the same unit as "in".
constexpr std::array<std::string_view, 3> kUnitWords{"in", "mm", "inch"};
constexpr std::array<std::string_view, 2> kPressureWords{"psi", "bar"};
constexpr std::array<std::string_view, 2> kTemperatureWords{"F", "C"};
constexpr std::array<std::string_view, 2> kSteamWords{"if97", "ideal"};
constexpr std::array<std::string_view, 2> kFormatWords{"text", "csv"};

// The speeds of a comma-separated list; on one it cannot take, what to say about it.
std::optional<std::string> ParseSpeeds(std::string_view list, std::vector<double>& out) {
    out.clear();
    for (std::size_t start = 0;;) {
        const std::size_t comma = list.find(',', start);
        std::string_view entry = list.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        while (!entry.empty() && entry.front() == ' ') entry.remove_prefix(1);
        while (!entry.empty() && entry.back() == ' ') entry.remove_suffix(1);
        double v = 0;
        if (!ParseConditionNumber(entry, v) || !(v > 0))
            return "cannot take " + Quoted(entry) +
                   " in --speeds (rev/min above 0, separated by commas)";
        out.push_back(v);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    if (out.size() > kMaxSpeeds)
        return "--speeds takes at most " + std::to_string(kMaxSpeeds) + " speeds, not " +
               std::to_string(out.size());
    return std::nullopt;
}

}  // namespace

int RunPerformanceCommand(int argc, char** argv, std::ostream& out, std::ostream& err,
                          const std::function<int(const std::string&)>& usage) {
    Options o;
    for (int i = 2; i < argc; ++i) {
        const std::string_view a = argv[i] ? argv[i] : "";
        const Argument arg = SplitArgument(a);
        const std::string_view key = arg.key;
        std::optional<std::string>* slot = nullptr;
        if (key == "--conditions") slot = &o.conditions;
        else if (key == "--positions") slot = &o.positions;
        else if (key == "--speeds") slot = &o.speeds;
        else if (key == "--units") slot = &o.units;
        else if (key == "--pressure-unit") slot = &o.pressureUnit;
        else if (key == "--temperature-unit") slot = &o.temperatureUnit;
        else if (key == "--steam") slot = &o.steam;
        else if (key == "--format") slot = &o.format;
        for (std::size_t k = 0; k < kValueOptions.size(); ++k)
            if (key == kValueOptions[k].option) slot = &o.values[k];
        const std::optional<std::string> bad =
            slot ? StoreValue(*slot, arg, argc, argv, i) : TakeDesignName(a, o.design);
        if (bad) return usage(*bad);
    }

    // Every option's words and numbers before any file is read.
    std::optional<int> units, pressureUnit, temperatureUnit, steam, format;
    const std::array<WordOption, 5> wordOptions{{
        {&o.units, "--units", kUnitWords, "in or mm", &units},
        {&o.pressureUnit, "--pressure-unit", kPressureWords, "psi or bar", &pressureUnit},
        {&o.temperatureUnit, "--temperature-unit", kTemperatureWords, "F or C", &temperatureUnit},
        {&o.steam, "--steam", kSteamWords, "if97 or ideal", &steam},
        {&o.format, "--format", kFormatWords, "text or csv", &format},
    }};
    for (const WordOption& w : wordOptions) {
        if (!*w.value) continue;
        for (std::size_t i = 0; i < w.words.size(); ++i)
            if (EqualsIgnoringCase(w.words[i], **w.value)) *w.index = static_cast<int>(i);
        if (!*w.index)
            return usage("cannot take " + Quoted(**w.value) + " for " + std::string(w.option) +
                         " (" + std::string(w.list) + ")");
    }
    std::array<double, kValueOptions.size()> values{};
    for (std::size_t k = 0; k < kValueOptions.size(); ++k) {
        if (!o.values[k]) continue;
        const bool whole = kValueOptions[k].key == "cylinders";
        if (!ParseConditionNumber(*o.values[k], values[k]) ||
            (whole && values[k] != std::round(values[k])))
            return usage("cannot take " + Quoted(*o.values[k]) + " for " +
                         std::string(kValueOptions[k].option) +
                         (whole ? " (a whole number)" : " (a number)"));
    }
    const auto given = [&](std::string_view key) {
        for (std::size_t k = 0; k < kValueOptions.size(); ++k)
            if (kValueOptions[k].key == key) return o.values[k].has_value();
        return false;
    };
    if (given("superheat") && given("steam-temperature"))
        return usage("cannot take both --superheat and --steam-temperature");
    if (o.conditions && o.conditions->empty())
        return usage("cannot take an empty name for --conditions");
    std::vector<double> speeds;
    if (const auto refused = ParseSpeeds(o.speeds ? *o.speeds : "100,200,300", speeds))
        return usage(*refused);
    if (o.positions) {
        // The list's words and numbers now; the positions once the design is loaded.
        std::vector<float> unused;
        Model scratch;
        StartUp(scratch);
        if (const auto refused = ParsePositions(*o.positions, scratch, unused))
            return usage(*refused);
    }

    Model m;
    StartUp(m);
    if (!o.design.empty()) {
        const FileResult loaded = LoadDimensionFile(m, o.design);
        if (!loaded.ok) {
            err << (loaded.error.empty() ? "Cannot read " + o.design : loaded.error) << '\n';
            return kCliFileRefused;
        }
    }
    const LengthUnit lengthUnit = units && *units == 1 ? LengthUnit::Millimetre : LengthUnit::Inch;
    EngineConditions c = DefaultConditions(lengthUnit);
    std::string conditionsPath = o.conditions.value_or("");
    if (conditionsPath.empty() && !o.design.empty()) {
        std::error_code ec;
        if (const std::string beside = ConditionsPathFor(o.design);
            std::filesystem::exists(beside, ec))
            conditionsPath = beside;
    }
    if (!conditionsPath.empty()) {
        const FileResult loaded = LoadConditionsFile(conditionsPath, c);
        if (!loaded.ok) {
            err << loaded.error << '\n';
            return kCliFileRefused;
        }
        if (units) c.lengthUnit = lengthUnit;
    }
    if (pressureUnit) c.pressureUnit = static_cast<PressureUnit>(*pressureUnit);
    if (temperatureUnit) c.temperatureUnit = static_cast<TemperatureUnit>(*temperatureUnit);
    if (steam) c.model = static_cast<SteamModel>(*steam);
    if (given("superheat")) c.supply = SteamSupply::Superheat;
    if (given("steam-temperature")) c.supply = SteamSupply::Temperature;
    for (std::size_t k = 0; k < kValueOptions.size(); ++k)
        if (o.values[k]) FindCondition(kValueOptions[k].key)->set(c, values[k]);
    if (const ConditionsFault fault = FindConditionsFault(c); !fault.problem.empty()) {
        for (std::size_t k = 0; k < kValueOptions.size(); ++k)
            if (o.values[k] && kValueOptions[k].key == fault.key)
                return usage("cannot take " + Quoted(*o.values[k]) + " for " +
                             std::string(kValueOptions[k].option) + ": " + fault.problem);
        return usage("cannot run under these conditions: " + fault.problem);
    }

    std::vector<float> positions;
    if (o.positions) {
        if (const auto refused = ParsePositions(*o.positions, m, positions)) return usage(*refused);
    } else {
        positions = StandardGearPositions(m);
    }
    const std::vector<EnginePerformance> results = SimulateEngineMap(m, c, positions, speeds);
    if (format && *format == 1) WritePerformanceDelimited(out, m, c, results, speeds, ',');
    else WritePerformanceText(out, m, c, results, speeds);
    return kCliOk;
}

}  // namespace tarn
