// The conditions an engine runs under: what the steam and the exhaust are, how fast the engine
// turns, and what the drawing leaves out (the length unit, passages, port bars, the piston rod).
// The design's lengths are unit-less; these conditions give the physics its scale. Values are
// held in SI (pressures in Pa gauge, temperatures in K, speeds in rev/s) and shown in the units
// chosen here.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarn {

enum class LengthUnit { Inch, Millimetre };
enum class PressureUnit { Psi, Bar };
enum class TemperatureUnit { Fahrenheit, Celsius };
// What the steam in the chest is: dry saturated, so many kelvin of superheat, or a temperature.
enum class SteamSupply { Saturated, Superheat, Temperature };
// How the speed is given: the driver's rev/min, or a road speed through DriverDia.
enum class SpeedGiven { RevPerMin, Mph, KmPerHour };
// The working fluid: IAPWS-IF97 steam, or an ideal gas (gamma 1.3, R 461.5 J/(kg K)).
enum class SteamModel { If97, IdealGas };

struct EngineConditions {
    LengthUnit lengthUnit = LengthUnit::Inch;
    PressureUnit pressureUnit = PressureUnit::Psi;
    TemperatureUnit temperatureUnit = TemperatureUnit::Fahrenheit;

    double chestPressure = 689475.7293168361;  // Pa gauge (100 psi)
    SteamSupply supply = SteamSupply::Saturated;
    double superheat = 0;  // K above saturation, with SteamSupply::Superheat
    double steamTemperature = (600 + 459.67) * (5.0 / 9.0);   // K (600 deg F), with Temperature
    double backPressure = 0;                                  // Pa gauge
    double atmosphericPressure = 14.696 * 6894.757293168361;  // Pa (14.696 psi)

    SpeedGiven speedGiven = SpeedGiven::RevPerMin;
    double revPerMin = 200;  // used with SpeedGiven::RevPerMin
    double roadSpeed = 0;    // m/s, used with Mph and KmPerHour

    int cylinders = 2;
    double rodDiameter = 0;     // piston rod, in the design's length unit (0: none)
    double passagePercent = 8;  // passage volume per end, percent of that end's swept volume
    double dischargeCoefficient = 0.7;
    double portBarShare = 0.8;  // share of the valve bush's circumference open to the ports
    SteamModel model = SteamModel::If97;

    // Lines of a conditions file this program does not know, kept to be written back.
    std::vector<std::pair<std::string, std::string>> unknown;

    bool operator==(const EngineConditions&) const = default;
};

// The defaults for a length unit: psi and deg F with inches, bar and deg C with millimetres;
// 14.696 psi or 1.01325 bar of atmosphere, 100 psi or 7 bar in the chest, saturated (with a
// steam temperature of 600 deg F or 300 deg C ready for when a temperature is chosen).
EngineConditions DefaultConditions(LengthUnit unit);

// Metres per unit of the design's lengths.
double MetresPerUnit(LengthUnit unit);

// Absolute chest and back pressures (Pa) and the chest steam temperature (K), or NaN for
// saturated steam.
double ChestPressureAbs(const EngineConditions& c);
double BackPressureAbs(const EngineConditions& c);

// The engine's speed in revolutions per second, through the driving wheel's diameter (in the
// design's length unit) when a road speed is given.
double RevPerSecond(const EngineConditions& c, double driverDia);

// What is wrong with the conditions, empty when they can be simulated: names the value
// ("chest pressure must be above 0 psi").
std::string ConditionsProblem(const EngineConditions& c);

// The same with the file key of the value at fault ("chest-pressure"), so that a file or a window
// can point at it; both empty when the conditions can be simulated. Values the conditions do not
// use (the superheat of saturated steam, the road speed when rev/min are given) are not checked.
struct ConditionsFault {
    std::string_view key;
    std::string problem;
};
ConditionsFault FindConditionsFault(const EngineConditions& c);

// The saturation temperature (K) of water at absolute pressure p (Pa), from 611.213 Pa to the
// critical 22.064 MPa (the IAPWS-IF97 saturation line); NaN outside.
double SaturationTemperatureAt(double p);

