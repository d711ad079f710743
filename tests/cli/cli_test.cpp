// The events command line: exit statuses, options, file loading and the output under a German
// locale, which must still use "." as the decimal point.
#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <locale>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "cli/cli.h"
#include "cli/optimisecli.h"
#include "cli_text.h"
#include "core/io/dimensionfile.h"
#include "core/io/safefile.h"
#include "core/model/dimensions.h"
#include "core/model/model.h"
#include "core/model/numfmt.h"
#include "core/variation/commit.h"

using namespace tarn;

// CTest runs this suite twice at once (once under a German locale): each
// process keeps its files in a folder of its own.
// The folder goes when the process ends.
static std::string ProcessTempDir() {
    struct Folder {
        std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("tarn-cli-" + std::to_string(::getpid()));
        ~Folder() {
            std::error_code ec;
            std::filesystem::remove_all(path, ec);
        }
    };
    static const Folder folder;
    std::filesystem::create_directories(folder.path);
    return folder.path.string();
}

namespace {

struct CliRun {
    int status;
    std::string out, err;
};

CliRun Cli(std::vector<std::string> args) {
    args.insert(args.begin(), "tarn1");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::ostringstream out, err;
    const int status = RunEventsCli(static_cast<int>(args.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

// n copies of an entry, separated by commas.
std::string Repeated(const std::string& entry, int n) {
    std::string list = entry;
    for (int i = 1; i < n; ++i) list += "," + entry;
    return list;
}

using test::Cells;
using test::Lines;

class GermanLocale : public ::testing::Test {
protected:
    void SetUp() override {
        old_ = std::setlocale(LC_ALL, nullptr);
        ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
        oldCpp_ = std::locale::global(std::locale("de_DE.UTF-8"));
    }
    void TearDown() override {
        std::setlocale(LC_ALL, old_.c_str());
        std::locale::global(oldCpp_);
    }
    std::string old_;
    std::locale oldCpp_;
};

}  // namespace

TEST_F(GermanLocale, CsvOfTheBuiltInDesignUsesPointsAndKeepsItsColumns) {
    const CliRun r = Cli({"--events", "--format", "csv"});
    ASSERT_EQ(r.status, kCliOk) << r.err;
    EXPECT_TRUE(r.err.empty());
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 6u);  // header and the five standard gears
    // Scripts read these 29 columns: they keep their titles, order and meaning; new columns
    // only ever come after them. The percentages are the crosshead's travel.
    const std::string oldHeader =
        "Rev arm pos [len],Gear,Crank turns,Front admission [deg],Front admission [%],"
        "Front cut-off [deg],Front cut-off [%],Front release [deg],Front release [%],"
        "Front compression [deg],Front compression [%],Front lead [len],"
        "Front max steam opening [len],Front max exhaust opening [len],Rear admission [deg],"
        "Rear admission [%],Rear cut-off [deg],Rear cut-off [%],Rear release [deg],"
        "Rear release [%],Rear compression [deg],Rear compression [%],Rear lead [len],"
        "Rear max steam opening [len],Rear max exhaust opening [len],Cut-off front-rear [%],"
        "Release front-rear [%],Compression front-rear [%],Status,";
    EXPECT_EQ(lines[0].rfind(oldHeader, 0), 0u) << lines[0];
    const std::string oldRow =
        "4.647,normal forward,Fwd,355.618,0.17,126.359,82.36,150.967,94.70,317.271,15.20,0.0160,"
        "0.1875,0.2803,176.172,0.09,281.374,55.83,317.271,84.80,150.967,5.30,0.0194,0.1273,"
        "0.3405,26.53,9.90,9.90,ok,";
    EXPECT_EQ(lines[2].rfind(oldRow, 0), 0u) << lines[2];
    const auto header = Cells(lines[0]);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_EQ(Cells(lines[i]).size(), header.size()) << lines[i];
        EXPECT_EQ(Cells(lines[i])[28], "ok");
    }
    EXPECT_EQ(lines[1].rfind("4.447,full forward,Fwd,", 0), 0u) << lines[1];
    EXPECT_EQ(lines[3].rfind("6.247,mid gear,Fwd,", 0), 0u) << lines[3];
    EXPECT_EQ(lines[5].rfind("8.047,full reverse,Rev,", 0), 0u) << lines[5];

    // The added columns: admission 355.618 degrees turning forward is 4.382 before the front
    // dead centre; a valve-setting mark is the event's share of the crosshead's 3.0 stroke
    // (82.36 % cut-off: 2.471 from the dead centre).
    auto cell = [&](const std::string& title) {
        for (std::size_t c = 0; c < header.size(); ++c)
            if (header[c] == title) return Cells(lines[2])[c];
        return std::string("(no column " + title + ")");
    };
    EXPECT_EQ(cell("Front admission from dead centre [deg]"), "-4.382");
    EXPECT_NEAR(static_cast<double>(ParseNumber(cell("Front cut-off mark [len]"))), 0.8236 * 3.0,
                0.0002);
    EXPECT_NEAR(static_cast<double>(ParseNumber(cell("Rear cut-off mark [len]"))), 0.5583 * 3.0,
                0.0002);
    EXPECT_EQ(cell("Lead front-rear [len]"), "-0.0034");
}

TEST_F(GermanLocale, TextListingAndChosenPositions) {
    const CliRun r = Cli({"--events", "--positions=Fwd,5.5,100"});
    ASSERT_EQ(r.status, kCliOk) << r.err;
    EXPECT_NE(r.out.find("Valve events of Nominal (mid gear at 6.247)"), std::string::npos);
    EXPECT_NE(r.out.find("Rev arm 4.647 (normal forward), crank turning forward"),
              std::string::npos);
    EXPECT_NE(r.out.find("Rev arm 5.500, crank turning forward"), std::string::npos);
    // Out of range: brought to the largest offset, as the reverse-arm dialog does.
    EXPECT_NE(r.out.find("Rev arm 8.047 (full reverse), crank turning backward"),
              std::string::npos);
    EXPECT_NE(r.out.find("Front - rear: cut-off "), std::string::npos);
    EXPECT_EQ(r.out.find("NaN"), std::string::npos);
    // Mid gear typed as it is shown is mid gear.
    const CliRun typed = Cli({"--events", "--positions", "6.247,6.248"});
    EXPECT_NE(typed.out.find("Rev arm 6.247 (mid gear), crank turning forward"), std::string::npos)
        << typed.out;
    EXPECT_NE(typed.out.find("Rev arm 6.248, crank turning backward"), std::string::npos);
    // So is every other gear: normal reverse and full forward as three decimals show them
    // (7.84699974 and 4.44699979 on the bar), in the listing and in the CSV's Gear column.
    const CliRun gears = Cli({"--events", "--positions", "7.847,4.447,7.848"});
    EXPECT_NE(gears.out.find("Rev arm 7.847 (normal reverse), crank turning backward"),
              std::string::npos)
        << gears.out;
    EXPECT_NE(gears.out.find("Rev arm 4.447 (full forward), crank turning forward"),
              std::string::npos);
    EXPECT_NE(gears.out.find("Rev arm 7.848, crank turning backward"), std::string::npos);
    const auto csv = Lines(Cli({"--events", "--format=csv", "--positions", "7.847,4.447"}).out);
    ASSERT_EQ(csv.size(), 3u);
    EXPECT_EQ(csv[1].rfind("7.847,normal reverse,Rev,", 0), 0u) << csv[1];
    EXPECT_EQ(csv[2].rfind("4.447,full forward,Fwd,", 0), 0u) << csv[2];
    // The gears' words in any case, each for its own gear.
    const auto words =
        Lines(Cli({"--events", "--format=csv", "--positions", "max,FWD,Cen,rev,Min"}).out);
    ASSERT_EQ(words.size(), 6u);
    const char* expected[] = {"8.047,full reverse,", "4.647,normal forward,", "6.247,mid gear,",
                              "7.847,normal reverse,", "4.447,full forward,"};
    for (std::size_t k = 0; k < 5; ++k)
        EXPECT_EQ(words[k + 1].rfind(expected[k], 0), 0u) << words[k + 1];
}

TEST(EventsCli, BadOptionsNameWhatWasNotTakenThenGiveUsageAndStatus64) {
    // Each bad call with the argument its first line must name.
    const std::vector<std::pair<std::vector<std::string>, std::string>> calls = {
        {{}, "missing"},
        {{"--bogus"}, "'--bogus'"},
        {{"--events", "--bogus"}, "'--bogus'"},
        {{"--events", "--format", "xml"}, "'xml'"},
        {{"--events", "--format"}, "--format"},
        {{"--events", "--format="}, "'' for --format"},  // an empty value, not a missing one
        {{"--events", "--positions=Fwd=1"}, "'Fwd=1'"},  // split at the first '=' only
        {{"--events", "--positions", "abc"}, "'abc'"},
        {{"--events", "--positions", ""}, "''"},
        {{"--events", "--positions", "1,,2"}, "''"},
        {{"--events", "--positions", "4,5%"}, "'5%'"},
        {{"--events", "a.dti", "b.dti"}, "'b.dti'"},
        {{"--events", "--positions", "4", "--positions", "5"}, "--positions twice"},
        {{"--events", "--positions", Repeated("5.0", 101)}, "at most 100 positions"},
        {{"events"}, "'events'"},
        {{"--data-files", "extra"}, "'extra'"}};
    for (const auto& [args, named] : calls) {
        const CliRun r = Cli(args);
        test::ExpectUsageError(r.status, r.out, r.err, named, ::testing::PrintToString(args));
    }
}

TEST(EventsCli, PositionsTooLargeForAnyNumberAreClampedLikeTheMerelyHuge) {
    const CliRun huge = Cli({"--events", "--format=csv", "--positions", "1e999,-1e999"});
    const CliRun beyond = Cli({"--events", "--format=csv", "--positions", "1e5000,-1e5000"});
    ASSERT_EQ(beyond.status, kCliOk) << beyond.err;
    EXPECT_EQ(beyond.out, huge.out);
    EXPECT_EQ(Lines(beyond.out)[1].rfind("8.047,full reverse,", 0), 0u) << beyond.out;
    EXPECT_EQ(Lines(beyond.out)[2].rfind("4.447,full forward,", 0), 0u) << beyond.out;
}

TEST(EventsCli, AnOutputThatCannotBeWrittenIsReportedWithStatus74) {
    std::ostringstream full;
    full.setstate(std::ios::badbit);  // as a stream whose device has refused a write
    std::ostringstream err;
    std::vector<std::string> args = {"tarn1", "--events"};
    char* argv[] = {args[0].data(), args[1].data(), nullptr};
    EXPECT_EQ(RunEventsCli(2, argv, full, err), kCliWriteFailed);
    EXPECT_EQ(err.str().rfind("tarn1: cannot write the output", 0), 0u) << err.str();
}

TEST(EventsCli, HelpAndVersion) {
    CliRun r = Cli({"--help"});
    EXPECT_EQ(r.status, kCliOk);
    EXPECT_EQ(r.out.rfind("usage: tarn1 --events", 0), 0u);
    EXPECT_NE(r.out.find("Exit status"), std::string::npos);
    EXPECT_NE(r.out.find("--data-files prints where"), std::string::npos);
    EXPECT_EQ(Cli({"--events", "--help"}).status, kCliOk);
    for (const char* shortHelp : {"-h", "-?"}) EXPECT_EQ(Cli({shortHelp}).out, Cli({"--help"}).out);
    r = Cli({"--version"});
    EXPECT_EQ(r.status, kCliOk);
    EXPECT_EQ(r.out, "TARN1 Inside Admission Version 2.6\n");
}

TEST(EventsCli, DesignFilesAreLoadedOrRefusedWithStatus2) {
    const std::string dir = ProcessTempDir();
    const CliRun missing = Cli({"--events", dir + "/no such design.dti"});
    EXPECT_EQ(missing.status, kCliFileRefused);
    EXPECT_NE(missing.err.find("no such design.dti"), std::string::npos);
    EXPECT_TRUE(missing.out.empty());

    const std::string shortFile = dir + "/short.dti";
    { std::ofstream(shortFile, std::ios::binary) << "too short"; }
    const CliRun refused = Cli({"--events", shortFile});
    EXPECT_EQ(refused.status, kCliFileRefused);
    EXPECT_FALSE(refused.err.empty());
    EXPECT_TRUE(refused.out.empty());

    Model m;
    StartUp(m);
    SetDimension(m, dim::RadiusRodLen, 5.2f);
    const std::string path = dir + "/Longer Rod.dti";
    ASSERT_TRUE(SaveDimensionFile(m, path).ok);
    const CliRun loaded = Cli({"--events", path, "--positions", "Fwd", "--format=csv"});
    ASSERT_EQ(loaded.status, kCliOk) << loaded.err;
    const CliRun builtIn = Cli({"--events", "--positions", "Fwd", "--format=csv"});
    EXPECT_NE(Lines(loaded.out)[1], Lines(builtIn.out)[1]);  // the file's design, not the built-in
    EXPECT_NE(Cli({"--events", path}).out.find("Valve events of Longer Rod"), std::string::npos);
    std::remove(shortFile.c_str());
    std::remove(path.c_str());
}

TEST(EventsCli, GeometryErrorRowsSaySoAndStayEmpty) {
    Model m;
    StartUp(m);
    SetDimension(m, dim::AnchorLinkLen, 0.1f);
    const std::string path = ProcessTempDir() + "/broken.dti";
    ASSERT_TRUE(SaveDimensionFile(m, path).ok);
    const CliRun r = Cli({"--events", path, "--format", "csv", "--positions", "Cen"});
    ASSERT_EQ(r.status, kCliOk);
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u);
    const auto cells = Cells(lines[1]);
    ASSERT_EQ(cells.size(), Cells(lines[0]).size());
    EXPECT_EQ(cells[28].rfind("geometry error at crank angle ", 0), 0u);
    for (std::size_t i = 3; i < cells.size(); ++i) {
        if (i == 28) continue;  // the status
        EXPECT_EQ(cells[i], "") << i;
    }
    std::remove(path.c_str());
}

