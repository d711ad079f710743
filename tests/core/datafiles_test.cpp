// Finding the wave and instruction files: the working directory first, then the data folder
// installed beside the program; the listing --data-files prints.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "core/io/datafiles.h"

using namespace tarn;
namespace fs = std::filesystem;

namespace {

// CTest runs this suite twice at once: each process has a tree of its own.
struct Tree {
    fs::path root = fs::temp_directory_path() / ("tarn-data-" + std::to_string(::getpid()));
    fs::path work = root / "work";
    fs::path bin = root / "prefix" / "bin";
    fs::path data = root / "prefix" / "share" / "tarn1";
    Tree() {
        fs::remove_all(root);
        for (const fs::path& d : {work, bin, data}) fs::create_directories(d);
    }
    ~Tree() { fs::remove_all(root); }
    static void Touch(const fs::path& p) { std::ofstream(p) << "x"; }
};

TEST(DataFiles, TheInstalledFolderLiesBesideTheProgramsFolder) {
    EXPECT_EQ(InstalledDataDir("/opt/tarn/bin"), fs::path("/opt/tarn/share/tarn1"));
    EXPECT_EQ(InstalledDataDir("/opt/tarn/bin/"), fs::path("/opt/tarn/share/tarn1"));
    EXPECT_EQ(InstalledDataDir("/usr/local/bin/../bin"), fs::path("/usr/local/share/tarn1"));
}

TEST(DataFiles, TheWorkingDirectoryComesFirstThenTheInstalledCopy) {
    Tree t;
    EXPECT_EQ(FindDataFile("Exhaust.wav", t.work, t.bin), fs::path());
    Tree::Touch(t.data / "Exhaust.wav");
    EXPECT_EQ(FindDataFile("Exhaust.wav", t.work, t.bin), t.data / "Exhaust.wav");
    Tree::Touch(t.work / "Exhaust.wav");
    EXPECT_EQ(FindDataFile("Exhaust.wav", t.work, t.bin), t.work / "Exhaust.wav");
    // A folder of that name is not the file; no program folder, no installed copy.
    fs::create_directories(t.work / "Error.wav");
    Tree::Touch(t.data / "Error.wav");
    EXPECT_EQ(FindDataFile("Error.wav", t.work, t.bin), t.data / "Error.wav");
    EXPECT_EQ(FindDataFile("Error.wav", t.work, fs::path()), fs::path());
}

TEST(DataFiles, TheListingNamesEachFileAndTellsWhenOneIsMissing) {
    Tree t;
    for (const char* name : {"Exhaust.wav", "Error.wav", "instruct.doc"})
        Tree::Touch(t.data / name);
    Tree::Touch(t.work / "instruct.doc");
    std::ostringstream out;
    EXPECT_FALSE(ListDataFiles(out, t.work, t.bin));
    EXPECT_EQ(out.str(), "Exhaust.wav     " + (t.data / "Exhaust.wav").string() + "\n" +
                             "Error.wav       " + (t.data / "Error.wav").string() + "\n" +
                             "instruct.doc    " + (t.work / "instruct.doc").string() + "\n" +
                             "TarnISpIns.doc  missing\n");
    Tree::Touch(t.data / "TarnISpIns.doc");
    std::ostringstream again;
    EXPECT_TRUE(ListDataFiles(again, t.work, t.bin));
}

TEST(DataFiles, TheRunningProgramsFolderHoldsThisTest) {
    const fs::path dir = RunningProgramDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_TRUE(fs::exists(dir / "core_tests"));
}

}  // namespace
