// The engine conditions and their file: the checks with their messages, a file's round trip in
// both unit systems, values given in another unit, and files refused without a half-read result.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/io/conditionsfile.h"
#include "core/performance/conditions.h"

using namespace tarn;
namespace fs = std::filesystem;

namespace {

// Sets a row by its key, in display units (a choice: its word's index).
void Set(EngineConditions& c, std::string_view key, double v) {
    const ConditionInfo* row = FindCondition(key);
    ASSERT_NE(row, nullptr) << key;
    row->set(c, v);
}

double Get(const EngineConditions& c, std::string_view key) {
    const ConditionInfo* row = FindCondition(key);
    return row ? row->get(c) : -1e300;
}

fs::path TempFile(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / ("tarn-cond-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir / name;
}

}  // namespace

TEST(Conditions, ChecksNameTheValueInTheChosenUnits) {
    for (const LengthUnit u : {LengthUnit::Inch, LengthUnit::Millimetre})
        EXPECT_EQ(ConditionsProblem(DefaultConditions(u)), "");
    // A window starting from plain conditions shows the inch defaults' round numbers.
    EXPECT_EQ(EngineConditions{}, DefaultConditions(LengthUnit::Inch));

    EngineConditions c = DefaultConditions(LengthUnit::Inch);
    c.chestPressure = 0;
    EXPECT_EQ(ConditionsProblem(c), "chest pressure must be above 0 psi");
    c = DefaultConditions(LengthUnit::Millimetre);
    c.chestPressure = -1;
    EXPECT_EQ(FindConditionsFault(c).key, "chest-pressure");
    EXPECT_EQ(ConditionsProblem(c), "chest pressure must be above 0 bar");

    c = DefaultConditions(LengthUnit::Inch);
    c.supply = SteamSupply::Temperature;
    Set(c, "steam-temperature", 337);
    EXPECT_EQ(FindConditionsFault(c).key, "steam-temperature");
    EXPECT_NE(ConditionsProblem(c).find("337.88"), std::string::npos) << ConditionsProblem(c);
    Set(c, "steam-temperature", 338);
    EXPECT_EQ(ConditionsProblem(c), "");
    // Values the conditions do not use are not held against them.
    c.superheat = -5;
    c.roadSpeed = 0;
    EXPECT_EQ(ConditionsProblem(c), "");

    const std::vector<std::pair<std::string_view, double>> bad = {{"back-pressure", 100},
                                                                  {"back-pressure", -14.7},
                                                                  {"atmospheric-pressure", 0},
                                                                  {"rev-per-min", 0},
                                                                  {"cylinders", 17},
                                                                  {"cylinders", 0},
                                                                  {"rod-diameter", -0.1},
                                                                  {"passages", 101},
                                                                  {"discharge-coefficient", 0},
                                                                  {"discharge-coefficient", 1.01},
                                                                  {"port-bar-share", 0}};
    for (const auto& [key, v] : bad) {
        EngineConditions d = DefaultConditions(LengthUnit::Inch);
        Set(d, key, v);
        EXPECT_EQ(FindConditionsFault(d).key, key) << v << ": " << ConditionsProblem(d);
    }
}

TEST(Conditions, TheTableShowsEachValueInTheChosenUnits) {
    EngineConditions c = DefaultConditions(LengthUnit::Inch);
    EXPECT_DOUBLE_EQ(Get(c, "chest-pressure"), 100);
    Set(c, "pressure-unit", 1);  // bar
    EXPECT_NEAR(Get(c, "chest-pressure"), 6.894757, 1e-6);
    EXPECT_EQ(ConditionUnit(*FindCondition("chest-pressure"), c).text, "bar");
    // 100 Fahrenheit degrees of superheat are 55.556 K; 650 deg F is 616.483 K.
    Set(c, "superheat", 100);
    EXPECT_NEAR(c.superheat, 55.5556, 1e-4);
    Set(c, "steam-temperature", 650);
    EXPECT_NEAR(c.steamTemperature, 616.4833, 1e-4);
    // 60 mph is 26.8224 m/s.
    Set(c, "speed-given", 1);
    Set(c, "road-speed", 60);
    EXPECT_NEAR(c.roadSpeed, 26.8224, 1e-9);
    EXPECT_EQ(ConditionValueText(*FindCondition("speed-given"), c), "mph");
    // Results: a horsepower is 745.7 W, a pound-force 4.448 N, 1 kg/kWh 1.644 lb/ihp-h.
    EXPECT_NEAR(PowerDisplay(LengthUnit::Inch).FromSi(745.7), 1.0, 1e-4);
    EXPECT_NEAR(ForceDisplay(LengthUnit::Inch).FromSi(4.44822), 1.0, 1e-5);
    EXPECT_NEAR(WaterRateDisplay(LengthUnit::Inch).FromSi(1.0), 1.6440, 1e-4);
    EXPECT_NEAR(PistonSpeedDisplay(LengthUnit::Inch).FromSi(0.3048 / 60), 1.0, 1e-12);
}

TEST(ConditionsFile, RoundTripsInBothUnitSystemsAndKeepsUnknownLines) {
    EngineConditions inch = DefaultConditions(LengthUnit::Inch);
    Set(inch, "chest-pressure", 180.5);
    Set(inch, "steam-supply", 1);
    Set(inch, "superheat", 150);
    Set(inch, "back-pressure", 3.2);
    Set(inch, "atmospheric-pressure", 12.1);
    Set(inch, "speed-given", 1);
    Set(inch, "road-speed", 45);
    Set(inch, "cylinders", 3);
    Set(inch, "rod-diameter", 1.25);
    Set(inch, "passages", 10.5);
    Set(inch, "discharge-coefficient", 0.65);
    Set(inch, "port-bar-share", 0.75);
    Set(inch, "steam-model", 1);
    inch.unknown = {{"boiler-pressure", "200 psi"}, {"Driver", "Ada Lovelace"}};

    EngineConditions mm = DefaultConditions(LengthUnit::Millimetre);
    Set(mm, "chest-pressure", 14.5);
    Set(mm, "steam-supply", 2);
    Set(mm, "steam-temperature", 350.4);
    Set(mm, "back-pressure", -0.3);
    Set(mm, "speed-given", 2);
    Set(mm, "road-speed", 80);
    Set(mm, "rod-diameter", 38);
    Set(mm, "temperature-unit", 0);  // deg F with millimetres
    ASSERT_EQ(ConditionsProblem(inch), "");
    ASSERT_EQ(ConditionsProblem(mm), "");

    for (const EngineConditions& c : {inch, mm}) {
        const std::string path = TempFile("round.conditions").string();
        ASSERT_TRUE(SaveConditionsFile(c, path).ok);
        EngineConditions back;
        const FileResult r = LoadConditionsFile(path, back);
        ASSERT_TRUE(r.ok) << r.error << "\n" << ConditionsText(c);
        EXPECT_EQ(back, c) << ConditionsText(c) << "\n---\n" << ConditionsText(back);
        fs::remove(path);
    }
    // What a person reads: short numbers with their units.
    const std::string text = ConditionsText(inch);
    for (const char* line :
         {"length-unit = inch\n", "chest-pressure = 180.5 psi\n", "superheat = 150 deg F\n",
          "road-speed = 45 mph\n", "cylinders = 3\n", "passages = 10.5 %\n",
          "steam-model = ideal\n", "boiler-pressure = 200 psi\n", "Driver = Ada Lovelace\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
}

TEST(ConditionsFile, ValuesInAnotherUnitAreConvertedAndMissingKeysFollowTheLengthUnit) {
    EngineConditions c;
    // 7 bar in a file of psi, whatever the order of the lines; 1 inch of rod in millimetres.
    ASSERT_TRUE(ParseConditionsText("chest-pressure = 7 bar\n"
                                    "rod-diameter = 1in   # a comment\n"
                                    "length-unit = mm\n"
                                    "pressure-unit = psi\n",
                                    c)
                    .ok);
    EXPECT_EQ(c.pressureUnit, PressureUnit::Psi);
    EXPECT_DOUBLE_EQ(c.chestPressure, 7e5);
    EXPECT_NEAR(Get(c, "chest-pressure"), 101.526, 1e-3);
    EXPECT_NEAR(c.rodDiameter, 25.4, 1e-12);
    // Keys not given take the millimetre defaults: deg C, 1.01325 bar of atmosphere.
    EXPECT_EQ(c.temperatureUnit, TemperatureUnit::Celsius);
    EXPECT_DOUBLE_EQ(c.atmosphericPressure, 101325);
    // A number without a unit is in the file's units, set by a later line.
    ASSERT_TRUE(ParseConditionsText("back-pressure = 2\npressure-unit = bar\n", c).ok);
    EXPECT_DOUBLE_EQ(c.backPressure, 2e5);
}

TEST(ConditionsFile, BadFilesAreRefusedNamingLineAndKeyAndChangeNothing) {
    const std::vector<std::pair<std::string, std::string>> bad = {
        {"length-unit = inch\n\nchest-pressure = abc\n",
         "line 3: chest-pressure: 'abc' is not a number"},
        {"chest-pressure = 1e999 psi\n", "line 1: chest-pressure: '1e999' is not a number"},
        {"# units\nchest-pressure = 100 kg\n",
         "line 2: chest-pressure: 'kg' is not a unit of pressure"},
        {"pressure-unit = atm\n", "line 1: pressure-unit: 'atm' is not psi or bar"},
        {"cylinders = 2.5\n", "line 1: cylinders: '2.5' is not a whole number"},
        {"cylinders = 2 psi\n", "line 1: cylinders: takes no unit"},
        {"superheat =\n", "line 1: superheat: no value"},
        {"passages = 8 %\npassages = 9 %\n", "line 2: passages: given twice (also on line 1)"},
        {"chest pressure 100 psi\n", "line 1: 'chest pressure 100 psi' is not key = value"},
        {"= 5\n", "line 1: '= 5' is not key = value"},
        {"cylinders = 17\n", "line 1: cylinders: cylinders must be 1 to 16"},
        {"steam-supply = temperature\nsteam-temperature = 300 F\n",
         "line 2: steam-temperature: steam temperature must be at least the saturation"},
        // The value at fault is not in the file: the key alone.
        {"back-pressure = 150 psi\n", "line 1: back-pressure: back pressure must be below"},
        {"back-pressure = 5 bar\nchest-pressure = 4 bar\n", "line 1: back-pressure:"}};
    EngineConditions kept = DefaultConditions(LengthUnit::Millimetre);
    kept.unknown = {{"kept", "yes"}};
    for (const auto& [text, message] : bad) {
        EngineConditions c = kept;
        const FileResult r = ParseConditionsText(text, c);
        EXPECT_FALSE(r.ok) << text;
        EXPECT_EQ(r.error.rfind(message, 0), 0u) << r.error;
        EXPECT_EQ(c, kept) << text;
    }
    // A file names its path; the conditions of NAME.dti are NAME.conditions beside it.
    const std::string path = TempFile("bad.conditions").string();
    { std::ofstream(path) << "chest-pressure = abc\n"; }
    EngineConditions c = kept;
    const FileResult r = LoadConditionsFile(path, c);
    EXPECT_EQ(r.error, path + ": line 1: chest-pressure: 'abc' is not a number");
    EXPECT_EQ(c, kept);
    fs::remove(path);
    EXPECT_FALSE(LoadConditionsFile(path, c).ok);
    EXPECT_EQ(ConditionsPathFor("a.b/Big Engine.dti"), "a.b/Big Engine.conditions");
    EXPECT_EQ(ConditionsPathFor("a.b/Engine"), "a.b/Engine.conditions");
}