namespace {

// The words of a dimension file, by number.
std::vector<std::uint32_t> FileWords(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint32_t> words;
    unsigned char b[4];
    while (in.read(reinterpret_cast<char*>(b), 4))
        words.push_back(b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24);
    return words;
}

// The word that holds dimension id: the one that changes when only that dimension does.
std::size_t WordOf(const Model& m, int id) {
    Model other = m;
    SetDimension(other, id, GetDimension(m, id) + 1.0f);
    const auto a = EncodeDimensionFile(m), b = EncodeDimensionFile(other);
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return i / 4;
    return a.size();
}

}  // namespace

TEST_F(GermanLocale, OptimiseReportsInPointsAndWritesOnlyTheVariedDimensions) {
    // A design whose radius rod was made longer, optimised on it and the valve stem.
    Model m;
    StartUp(m);
    SetDimension(m, dim::RadiusRodLen, 5.1f);
    const std::string dir = ProcessTempDir();
    const std::string path = dir + "/Long Rod.dti", outPath = dir + "/Balanced.dti";
    ASSERT_TRUE(SaveDimensionFile(m, path).ok);
    const CliRun r =
        Cli({"--optimise", path, "--vary", "RadiusRodLen,valvectrtojoint,DriverDia",
             "ValveCtrToJoint=4.5:5", "--positions=Fwd", "--format", "csv", "--out", outPath});
    ASSERT_EQ(r.status, kCliOk) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_GT(lines.size(), 20u);
    EXPECT_EQ(lines[0], "Status,improved");
    std::vector<std::vector<std::string>> dims;
    std::size_t events = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind("RadiusRodLen,", 0) == 0 || lines[i].rfind("ValveCtrToJoint,", 0) == 0 ||
            lines[i].rfind("DriverDia,", 0) == 0)
            dims.push_back(Cells(lines[i]));
        if (lines[i].rfind("Design,Rev arm pos [len],Gear,", 0) == 0) events = i;
    }
    ASSERT_EQ(dims.size(), 3u) << r.out;
    EXPECT_EQ(dims[0][1], "5.100000");  // old value, with a point under any locale
    EXPECT_EQ(dims[1][3], "4.500000");  // the bounds given
    EXPECT_EQ(dims[1][4], "5.000000");
    EXPECT_EQ(dims[2][5], "none");  // the driver changes no event
    EXPECT_EQ(dims[2][1], dims[2][2]);
    // The events of every standard position before and after.
    ASSERT_GT(events, 0u);
    ASSERT_GE(lines.size(), events + 23);
    EXPECT_EQ(lines[events + 1].rfind("before,4.447,full forward,Fwd,", 0), 0u);
    EXPECT_EQ(lines[events + 6].rfind("after,", 0), 0u);
    // Then the standard gears compared, after a blank line.
    EXPECT_EQ(lines[events + 11], "");
    EXPECT_EQ(lines[events + 12].rfind("Gear,Design,Front cut-off [%],", 0), 0u);
    EXPECT_EQ(lines[events + 13].rfind("full forward,before,", 0), 0u);

    // The written file differs from the loaded one only in the two varied words, which hold the
    // printed values.
    const auto before = FileWords(path), after = FileWords(outPath);
    ASSERT_EQ(after.size(), before.size());
    const std::size_t rod = WordOf(m, dim::RadiusRodLen), stem = WordOf(m, dim::ValveCtrToJoint);
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (i != rod && i != stem) {
            EXPECT_EQ(after[i], before[i]) << "word " << i;
        }
    }
    EXPECT_NE(after[rod], before[rod]);
    Model written;
    StartUp(written);
    ASSERT_TRUE(LoadDimensionFile(written, outPath).ok);
    EXPECT_NEAR(GetDimension(written, dim::RadiusRodLen), ParseNumber(dims[0][2]), 1e-6);
    EXPECT_NEAR(GetDimension(written, dim::ValveCtrToJoint), ParseNumber(dims[1][2]), 1e-6);
    std::remove(path.c_str());
    std::remove(outPath.c_str());
}

