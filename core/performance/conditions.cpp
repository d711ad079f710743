// The engine conditions: defaults, the absolute pressures and the speed, the checks, the display
// units and the table that windows and files read.
#include "core/performance/conditions.h"

#include "core/steam/if97.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <type_traits>
#include <utility>

#include "core/analysis/positionlist.h"
#include "core/model/numfmt.h"

namespace tarn {

namespace {

constexpr double kPaPerPsi = 6894.757293168361;
constexpr double kPaPerBar = 1e5;
constexpr double kMetresPerFoot = 0.3048;
constexpr double kKgPerPound = 0.45359237;
constexpr double kWattsPerHp = 745.69987158227022;  // 550 ft lbf/s
constexpr double kNewtonsPerLbf = 4.4482216152605;
constexpr double kMetresPerMile = 1609.344;
// The range the steam tables cover: the chest's saturation line up to 16.5 MPa, and 800 deg C.
constexpr double kMaxChestPressureAbs = 16.5e6;
constexpr double kMaxSteamTemperature = 1073.15;
constexpr double kCriticalPressure = 22.064e6;
constexpr double kTriplePressure = 611.213;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool Finite(double v) { return std::isfinite(v); }

std::string Shown(double si, const DisplayUnit& u) {
    const std::string n = ShortNumber(u.FromSi(si));
    return u.text.empty() ? n : n + " " + std::string(u.text);
}

}  // namespace

EngineConditions DefaultConditions(LengthUnit unit) {
    EngineConditions c;
    c.lengthUnit = unit;
    if (unit == LengthUnit::Inch) {
        c.pressureUnit = PressureUnit::Psi;
        c.temperatureUnit = TemperatureUnit::Fahrenheit;
        c.chestPressure = PressureDisplay(PressureUnit::Psi).ToSi(100);
        c.atmosphericPressure = PressureDisplay(PressureUnit::Psi).ToSi(14.696);
        c.steamTemperature = TemperatureDisplay(TemperatureUnit::Fahrenheit).ToSi(600);
    } else {
        c.pressureUnit = PressureUnit::Bar;
        c.temperatureUnit = TemperatureUnit::Celsius;
        c.chestPressure = PressureDisplay(PressureUnit::Bar).ToSi(7);
        c.atmosphericPressure = PressureDisplay(PressureUnit::Bar).ToSi(1.01325);
        c.steamTemperature = TemperatureDisplay(TemperatureUnit::Celsius).ToSi(300);
    }
    return c;
}

double MetresPerUnit(LengthUnit unit) { return unit == LengthUnit::Inch ? 0.0254 : 0.001; }

double ChestPressureAbs(const EngineConditions& c) {
    return c.chestPressure + c.atmosphericPressure;
}

double BackPressureAbs(const EngineConditions& c) { return c.backPressure + c.atmosphericPressure; }

double RevPerSecond(const EngineConditions& c, double driverDia) {
    if (c.speedGiven == SpeedGiven::RevPerMin) return c.revPerMin / 60.0;
    const double circumference = M_PI * driverDia * MetresPerUnit(c.lengthUnit);
    return circumference > 0 ? c.roadSpeed / circumference : 0.0;
}

double SaturationTemperatureAt(double p) {
    if (!(p >= kTriplePressure && p <= kCriticalPressure)) return kNaN;
    return steam::SaturationTemperature(p);
}

double ChestTemperature(const EngineConditions& c) {
    switch (c.supply) {
        case SteamSupply::Superheat:
            return SaturationTemperatureAt(ChestPressureAbs(c)) + c.superheat;
        case SteamSupply::Temperature: return c.steamTemperature;
        case SteamSupply::Saturated: break;
    }
    return SaturationTemperatureAt(ChestPressureAbs(c));
}

ConditionsFault FindConditionsFault(const EngineConditions& c) {
    const DisplayUnit p = PressureDisplay(c.pressureUnit);
    const DisplayUnit t = TemperatureDisplay(c.temperatureUnit);
    const DisplayUnit dt = TemperatureDifferenceDisplay(c.temperatureUnit);
    const bool if97 = c.model == SteamModel::If97;
    auto fault = [](std::string_view key, std::string text) {
        return ConditionsFault{key, std::move(text)};
    };
    if (!Finite(c.atmosphericPressure) || !(c.atmosphericPressure > 0))
        return fault("atmospheric-pressure", "atmospheric pressure must be above " + Shown(0, p));
    if (!Finite(c.chestPressure) || !(c.chestPressure > 0))
        return fault("chest-pressure", "chest pressure must be above " + Shown(0, p));
    if (if97 && ChestPressureAbs(c) > kMaxChestPressureAbs)
        return fault("chest-pressure", "chest pressure must be at most " +
                                           Shown(kMaxChestPressureAbs - c.atmosphericPressure, p) +
                                           " (the steam tables' range)");
    if (!Finite(c.backPressure) || !(c.backPressure > -c.atmosphericPressure))
        return fault("back-pressure", "back pressure must be above " +
                                          Shown(-c.atmosphericPressure, p) + " (a perfect vacuum)");
    if (!(c.backPressure < c.chestPressure))
        return fault("back-pressure", "back pressure must be below the chest pressure, " +
                                          Shown(c.chestPressure, p));
    const double saturation = SaturationTemperatureAt(ChestPressureAbs(c));
    // Saturated steam, with or without superheat, needs a saturation line: below the critical
    // point.
    if (c.supply != SteamSupply::Temperature && !Finite(saturation)) {
        if (ChestPressureAbs(c) < kCriticalPressure)
            return fault("chest-pressure", "chest pressure must be at least " +
                                               Shown(kTriplePressure - c.atmosphericPressure, p) +
                                               " (water's triple point)");
        return fault("chest-pressure", "chest pressure must be below " +
                                           Shown(kCriticalPressure - c.atmosphericPressure, p) +
                                           " (the critical point) unless a temperature is given");
    }
    if (c.supply == SteamSupply::Superheat) {
        if (!Finite(c.superheat) || !(c.superheat >= 0))
            return fault("superheat", "superheat must be at least " + Shown(0, dt));
        if (if97 && saturation + c.superheat > kMaxSteamTemperature)
            return fault("superheat", "superheat must be at most " +
                                          Shown(kMaxSteamTemperature - saturation, dt) +
                                          " (the steam tables end at " +
                                          Shown(kMaxSteamTemperature, t) + ")");
    }
    if (c.supply == SteamSupply::Temperature) {
        if (!Finite(c.steamTemperature))
            return fault("steam-temperature", "steam temperature must be a number");
        // A temperature typed as the saturation temperature is shown still counts as saturated.
        if (Finite(saturation) && c.steamTemperature < saturation - 1e-6)
            return fault("steam-temperature",
                         "steam temperature must be at least the saturation temperature at the "
                         "chest pressure, " +
                             Shown(saturation, t));
        if (!(c.steamTemperature > 0))
            return fault("steam-temperature", "steam temperature must be above " + Shown(0, t));
        if (if97 && c.steamTemperature > kMaxSteamTemperature)
            return fault("steam-temperature", "steam temperature must be at most " +
                                                  Shown(kMaxSteamTemperature, t) +
                                                  " (the steam tables' range)");
    }
    if (c.speedGiven == SpeedGiven::RevPerMin) {
        if (!Finite(c.revPerMin) || !(c.revPerMin > 0))
            return fault("rev-per-min", "engine speed must be above 0 rev/min");
    } else if (!Finite(c.roadSpeed) || !(c.roadSpeed > 0)) {
        return fault("road-speed", "road speed must be above " +
                                       Shown(0, RoadSpeedDisplay(c.speedGiven, c.lengthUnit)));
    }
    if (c.cylinders < 1 || c.cylinders > 16)
        return fault("cylinders", "cylinders must be 1 to 16, not " + std::to_string(c.cylinders));
    if (!Finite(c.rodDiameter) || !(c.rodDiameter >= 0))
        return fault("rod-diameter", "piston-rod diameter must be at least " +
                                         Shown(0, LengthDisplay(c.lengthUnit)));
    if (!Finite(c.passagePercent) || !(c.passagePercent >= 0 && c.passagePercent <= 100))
        return fault("passages", "passages must be 0 to 100 % of the swept volume");
    if (!Finite(c.dischargeCoefficient) ||
        !(c.dischargeCoefficient > 0 && c.dischargeCoefficient <= 1))
        return fault("discharge-coefficient",
                     "discharge coefficient must be above 0 and at most 1");
    if (!Finite(c.portBarShare) || !(c.portBarShare > 0 && c.portBarShare <= 1))
        return fault("port-bar-share",
                     "open share of the bush must be above 0 and at most 1 (the rest is bars)");
    return {};
}

std::string ConditionsProblem(const EngineConditions& c) { return FindConditionsFault(c).problem; }

// ---- Units ----

DisplayUnit PressureDisplay(PressureUnit u) {
    return u == PressureUnit::Psi ? DisplayUnit{"psi", kPaPerPsi} : DisplayUnit{"bar", kPaPerBar};
}

DisplayUnit TemperatureDisplay(TemperatureUnit u) {
    return u == TemperatureUnit::Fahrenheit ? DisplayUnit{"deg F", 5.0 / 9.0, 459.67}
                                            : DisplayUnit{"deg C", 1, 273.15};
}

DisplayUnit TemperatureDifferenceDisplay(TemperatureUnit u) {
    return u == TemperatureUnit::Fahrenheit ? DisplayUnit{"deg F", 5.0 / 9.0}
                                            : DisplayUnit{"deg C", 1};
}

DisplayUnit LengthDisplay(LengthUnit u) { return {u == LengthUnit::Inch ? "in" : "mm", 1}; }

DisplayUnit RoadSpeedDisplay(SpeedGiven given, LengthUnit u) {
    const bool mph =
        given == SpeedGiven::Mph || (given == SpeedGiven::RevPerMin && u == LengthUnit::Inch);
    return mph ? DisplayUnit{"mph", kMetresPerMile / 3600} : DisplayUnit{"km/h", 1 / 3.6};
}

DisplayUnit PistonSpeedDisplay(LengthUnit u) {
    return u == LengthUnit::Inch ? DisplayUnit{"ft/min", kMetresPerFoot / 60}
                                 : DisplayUnit{"m/s", 1};
}

DisplayUnit PowerDisplay(LengthUnit u) {
    return u == LengthUnit::Inch ? DisplayUnit{"hp", kWattsPerHp} : DisplayUnit{"kW", 1e3};
}

DisplayUnit ForceDisplay(LengthUnit u) {
    return u == LengthUnit::Inch ? DisplayUnit{"lbf", kNewtonsPerLbf} : DisplayUnit{"kN", 1e3};
}

DisplayUnit SteamRateDisplay(LengthUnit u) {
    return u == LengthUnit::Inch ? DisplayUnit{"lb/h", kKgPerPound} : DisplayUnit{"kg/h", 1};
}

DisplayUnit WaterRateDisplay(LengthUnit u) {
    // kg/kWh to lb per horsepower-hour: a pound is 0.45359 kg, a horsepower-hour 0.74570 kWh.
    return u == LengthUnit::Inch ? DisplayUnit{"lb/ihp-h", kKgPerPound * 1000 / kWattsPerHp}
                                 : DisplayUnit{"kg/kWh", 1};
}

std::string ShortNumber(double v, int decimals) {
    std::string s = Str(v, 0, decimals);
    if (s.find('.') != std::string::npos && std::isfinite(v)) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    return s;
}

// ---- The table ----

namespace {

constexpr std::array<std::string_view, 2> kLengthWords{"inch", "mm"};
constexpr std::array<std::string_view, 2> kPressureWords{"psi", "bar"};
constexpr std::array<std::string_view, 2> kTemperatureWords{"F", "C"};
constexpr std::array<std::string_view, 3> kSupplyWords{"saturated", "superheat", "temperature"};
constexpr std::array<std::string_view, 3> kSpeedWords{"rpm", "mph", "km/h"};
constexpr std::array<std::string_view, 2> kModelWords{"if97", "ideal"};

DisplayUnit UnitOf(ConditionQuantity q, const EngineConditions& c) {
    switch (q) {
        case ConditionQuantity::Pressure:
        case ConditionQuantity::AbsolutePressure: return PressureDisplay(c.pressureUnit);
        case ConditionQuantity::Temperature: return TemperatureDisplay(c.temperatureUnit);
        case ConditionQuantity::TemperatureDifference:
            return TemperatureDifferenceDisplay(c.temperatureUnit);
        case ConditionQuantity::Length: return LengthDisplay(c.lengthUnit);
        case ConditionQuantity::RevPerMin: return {kRevPerMinText, 1};
        case ConditionQuantity::RoadSpeed: return RoadSpeedDisplay(c.speedGiven, c.lengthUnit);
        case ConditionQuantity::Percent: return {"%", 1};
        case ConditionQuantity::Choice:
        case ConditionQuantity::Count:
        case ConditionQuantity::Number: break;
    }
    return {"", 1};
}

bool Always(const EngineConditions&) { return true; }
bool WithSuperheat(const EngineConditions& c) { return c.supply == SteamSupply::Superheat; }
bool WithTemperature(const EngineConditions& c) { return c.supply == SteamSupply::Temperature; }
bool WithRevPerMin(const EngineConditions& c) { return c.speedGiven == SpeedGiven::RevPerMin; }
bool WithRoadSpeed(const EngineConditions& c) { return c.speedGiven != SpeedGiven::RevPerMin; }

// A number stored in SI and shown in the unit of its quantity.
template <auto Member, ConditionQuantity Q>
double GetValue(const EngineConditions& c) {
    return UnitOf(Q, c).FromSi(c.*Member);
}
template <auto Member, ConditionQuantity Q>
void SetValue(EngineConditions& c, double v) {
    c.*Member = UnitOf(Q, c).ToSi(v);
}
template <auto Member, ConditionQuantity Q>
constexpr ConditionInfo Value(std::string_view key, std::string_view label,
                              bool (*used)(const EngineConditions&) = Always) {
    return {key, label, Q, {}, &GetValue<Member, Q>, &SetValue<Member, Q>, used};
}

// An enumeration shown as the index of its word; a number sets the nearest word, NaN the first.
template <auto Member>
double GetChoice(const EngineConditions& c) {
    return static_cast<int>(c.*Member);
}
template <auto Member, std::size_t N>
void SetChoice(EngineConditions& c, double v) {
    using E = std::remove_cvref_t<decltype(c.*Member)>;
    const double i = std::isnan(v) ? 0.0 : std::clamp(std::round(v), 0.0, double(N - 1));
    c.*Member = static_cast<E>(static_cast<int>(i));
}
template <auto Member, std::size_t N>
constexpr ConditionInfo Choice(std::string_view key, std::string_view label,
                               const std::array<std::string_view, N>& words) {
    return {
        key,   label, ConditionQuantity::Choice, words, &GetChoice<Member>, &SetChoice<Member, N>,
        Always};
}

double GetCylinders(const EngineConditions& c) { return c.cylinders; }
void SetCylinders(EngineConditions& c, double v) {
    c.cylinders = std::isnan(v) ? 0 : static_cast<int>(std::clamp(std::round(v), -1e6, 1e6));
}

using C = ConditionQuantity;
using EC = EngineConditions;

const std::array<ConditionInfo, 18> kConditions{{
    Choice<&EC::lengthUnit>("length-unit", "Length unit", kLengthWords),
    Choice<&EC::pressureUnit>("pressure-unit", "Pressure unit", kPressureWords),
    Choice<&EC::temperatureUnit>("temperature-unit", "Temperature unit", kTemperatureWords),
    Value<&EC::chestPressure, C::Pressure>("chest-pressure", "Steam-chest pressure"),
    Choice<&EC::supply>("steam-supply", "Steam supply", kSupplyWords),
    Value<&EC::superheat, C::TemperatureDifference>("superheat", "Superheat", WithSuperheat),
    Value<&EC::steamTemperature, C::Temperature>("steam-temperature", "Steam temperature",
                                                 WithTemperature),
    Value<&EC::backPressure, C::Pressure>("back-pressure", "Back pressure"),
    Value<&EC::atmosphericPressure, C::AbsolutePressure>("atmospheric-pressure",
                                                         "Atmospheric pressure"),
    Choice<&EC::speedGiven>("speed-given", "Speed given as", kSpeedWords),
    Value<&EC::revPerMin, C::RevPerMin>("rev-per-min", "Engine speed", WithRevPerMin),
    Value<&EC::roadSpeed, C::RoadSpeed>("road-speed", "Road speed", WithRoadSpeed),
    {"cylinders", "Cylinders", C::Count, {}, GetCylinders, SetCylinders, Always},
    Value<&EC::rodDiameter, C::Length>("rod-diameter", "Piston-rod diameter"),
    Value<&EC::passagePercent, C::Percent>("passages", "Passages (of the swept volume)"),
    Value<&EC::dischargeCoefficient, C::Number>("discharge-coefficient", "Discharge coefficient"),
    Value<&EC::portBarShare, C::Number>("port-bar-share", "Open share of the bush (bars)"),
    Choice<&EC::model>("steam-model", "Steam model", kModelWords),
}};

}  // namespace

std::span<const ConditionInfo> ConditionTable() { return kConditions; }

const ConditionInfo* FindCondition(std::string_view key) {
    for (const ConditionInfo& row : kConditions)
        if (EqualsIgnoringCase(row.key, key)) return &row;
    return nullptr;
}

DisplayUnit ConditionUnit(const ConditionInfo& row, const EngineConditions& c) {
    return UnitOf(row.quantity, c);
}

std::string ConditionValueText(const ConditionInfo& row, const EngineConditions& c) {
    const double v = row.get(c);
    if (row.quantity == ConditionQuantity::Choice) {
        const auto i = static_cast<std::size_t>(v);
        return i < row.words.size() ? std::string(row.words[i]) : std::string();
    }
    if (!std::isfinite(v)) return Str(v, 0, 0);
    auto readsBack = [&](const std::string& t) {
        double x = 0;
        if (!ParseConditionNumber(t, x)) return false;
        EngineConditions copy = c;
        row.set(copy, x);
        return copy == c;
    };
    std::array<char, 512> buf{};
    auto text = [&buf](double x, std::chars_format f, int digits) {
        const auto r = digits < 0
                           ? std::to_chars(buf.data(), buf.data() + buf.size(), x, f)
                           : std::to_chars(buf.data(), buf.data() + buf.size(), x, f, digits);
        return r.ec == std::errc() ? std::string(buf.data(), r.ptr) : std::string();
    };
    // The fewest decimals that store the same value again, else the shortest digits of it.
    for (int decimals = 0; decimals <= 9; ++decimals)
        if (std::string t = text(v, std::chars_format::fixed, decimals); readsBack(t)) return t;
    if (std::string t = text(v, std::chars_format::general, -1); readsBack(t)) return t;
    for (int digits = 1; digits <= 17; ++digits)
        if (std::string t = text(v, std::chars_format::general, digits); readsBack(t)) return t;
    // No decimal of the shown value stores it again: a neighbour of it may.
    double up = v, down = v;
    for (int k = 0; k < 8; ++k) {
        up = std::nextafter(up, std::numeric_limits<double>::infinity());
        down = std::nextafter(down, -std::numeric_limits<double>::infinity());
        for (const double x : {up, down})
            if (std::string t = text(x, std::chars_format::general, 17); readsBack(t)) return t;
    }
    return text(v, std::chars_format::general, 17);
}

bool ParseConditionNumber(std::string_view text, double& v) {
    long double checked = 0;
    if (!ParseWholeNumber(text, checked)) return false;
    if (text.front() == '+') text.remove_prefix(1);
    double x = 0;
    const auto r =
        std::from_chars(text.data(), text.data() + text.size(), x, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(x))
        return false;
    v = x;
    return true;
}

}  // namespace tarn
