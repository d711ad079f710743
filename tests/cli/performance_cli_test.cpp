// The performance command line and its table: option errors, conditions files refused, the CSV's
// columns in both unit systems, and the results shown in the conditions' units.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/cli.h"
#include "cli_text.h"
#include "core/io/dimensionfile.h"
#include "core/model/model.h"
#include "core/performance/conditions.h"
#include "core/performance/performancetable.h"

using namespace tarn;
namespace fs = std::filesystem;

namespace {

struct PerfRun {
    int status;
    std::string out, err;
};

PerfRun Performance(std::vector<std::string> args) {
    args.insert(args.begin(), {"tarn1", "--performance"});
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::ostringstream out, err;
    const int status = RunEventsCli(static_cast<int>(args.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

using test::Cells;
using test::Lines;

fs::path Folder() {
    const fs::path dir = fs::temp_directory_path() / ("tarn-perf-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir;
}

}  // namespace

TEST(PerformanceCli, BadOptionsExit64NamingTheOption) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> calls = {
        {{"--bogus"}, "'--bogus'"},
        {{"--chest-pressure"}, "--chest-pressure needs a value"},
        {{"--chest-pressure", "abc"}, "'abc' for --chest-pressure"},
        {{"--chest-pressure=-5"}, "'-5' for --chest-pressure: chest pressure must be above 0 psi"},
        {{"--units", "mm", "--chest-pressure", "0"}, "above 0 bar"},
        {{"--superheat", "50", "--steam-temperature", "700"},
         "--superheat and --steam-temperature"},
        {{"--steam-temperature", "300"}, "'300' for --steam-temperature"},  // below 337.9 deg F
        {{"--cylinders", "2.5"}, "'2.5' for --cylinders"},
        {{"--cylinders", "17"}, "'17' for --cylinders"},
        {{"--cd", "1.5"}, "'1.5' for --cd"},
        {{"--back-pressure", "150"}, "'150' for --back-pressure"},
        {{"--units", "ft"}, "'ft' for --units"},
        {{"--steam", "water"}, "'water' for --steam"},
        {{"--format", "xml"}, "'xml' for --format"},
        {{"--speeds", "100,abc"}, "'abc' in --speeds"},
        {{"--speeds", "100,0"}, "'0' in --speeds"},
        {{"--positions", "Fwd,abc"}, "'abc' in --positions"},
        {{"--passages", "5", "--passages", "6"}, "--passages twice"},
        {{"a.dti", "b.dti"}, "'b.dti'"}};
    for (const auto& [args, named] : calls) {
        const PerfRun r = Performance(args);
        test::ExpectUsageError(r.status, r.out, r.err, named, ::testing::PrintToString(args));
    }
}

TEST(PerformanceCli, ConditionsBesideTheDesignAreReadAndBadOnesRefusedWithStatus2) {
    const fs::path dir = Folder();
    Model m;
    StartUp(m);
    const std::string design = (dir / "Engine.dti").string();
    ASSERT_TRUE(SaveDimensionFile(m, design).ok);
    // Millimetres beside the design: metric columns.
    { std::ofstream(dir / "Engine.conditions") << "length-unit = mm\n"; }
    PerfRun r = Performance({design, "--format", "csv", "--positions", "Fwd", "--speeds", "100"});
    ASSERT_EQ(r.status, kCliOk) << r.err;
    EXPECT_NE(Lines(r.out)[0].find("MEP front [bar]"), std::string::npos) << r.out;

    { std::ofstream(dir / "Engine.conditions") << "# engine\nchest-pressure = abc psi\n"; }
    r = Performance({design});
    EXPECT_EQ(r.status, kCliFileRefused);
    EXPECT_NE(r.err.find("Engine.conditions: line 2: chest-pressure: "), std::string::npos)
        << r.err;
    EXPECT_TRUE(r.out.empty());
    // --conditions names another file, which is refused when missing.
    r = Performance({design, "--conditions", (dir / "missing.conditions").string()});
    EXPECT_EQ(r.status, kCliFileRefused);
    EXPECT_NE(r.err.find("missing.conditions"), std::string::npos) << r.err;
    fs::remove_all(dir);
}

TEST(PerformanceCli, CsvHasTheFixedColumnsAndARowPerPositionAndSpeed) {
    const std::string inch =
        "Position [in],Gear,Rev/min,Piston speed [ft/min],MEP front [psi],MEP rear [psi],"
        "MEP mean [psi],Indicated power [hp],Tractive effort [lbf],Steam per hour [lb/h],"
        "Water rate [lb/ihp-h],Cut-off pressure front,Cut-off pressure rear,"
        "Peak compression front [psi],Peak compression rear [psi],";
    const std::string mm =
        "Position [mm],Gear,Rev/min,Piston speed [m/s],MEP front [bar],MEP rear [bar],"
        "MEP mean [bar],Indicated power [kW],Tractive effort [kN],Steam per hour [kg/h],"
        "Water rate [kg/kWh],Cut-off pressure front,Cut-off pressure rear,"
        "Peak compression front [bar],Peak compression rear [bar],";
    for (const auto& [units, header] : {std::pair{"in", inch}, std::pair{"mm", mm}}) {
        const PerfRun r = Performance({"--format=csv", "--units", units, "--positions",
                                       "Fwd,5.5,Rev", "--speeds", "150, 250.5"});
        ASSERT_EQ(r.status, kCliOk) << r.err;
        const auto lines = Lines(r.out);
        ASSERT_EQ(lines.size(), 1u + 3 * 2);
        EXPECT_EQ(lines[0].rfind(header, 0), 0u) << lines[0];
        const auto titles = Cells(lines[0]);
        for (std::size_t i = 1; i < lines.size(); ++i)
            EXPECT_EQ(Cells(lines[i]).size(), titles.size()) << lines[i];
        EXPECT_EQ(lines[1].rfind("4.647,normal forward,150,", 0), 0u) << lines[1];
        EXPECT_EQ(lines[4].rfind("5.500,,250.5,", 0), 0u) << lines[4];
        EXPECT_EQ(lines[6].rfind("7.847,normal reverse,250.5,", 0), 0u) << lines[6];
    }
}

TEST(PerformanceTable, ResultsAreShownInTheConditionsUnitsWithGaugePressures) {
    Model m;
    StartUp(m);
    EnginePerformance r;
    r.ok = true;
    r.revArmPos = 5.5f;
    r.pistonSpeed = 5.08;                // 1000 ft/min
    r.front.mep = 689475.7293168361;     // 100 psi
    r.indicatedPower = 7456.9987158227;  // 10 hp
    r.tractiveEffort = 4448.2216152605;  // 1000 lbf
    r.steamPerHour = 453.59237;          // 1000 lb/h
    r.waterRate = 10;                    // kg/kWh: 16.440 lb/ihp-h
    r.front.cutoffPressure = 0.85;
    EngineConditions c = DefaultConditions(LengthUnit::Inch);
    r.front.peakCompression = c.atmosphericPressure + 344737.86465841805;  // 50 psi gauge
    r.efficiency = 0.123;
    auto cell = [&](const EngineConditions& k, const std::string& title) {
        const auto h = PerformanceHeader(k);
        const auto row = PerformanceRow(m, k, r, 200);
        for (std::size_t i = 0; i < h.size() && i < row.size(); ++i)
            if (h[i] == title) return row[i];
        return "(no column " + title + ")";
    };
    EXPECT_EQ(cell(c, "Piston speed [ft/min]"), "1000.0");
    EXPECT_EQ(cell(c, "MEP front [psi]"), "100.00");
    EXPECT_EQ(cell(c, "Indicated power [hp]"), "10.00");
    EXPECT_EQ(cell(c, "Tractive effort [lbf]"), "1000.0");
    EXPECT_EQ(cell(c, "Steam per hour [lb/h]"), "1000.0");
    EXPECT_EQ(cell(c, "Water rate [lb/ihp-h]"), "16.440");
    EXPECT_EQ(cell(c, "Cut-off pressure front"), "0.8500");
    EXPECT_EQ(cell(c, "Peak compression front [psi]"), "50.00");
    EXPECT_EQ(cell(c, "Efficiency [%]"), "12.30");
    EXPECT_EQ(cell(c, "Problem"), "");
    const EngineConditions metric = DefaultConditions(LengthUnit::Millimetre);
    EXPECT_EQ(cell(metric, "MEP front [bar]"), "6.8948");
    EXPECT_EQ(cell(metric, "Indicated power [kW]"), "7.46");
    EXPECT_EQ(cell(metric, "Tractive effort [kN]"), "4.4482");
    EXPECT_EQ(cell(metric, "Piston speed [m/s]"), "5.080");
    // The listing shows the same numbers.
    std::ostringstream text;
    const std::vector<EnginePerformance> results{r};
    const std::vector<double> speeds{200};
    WritePerformanceText(text, m, c, results, speeds);
    EXPECT_NE(text.str().find("MEP front [psi]"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("100.00\n"), std::string::npos) << text.str();
}