TEST(OptimiseCli, StatusesNameWhatWasNotTaken) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> calls = {
        {{}, "--vary"},
        {{"--vary"}, "--vary"},
        {{"--vary=", "RadiusRodLen"}, "'' in --vary"},
        {{"--vary", "Bogus"}, "'Bogus'"},
        {{"--vary", "RadiusRodLen,RevArmToCentNorm"}, "'RevArmToCentNorm'"},
        {{"--vary", "RadiusRodLen,RadiusRodLen"}, "'RadiusRodLen' twice"},
        {{"--vary", "RadiusRodLen", "RadiusRodLen=5:4"}, "'RadiusRodLen=5:4'"},
        {{"--vary", "RadiusRodLen", "RadiusRodLen=4,5:5"}, "'RadiusRodLen=4,5:5'"},
        {{"--vary", "RadiusRodLen", "LinkRadius=4:6"}, "'LinkRadius=4:6'"},
        {{"--vary", "RadiusRodLen", "Rod=4:6"}, "'Rod'"},
        {{"--vary", "RadiusRodLen", "--range", "0"}, "'0'"},
        {{"--vary", "RadiusRodLen", "--range", "10%"}, "'10%'"},
        {{"--vary", "RadiusRodLen", "--positions", "Fwd,Up"}, "'Up'"},
        {{"--vary", "RadiusRodLen", "--min-lead", "0,01"}, "'0,01'"},
        {{"--vary", "RadiusRodLen", "--objective", "lead"}, "'lead'"},
        {{"--vary", "RadiusRodLen", "--format", "xml"}, "'xml'"},
        {{"--vary", "RadiusRodLen", "--out"}, "--out"},
        {{"--vary", "RadiusRodLen", "--bogus"}, "'--bogus'"}};
    for (const auto& [args, named] : calls) {
        std::vector<std::string> full = args;
        full.insert(full.begin(), "--optimise");
        const CliRun r = Cli(full);
        EXPECT_EQ(r.status, kCliUsage) << ::testing::PrintToString(full);
        const auto lines = Lines(r.err);
        ASSERT_GE(lines.size(), 2u) << r.err;
        EXPECT_NE(lines[0].find(named), std::string::npos) << lines[0];
        EXPECT_TRUE(r.out.empty());
    }
    const std::string dir = ProcessTempDir();
    EXPECT_EQ(Cli({"--optimise", dir + "/none.dti", "--vary", "DriverDia"}).status,
              kCliFileRefused);
    // Nothing to gain: done, and said so.
    const CliRun nothing = Cli({"--optimise", "--vary", "DriverDia"});
    EXPECT_EQ(nothing.status, kCliOk);
    EXPECT_NE(nothing.out.find("\nNothing better found"), std::string::npos) << nothing.out;
    // An optimised design that cannot be written.
    const CliRun unwritable =
        Cli({"--optimise", "--vary", "DriverDia", "--out", dir + "/no folder/new.dti"});
    EXPECT_EQ(unwritable.status, kCliWriteFailed);
    EXPECT_NE(unwritable.err.find("no folder/new.dti"), std::string::npos) << unwritable.err;
}

