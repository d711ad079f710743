// The conditions an engine runs under: what the steam and the exhaust are, how fast the engine
// turns, and what the drawing leaves out (the length unit, passages, port bars, the piston rod).
// The design's lengths are unit-less; these conditions give the physics its scale. Values are
// held in SI (pressures in Pa gauge, temperatures in K, speeds in rev/s) and shown in the units
// chosen here.
#pragma once

#include <string>
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
    double superheat = 0;                   // K above saturation, with SteamSupply::Superheat
    double steamTemperature = 0;            // K, with SteamSupply::Temperature
    double backPressure = 0;                // Pa gauge
    double atmosphericPressure = 101325.0;  // Pa (14.696 psi)

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
// 14.696 psi or 1.01325 bar of atmosphere, 100 psi or 7 bar in the chest, saturated.
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

}  // namespace tarn