// The chest steam's temperature (K): the saturation temperature, that plus the superheat, or the
// temperature given.
double ChestTemperature(const EngineConditions& c);

// ---- Units for display. The results follow the length unit: inches give imperial units (ft/min,
// hp, lbf, lb/h, lb/ihp-h), millimetres metric ones (m/s, kW, kN, kg/h, kg/kWh). Pressures
// follow the pressure unit, temperatures the temperature unit. ----

// A unit a value is shown in: si = (shown + offset) * siPerUnit.
struct DisplayUnit {
    std::string_view text;  // "psi", "deg F", "lb/ihp-h"; "" for a plain number
    double siPerUnit = 1;
    double offset = 0;  // 459.67 for deg F, 273.15 for deg C
    double FromSi(double si) const { return si / siPerUnit - offset; }
    double ToSi(double shown) const { return (shown + offset) * siPerUnit; }
};

DisplayUnit PressureDisplay(PressureUnit u);                  // Pa: psi or bar
DisplayUnit TemperatureDisplay(TemperatureUnit u);            // K: deg F or deg C
DisplayUnit TemperatureDifferenceDisplay(TemperatureUnit u);  // K of difference: deg F or deg C
DisplayUnit LengthDisplay(LengthUnit u);  // the design's own unit: in or mm, as it stands
DisplayUnit RoadSpeedDisplay(SpeedGiven given, LengthUnit u);  // m/s: mph or km/h
DisplayUnit PistonSpeedDisplay(LengthUnit u);                  // m/s: ft/min or m/s
DisplayUnit PowerDisplay(LengthUnit u);                        // W: hp or kW
DisplayUnit ForceDisplay(LengthUnit u);                        // N: lbf or kN
DisplayUnit SteamRateDisplay(LengthUnit u);                    // kg/h: lb/h or kg/h
DisplayUnit WaterRateDisplay(LengthUnit u);                    // kg/kWh: lb/ihp-h or kg/kWh
inline constexpr std::string_view kRevPerMinText = "rev/min";

// ---- The table of the conditions: one row per value, in the order a window and a file show
// them. The enumerations are rows too; their value is the index of their word. ----

enum class ConditionQuantity {
    Choice,                 // an enumeration: one of `words`
    Pressure,               // gauge, in the pressure unit
    AbsolutePressure,       // absolute, in the pressure unit
    Temperature,            // in the temperature unit
    TemperatureDifference,  // degrees of the temperature unit
    Length,                 // the design's length unit
    RevPerMin,
    RoadSpeed,  // mph or km/h, as the speed is given (with rev/min given: as the length unit)
    Percent,
    Count,   // a whole number
    Number,  // a plain number
};

struct ConditionInfo {
    std::string_view key;    // the file's key: "chest-pressure"
    std::string_view label;  // the window's label: "Steam-chest pressure"
    ConditionQuantity quantity;
    std::span<const std::string_view> words;  // a choice's words, in its enumeration's order
    // The value in display units (a choice: its word's index). The setter takes any number;
    // a choice or a count out of range is brought to the nearest one, and FindConditionsFault
    // says what cannot be simulated.
    double (*get)(const EngineConditions&);
    void (*set)(EngineConditions&, double);
    // Whether the conditions use the value (the superheat only with superheated steam).
    bool (*used)(const EngineConditions&);
};

std::span<const ConditionInfo> ConditionTable();
// The row of a file key, in any case; null for none.
const ConditionInfo* FindCondition(std::string_view key);
// The unit a row's value is shown in under the conditions' units ("" for a choice, a count or a
// plain number).
DisplayUnit ConditionUnit(const ConditionInfo& row, const EngineConditions& c);
// The value of a row as text: a choice's word, or the shortest decimal number that reads back to
// the same stored value, never depending on the locale ("100", "0.7").
std::string ConditionValueText(const ConditionInfo& row, const EngineConditions& c);
// A decimal number as files and options hold it: an optional sign, digits with an optional
// point, an optional exponent, nothing else, and finite as a double; never the locale's.
bool ParseConditionNumber(std::string_view text, double& v);
// A number as messages and reports show it: at most `decimals` decimals, no trailing zeros.
std::string ShortNumber(double v, int decimals = 4);

}  // namespace tarn