TEST(OptimiseCli, BoundsAndRangesThatMakeNoSenseAreRefusedNamingWhy) {
    // A radius rod cannot reach 0; a bound no float holds; two bounds one float apart; a range
    // no double holds; more positions than a table is read with. Each is refused with status
    // 64, naming what was wrong.
    const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> calls = {
        {{"RadiusRodLen=-5:20"}, {"'RadiusRodLen=-5:20'", "above 0"}},
        {{"RadiusRodLen=0:1e308"}, {"upper bound 1e308", "32-bit float"}},
        {{"RadiusRodLen=5:5.0000001"}, {"5 and 5.0000001", "same 32-bit float"}},
        {{"--range", "1e400"}, {"'1e400' for --range"}},
        {{"--positions", Repeated("5.0", 101)}, {"at most 100 positions"}}};
    for (const auto& [extra, named] : calls) {
        std::vector<std::string> args = {"--optimise", "--vary", "RadiusRodLen"};
        args.insert(args.end(), extra.begin(), extra.end());
        const CliRun r = Cli(args);
        EXPECT_EQ(r.status, kCliUsage) << r.out;
        const std::string first = Lines(r.err).empty() ? "" : Lines(r.err)[0];
        for (const std::string& n : named) EXPECT_NE(first.find(n), std::string::npos) << first;
    }
    // The default range of a length stops above 0: at 150 % the radius rod's lower bound is 1 %
    // of its 5.
    const CliRun wide = Cli({"--optimise", "--vary", "RadiusRodLen", "--range", "150", "--format",
                             "csv", "--positions", "Fwd"});
    ASSERT_EQ(wide.status, kCliOk) << wide.err;
    bool found = false;
    for (const std::string& line : Lines(wide.out)) {
        if (line.rfind("RadiusRodLen,", 0) != 0) continue;
        found = true;
        EXPECT_EQ(Cells(line)[3], "0.050000") << line;
        EXPECT_GT(ParseNumber(Cells(line)[2]), 0.0L) << line;
    }
    EXPECT_TRUE(found) << wide.out;
}

TEST(OptimiseCli, AFailedSearchExitsWith70AndWritesNothing) {
    // The search as the command runs it, with a fault inside the objective after a few designs.
    const std::string dir = ProcessTempDir();
    const std::string outPath = dir + "/failed.dti";
    std::vector<std::string> args = {"tarn1",        "--optimise", "--vary",
                                     "RadiusRodLen", "--out",      outPath};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::ostringstream out, err;
    const auto usage = [&](const std::string& what) {
        err << what << '\n';
        return kCliUsage;
    };
    const OptimiseFunction faulty = [](const Model& m, const OptimiseSettings& s) {
        OptimiseSettings broken = s;
        broken.progress = [](int done, int) {
            if (done == 7) throw std::runtime_error("no room for the valve events");
        };
        return OptimiseGear(m, broken);
    };
    const int status =
        RunOptimiseCommand(static_cast<int>(args.size()), argv.data(), out, err, usage, faulty);
    EXPECT_EQ(status, kCliSearchFailed);
    EXPECT_NE(err.str().find("NLopt stopped with status FAILURE (-1)"), std::string::npos)
        << err.str();
    EXPECT_NE(err.str().find("no room for the valve events"), std::string::npos) << err.str();
    EXPECT_NE(out.str().find("\nFailed after "), std::string::npos) << out.str();
    EXPECT_FALSE(std::filesystem::exists(outPath));
    EXPECT_NE(Cli({"--help"}).out.find("70 the optimiser's search"), std::string::npos);
}

TEST(OptimiseCli, AStandardOutputThatFailsIsReportedWithItsOwnReason) {
    // Standard output on a full device, the optimised design saved fine: the message gives the
    // output's reason, not whatever the save left in errno.
    const std::string outPath = ProcessTempDir() + "/saved.dti";
    std::ofstream full("/dev/full");
    ASSERT_TRUE(full.is_open());
    std::ostringstream err;
    std::vector<std::string> args = {"tarn1",       "--optimise", "--vary", "DriverDia",
                                     "--positions", "Fwd",        "--out",  outPath};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    EXPECT_EQ(RunEventsCli(static_cast<int>(args.size()), argv.data(), full, err), kCliWriteFailed);
    EXPECT_NE(err.str().find("cannot write the output: " + SystemErrorText(ENOSPC)),
              std::string::npos)
        << err.str();
    EXPECT_TRUE(std::filesystem::exists(outPath));
}

// The column of a CSV header named `name`.
static std::size_t Column(const std::string& header, const std::string& name) {
    const std::vector<std::string> cells = Cells(header);
    for (std::size_t k = 0; k < cells.size(); ++k)
        if (cells[k] == name) return k;
    ADD_FAILURE() << "no column " << name;
    return 0;
}

TEST(OptimiseCli, AllGearsHoldsTheLeadAtEveryGearAndTheReportWarnsWhereItDoesNot) {
    // A shorter radius rod and a longer valve stem even the built-in design's cut-offs, but at
    // full gear they eat the lead: the outermost gears lose it first.
    const std::vector<std::string> run = {"--optimise", "--vary",
                                          "RadiusRodLen,ValveCtrToJoint,LinkPivotVert",
                                          "--min-lead", "0.005"};
    const CliRun free = Cli(run);
    ASSERT_EQ(free.status, kCliOk) << free.err;
    const auto lines = Lines(free.out);
    const auto table = std::find(lines.begin(), lines.end(), "Standard gears before and after:");
    ASSERT_GT(lines.end() - table, 12) << free.out;
    EXPECT_EQ(table[2].rfind("full forward    before", 0), 0u) << table[2];
    EXPECT_EQ(table[11].rfind("                 after", 0), 0u) << table[11];
    // Normal forward and reverse were held; a full gear was not and warns of it.
    EXPECT_NE(free.out.find("\nWarning: the front lead at full forward falls below the minimum "
                            "0.0050 ("),
              std::string::npos)
        << free.out;

    // Held at every gear: the written design, opened as a user would, keeps the lead and opens
    // both ports at all five.
    const std::string outPath = ProcessTempDir() + "/all gears.dti";
    std::vector<std::string> held = run;
    held.insert(held.end(), {"--all-gears", "--out", outPath});
    const CliRun all = Cli(held);
    ASSERT_EQ(all.status, kCliOk) << all.err;
    EXPECT_NE(all.out.find("No standard gear became worse."), std::string::npos) << all.out;
    const CliRun events = Cli({"--events", outPath, "--format", "csv"});
    ASSERT_EQ(events.status, kCliOk) << events.err;
    const auto rows = Lines(events.out);
    ASSERT_EQ(rows.size(), 6u);
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const auto cells = Cells(rows[r]);
        for (const char* name : {"Front lead [len]", "Rear lead [len]"})
            EXPECT_GE(ParseNumber(cells[Column(rows[0], name)]), 0.005 - 5e-5) << rows[r];
        for (const char* name : {"Front max steam opening [len]", "Rear max steam opening [len]"})
            EXPECT_GT(ParseNumber(cells[Column(rows[0], name)]), 0.0) << rows[r];
    }
    EXPECT_EQ(Cli({"--optimise", "--vary", "RadiusRodLen", "--all-gears=yes"}).status, kCliUsage);
    std::remove(outPath.c_str());
}

TEST(OptimiseCli, TheWrittenDesignIsTheDesignApplied) {
    // A longer link moves the mid gear: the file must hold the new one, as Apply then Save would.
    const std::string dir = ProcessTempDir();
    const std::string outPath = dir + "/applied.dti", refPath = dir + "/reference.dti";
    std::vector<std::string> args = {
        "tarn1",       "--optimise", "--vary", "LinkRadius,RadiusRodLen",
        "--positions", "Fwd",        "--out",  outPath};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::ostringstream out, err;
    const auto usage = [&](const std::string& what) {
        err << what << '\n';
        return kCliUsage;
    };
    OptimiseResult seen;
    const OptimiseFunction watched = [&seen](const Model& m, const OptimiseSettings& s) {
        return seen = OptimiseGear(m, s);
    };
    ASSERT_EQ(
        RunOptimiseCommand(static_cast<int>(args.size()), argv.data(), out, err, usage, watched),
        kCliOk)
        << err.str();
    ASSERT_NE(seen.dimensions.at(0).newValue, seen.dimensions.at(0).oldValue);

    Model applied;
    StartUp(applied);
    const float midBefore = applied.motion.RevArmPositions[1];
    std::vector<DimensionChange> changes;
    for (const OptimisedDimension& d : seen.dimensions) changes.push_back({d.id, d.newValue});
    ASSERT_TRUE(CommitDimensionGroup(applied, "Optimise Gear", changes));
    ASSERT_NE(applied.motion.RevArmPositions[1], midBefore);
    ASSERT_TRUE(SaveDimensionFile(applied, refPath).ok);
    EXPECT_EQ(FileWords(outPath), FileWords(refPath));
    std::remove(outPath.c_str());
    std::remove(refPath.c_str());
}

TEST(OptimiseCli, ADefaultRangeAroundZeroHasNoJump) {
    // The cylinder's height above the driver at 0 and a thousandth either side: the same width,
    // 10 % of the 3-inch stroke each way, not one that collapses to nothing off 0.
    const std::string path = ProcessTempDir() + "/height.dti";
    for (const float height : {-0.001f, 0.0f, 0.001f}) {
        Model m;
        StartUp(m);
        SetDimension(m, dim::CylCLAboveDriver, height);
        ASSERT_TRUE(SaveDimensionFile(m, path).ok);
        const CliRun r = Cli({"--optimise", path, "--vary", "CylCLAboveDriver", "--positions",
                              "Fwd", "--format", "csv"});
        ASSERT_EQ(r.status, kCliOk) << r.err;
        const auto lines = Lines(r.out);
        const auto row = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
            return l.rfind("CylCLAboveDriver,", 0) == 0;
        });
        ASSERT_NE(row, lines.end()) << r.out;
        const auto cells = Cells(*row);
        EXPECT_NEAR(ParseNumber(cells[3]), height - 0.3, 1e-6) << *row;
        EXPECT_NEAR(ParseNumber(cells[4]), height + 0.3, 1e-6) << *row;
    }
    std::remove(path.c_str());
}

TEST(OptimiseCli, AMinimumLeadNoDesignReachesIsSaidSoWithoutTradingTheLeadsAway) {
    // The built-in design has leads of about 0.02; no design in the range reaches a lead of 1.
    // The search may not lower a lead further, nor call a larger cut-off difference an
    // improvement: it says how far the constraints stay broken and which cannot be met.
    for (const std::string lead : {"1", "1e308"}) {
        const CliRun r =
            Cli({"--optimise", "--vary", "RadiusRodLen,LinkPivotVert", "--min-lead", lead});
        ASSERT_EQ(r.status, kCliOk) << r.err;
        const auto lines = Lines(r.out);
        ASSERT_GE(lines.size(), 3u) << r.out;
        const std::string& said = lines[2];
        EXPECT_NE(said.find("a minimum lead of " + lead + " cannot be met in this range"),
                  std::string::npos)
            << said;
        EXPECT_EQ(said.find("Improved"), std::string::npos) << said;
        EXPECT_EQ(said.find("geometry error"), std::string::npos) << said;
        if (lead == "1") {
            EXPECT_NE(said.find("broken by 1322.9"), std::string::npos) << said;
        }
        // Every lead of the result is at least the start's.
        for (const std::string& l : lines) {
            if (l.starts_with("Broken: lead")) {
                EXPECT_EQ(l.find(" is -"), std::string::npos) << l;
            }
        }
    }
}
