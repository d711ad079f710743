// The dimension file: its layout bit for bit, the round trip of a whole design, the files that
// are refused without touching the design, and saves that fail without damaging the old file.
#include <sys/resource.h>

#include <bit>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "cli/cli.h"
#include "core/io/dimensionfile.h"
#include "core/model/model.h"
#include "fifo.h"
#include "started_model.h"

using namespace tarn;
namespace fs = std::filesystem;

namespace {

u32 Word(std::span<const std::uint8_t> img, int record, int word) {
    const std::size_t at = static_cast<std::size_t>(record * 20 + word * 4);
    return static_cast<u32>(img[at]) | static_cast<u32>(img[at + 1]) << 8 |
           static_cast<u32>(img[at + 2]) << 16 | static_cast<u32>(img[at + 3]) << 24;
}

void SetWord(std::vector<std::uint8_t>& img, int record, int word, u32 v) {
    const std::size_t at = static_cast<std::size_t>(record * 20 + word * 4);
    for (int i = 0; i < 4; ++i)
        img[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}
void SetFloat(std::vector<std::uint8_t>& img, int record, int word, float v) {
    SetWord(img, record, word, std::bit_cast<u32>(v));
}

u32 Bits(float f) { return std::bit_cast<u32>(f); }

std::vector<std::uint8_t> ImageOf(const Model& m) {
    const DimFileImage img = EncodeDimensionFile(m);
    return std::vector<std::uint8_t>(img.begin(), img.end());
}

std::vector<std::uint8_t> ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& p, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder per test, removed afterwards.
class DimensionFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tarn-dimfile-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

// Everything a refused file must leave alone.
struct Snapshot {
    std::vector<std::uint8_t> image;
    std::string designName;
    i32 lineIndex;
    f32 revArmPos;
    std::array<f32, 10> positions;
    explicit Snapshot(const Model& m)
        : image(ImageOf(m)),
          designName(m.design.DesignName),
          lineIndex(m.overlay.LineIndex),
          revArmPos(m.motion.RevArmPos),
          positions(m.motion.RevArmPositions) {}
    bool operator==(const Snapshot&) const = default;
};

TEST_F(DimensionFileTest, FileSavedAtStartHasTheDocumentedLayout) {
    Model m = test::StartedModel();
    const fs::path p = dir_ / "Start.dti";
    const FileResult r = SaveDimensionFile(m, p.string());
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(m.design.DesignName, "Start");
    const auto img = ReadAll(p);
    ASSERT_EQ(img.size(), 1400u);
    EXPECT_EQ(Word(img, 0, 0), Bits(3.0f));
    EXPECT_EQ(Word(img, 0, 1), Bits(8.0f));
    EXPECT_EQ(Word(img, 0, 2), Bits(6.207f));
    EXPECT_EQ(Word(img, 0, 3), Bits(2.793f));
    EXPECT_EQ(Word(img, 0, 4), Bits(5.0f));
    for (int w = 0; w < 4; ++w) EXPECT_EQ(Word(img, 69, w), 0u);
    EXPECT_EQ(Word(img, 69, 4), Bits(1.0f));
    // Spare words and CylSpare of a fresh program are 0.
    EXPECT_EQ(Word(img, 4, 4), 0u);
    EXPECT_EQ(Word(img, 7, 3), 0u);
    EXPECT_EQ(Word(img, 7, 4), 0u);
    for (int w = 0; w < 3; ++w) EXPECT_EQ(Word(img, 8, w), 0u);
    // A few landmarks of the layout.
    EXPECT_EQ(Word(img, 2, 2), Bits(6.207f));   // LinkPivotHorz
    EXPECT_EQ(Word(img, 3, 0), Bits(-1.677f));  // AnchorLinkPivotVert
    EXPECT_EQ(Word(img, 4, 1), Bits(16.0f));    // CylCtrToDriverCtr
    EXPECT_EQ(Word(img, 7, 0), Bits(2.5f));     // ValveCLToCylCL
    EXPECT_EQ(Word(img, 8, 4), Bits(2.5f));     // PivotY[4]
    EXPECT_EQ(Word(img, 9, 0), Bits(27.0f));    // Zoom
    EXPECT_EQ(Word(img, 9, 2), Bits(7.5f));     // GraphicZoomFactor
    EXPECT_EQ(Word(img, 9, 3), Bits(270.0f));   // OffsetY
    EXPECT_EQ(Word(img, 10, 4), Bits(1.5f));    // DiagramScale
    EXPECT_EQ(Word(img, 11, 3), Bits(62.0f));   // preset 1 zoom
    EXPECT_EQ(Word(img, 15, 0), Bits(900.0f));  // ViewPresets[20]
    EXPECT_EQ(Word(img, 15, 1), Bits(m.motion.RevArmPositions[1]));
    EXPECT_EQ(Word(img, 49, 0), Bits(-1.0f));  // LineType row 1
    EXPECT_EQ(Word(img, 60, 4), Bits(-1.0f));  // LineRef row 20
    EXPECT_EQ(Word(img, 17, 0), 0u);           // LineH1 row 1
    // No temporary file is left beside the design.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(DimensionFileTest, OverlayArraysKeepTheirRowOffsets) {
    Model m = test::StartedModel();
    for (int k = 1; k <= 20; ++k) {
        m.overlay.LineH1[k] = 100.0f + k;
        m.overlay.LinePivot2[k] = static_cast<f32>(k);
        m.overlay.LineType[k - 1] = (k % 2) ? 0.0f : 1.0f;
        m.overlay.LineColor[k - 1] = 255.0f * k;
    }
    m.overlay.LineIndex = 7;
    const auto img = ImageOf(m);
    for (int k = 1; k <= 20; ++k) {
        const int rec = (k - 1) / 5, word = (k - 1) % 5;
        EXPECT_EQ(Word(img, 17 + rec, word), Bits(100.0f + k)) << k;
        EXPECT_EQ(Word(img, 65 + rec, word), Bits(static_cast<f32>(k))) << k;
        EXPECT_EQ(Word(img, 49 + rec, word), Bits((k % 2) ? 0.0f : 1.0f)) << k;
        EXPECT_EQ(Word(img, 53 + rec, word), Bits(255.0f * k)) << k;
    }
    EXPECT_EQ(Word(img, 69, 4), Bits(7.0f));
    // PlotRevArmPos goes into both of its words.
    m.design.PlotRevArmPos = 1.25f;
    const auto img2 = ImageOf(m);
    EXPECT_EQ(Word(img2, 10, 2), Bits(1.25f));
    EXPECT_EQ(Word(img2, 10, 3), Bits(1.25f));
}

TEST_F(DimensionFileTest, SaveChangeOpenGivesBackEverySavedValue) {
    Model saved = test::StartedModel();
    // A design different from the defaults in every group the file holds.
    saved.design.StrokeLen = 3.25f;
    saved.design.Frame.CouplerLower = 1.5f;
    saved.design.LinkPivotHorz = 6.5f;
    saved.design.AnchorLinkPivotVert = -1.75f;
    saved.design.CylCLAboveDriver = 0.125f;
    saved.design.Cyl.ValveCLToCylCL = 2.75f;
    saved.design.Cyl.CylSpare = 0xFFC00001u;  // a NaN pattern, kept raw
    saved.design.FileSpare = {1u, 0x7F800001u, 3u, 0xDEADBEEFu, 5u};
    saved.design.ValveLeverUpperOffset = 0.1f;
    saved.view.Zoom = 40.0f;
    saved.view.OffsetX = 200.5f;
    saved.view.OffsetY = 250.25f;
    saved.closeup.GraphicZoomFactor = 12.0f;
    saved.design.RevArmToCentNorm = 1.2f;
    saved.design.RevArmToCentMax = 1.7f;
    saved.design.PlotRevArmPos = 0.75f;
    saved.diagrams.DiagramScale = 2.5f;
    saved.view.ViewPresets[0] = 33.0f;
    saved.view.ViewPresets[10] = -123.5f;
    saved.motion.RevArmPositions[4] = 6.0f;
    saved.motion.RevArmPositions[9] = 7.5f;
    saved.overlay.LineType[2] = 1.0f;
    saved.overlay.LineColor[2] = 32768.0f;
    saved.overlay.LineRef[2] = 1.0f;
    saved.overlay.LineV1[3] = 0.5f;
    saved.overlay.LineH1[3] = -0.25f;
    saved.overlay.LineH2[3] = 5.0f;
    saved.overlay.LinePivot1[3] = 2.0f;
    saved.overlay.LinePiv1X[3] = 1.5f;
    saved.overlay.LinePiv1Y[3] = 0.0f;
    saved.overlay.LineIndex = 4;
    saved.motion.RevArmPos = saved.motion.RevArmPositions[2];  // full forward gear when saved

    const fs::path p = dir_ / "Round.Trip.dti";
    ASSERT_TRUE(SaveDimensionFile(saved, p.string()).ok);
    EXPECT_EQ(saved.design.DesignName, "Round.Trip");

    Model m = test::StartedModel();
    m.design.StrokeLen = 9.0f;
    m.view.Zoom = 99.0f;
    m.view.ViewPresets[10] = 1.0f;
    m.diagrams.DiagramScale = 9.0f;
    m.overlay.LineType[2] = -1.0f;
    m.overlay.LineIndex = 19;
    m.dyn.DynVarName[1] = "Stroke";  // the slots stay as they were
    const FileResult r = LoadDimensionFile(m, p.string());
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(m.design.DesignName, "Round.Trip");
    EXPECT_EQ(m.dyn.DynVarName[1], "Stroke");
    EXPECT_EQ(m.overlay.LineIndex, 4);

    // Every word comes back bit for bit, except those that opening recomputes: the arm goes to
    // mid gear, and with it RevArmPositions[1..3].
    const auto a = ImageOf(saved), b = ImageOf(m);
    for (int w = 0; w < 350; ++w) {
        const int rec = w / 5, word = w % 5;
        if (rec == 10 && word == 1) continue;               // RevArmPos
        if (rec == 15 && word >= 1 && word <= 3) continue;  // RevArmPositions[1..3]
        EXPECT_EQ(Word(a, rec, word), Word(b, rec, word)) << "record " << rec << " word " << word;
    }
    Model centred = saved;
    CentreRevArm(centred);
    EXPECT_EQ(Bits(m.motion.RevArmPos), Bits(centred.motion.RevArmPositions[0]));
    EXPECT_EQ(Bits(m.motion.RevArmPositions[0]), Bits(centred.motion.RevArmPositions[0]));
    EXPECT_EQ(Bits(m.motion.RevArmPositions[2]), Bits(centred.motion.RevArmPositions[2]));
    EXPECT_NE(m.motion.RevArmPos, saved.motion.RevArmPos);
}

TEST_F(DimensionFileTest, DecodingAnyValidImageReEncodesIt) {
    // Random words in every place, consistent where opening recomputes: what comes back is
    // exactly what was read.
    std::mt19937 rng(12345);
    std::uniform_real_distribution<float> any(-1000.0f, 1000.0f);
    for (int round = 0; round < 20; ++round) {
        std::vector<std::uint8_t> img(1400);
        for (int w = 0; w < 345; ++w) SetFloat(img, w / 5, w % 5, any(rng));
        for (int w : {4 * 5 + 4, 7 * 5 + 3, 7 * 5 + 4, 8 * 5 + 0, 8 * 5 + 1, 8 * 5 + 2})
            SetWord(img, w / 5, w % 5, static_cast<u32>(rng()));  // raw words: any bits
        SetFloat(img, 9, 0, 50.0f);
        SetFloat(img, 9, 2, 10.0f);
        SetFloat(img, 9, 4, 1.0f);  // gear limits in order
        SetFloat(img, 10, 0, 2.0f);
        SetFloat(img, 10, 4, 3.0f);
        for (int t = 0; t < 7; ++t) SetFloat(img, 11 + (3 * t) / 5, (3 * t) % 5, 100.0f + t);
        for (int k = 0; k < 40; ++k)
            SetFloat(img, 61 + k / 5, k % 5, static_cast<float>(rng() % 27));
        SetWord(img, 3, 1, Word(img, 2, 2));  // PivotX[6] = PivotX[5]
        SetWord(img, 3, 2, Word(img, 2, 3));
        SetWord(img, 3, 3, Word(img, 2, 4));  // PivotX[13] = PivotX[12]
        SetWord(img, 3, 4, Word(img, 3, 0));
        SetFloat(
            img, 8, 4,
            static_cast<float>(static_cast<long double>(std::bit_cast<float>(Word(img, 7, 0))) +
                               std::bit_cast<float>(Word(img, 4, 0))));
        SetWord(img, 10, 2, Word(img, 10, 3));
        SetFloat(img, 69, 4, 13.0f);
        Model m = test::StartedModel();
        ASSERT_EQ(DecodeDimensionFile(img, "random", m), "");
        const auto back = ImageOf(m);
        for (int w = 0; w < 350; ++w) {
            const int rec = w / 5, word = w % 5;
            if ((rec == 10 && word == 1) || (rec == 15 && word >= 1 && word <= 3)) continue;
            ASSERT_EQ(Word(back, rec, word), Word(img, rec, word))
                << "record " << rec << " word " << word;
        }
    }
}

TEST_F(DimensionFileTest, ShortFilesAreRefusedAndChangeNothing) {
    Model m = test::StartedModel();
    m.design.DesignName = "Mine";
    const Snapshot before(m);
    auto img = ImageOf(test::StartedModel());
    for (std::size_t size : {0u, 20u, 1380u, 1399u}) {
        const fs::path p = dir_ / ("short" + std::to_string(size) + ".dti");
        WriteAll(p, std::vector<std::uint8_t>(img.begin(), img.begin() + static_cast<long>(size)));
        const FileResult r = LoadDimensionFile(m, p.string());
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, p.string() + " is not a dimension file: it holds " +
                               std::to_string(size) + " bytes, 1400 are needed");
        EXPECT_TRUE(Snapshot(m) == before) << size;
    }
    // A longer file is read up to record 69; the rest is ignored.
    img.resize(1500, 0xAB);
    const fs::path longer = dir_ / "longer.dti";
    WriteAll(longer, img);
    EXPECT_TRUE(LoadDimensionFile(m, longer.string()).ok);
    EXPECT_EQ(m.design.DesignName, "longer");
}

TEST_F(DimensionFileTest, UnsoundValuesAreRefusedNamingRecordAndWord) {
    struct Case {
        int record, word;
        float value;
        const char* name;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {0, 0, nan, "StrokeLen"},
        {2, 1, inf, "LinkRadius"},
        {9, 3, -inf, "OffsetY"},
        {6, 4, nan, "ValveCtrToJoint"},
        {9, 0, 0.0f, "Zoom"},
        {9, 0, 3000.5f, "Zoom"},
        {9, 0, -5.0f, "Zoom"},
        {11, 0, -1.0f, "ViewPresets[0]"},
        {11, 3, 0.0f, "ViewPresets[3]"},      // preset 1 must hold a usable zoom
        {14, 3, 4000.0f, "ViewPresets[18]"},  // preset 6
        {10, 4, 0.05f, "DiagramScale"},
        {10, 4, 1001.0f, "DiagramScale"},
        {9, 2, 0.25f, "GraphicZoomFactor"},
        {9, 2, 2500.0f, "GraphicZoomFactor"},
        {61, 2, 27.0f, "LinePivot1"},
        {66, 0, -1.0f, "LinePivot2"},
        {65, 0, nan, "LinePivot2"},
        {53, 0, nan, "LineColor"},
        {16, 4, inf, "RevArmPositions[9]"},
    };
    Model m = test::StartedModel();
    m.design.DesignName = "Mine";
    m.overlay.LineIndex = 3;
    const Snapshot before(m);
    const fs::path p = dir_ / "bad.dti";
    for (const Case& c : cases) {
        auto img = ImageOf(test::StartedModel());
        SetFloat(img, c.record, c.word, c.value);
        WriteAll(p, img);
        const FileResult r = LoadDimensionFile(m, p.string());
        EXPECT_FALSE(r.ok) << c.name;
        const std::string where = "record " + std::to_string(c.record) + ", word " +
                                  std::to_string(c.word) + " (" + c.name + ")";
        EXPECT_NE(r.error.find(where), std::string::npos) << r.error;
        EXPECT_EQ(r.error.rfind(p.string(), 0), 0u) << r.error;
        EXPECT_TRUE(Snapshot(m) == before) << c.name;
    }
}

TEST_F(DimensionFileTest, EdgesThatAreAccepted) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    auto base = ImageOf(test::StartedModel());
    auto load = [&](const std::vector<std::uint8_t>& img) {
        Model m = test::StartedModel();
        EXPECT_EQ(DecodeDimensionFile(img, "f", m), "");
        return m;
    };
    // Raw words and recomputed words may hold anything.
    auto img = base;
    SetWord(img, 7, 3, Bits(nan));
    SetFloat(img, 3, 1, nan);    // PivotX[6]
    SetFloat(img, 3, 4, 7.0f);   // PivotY[13]
    SetFloat(img, 8, 4, 1e30f);  // PivotY[4]
    SetFloat(img, 10, 1, nan);   // RevArmPos
    SetFloat(img, 10, 2, nan);   // the first PlotRevArmPos loses to the second
    Model m = load(img);
    EXPECT_EQ(m.design.FileSpare[0], Bits(nan));
    EXPECT_EQ(m.design.PlotRevArmPos, 0.0f);
    EXPECT_TRUE(std::isfinite(m.motion.RevArmPos));
    // The pivots' working copies and the valve stem's height leave no trace in the design: saved
    // again, their words follow the entered values.
    const auto again = ImageOf(m);
    EXPECT_EQ(Word(again, 3, 1), Bits(6.207f));   // PivotX[6] = LinkPivotHorz
    EXPECT_EQ(Word(again, 3, 4), Bits(-1.677f));  // PivotY[13] = AnchorLinkPivotVert
    EXPECT_EQ(Word(again, 8, 4), Bits(2.5f));     // PivotY[4]
    // Two heights whose sum is beyond the float range: the valve-stem height is stored as the
    // largest float, like every other value, never as an infinity.
    img = base;
    SetFloat(img, 4, 0, 3e38f);  // CylCLAboveDriver
    SetFloat(img, 7, 0, 3e38f);  // ValveCLToCylCL
    m = load(img);
    EXPECT_EQ(ValveCLAboveDriver(m.design), std::numeric_limits<float>::max());
    EXPECT_EQ(Word(ImageOf(m), 8, 4), Bits(std::numeric_limits<float>::max()));
    // Range edges.
    img = base;
    SetFloat(img, 9, 0, 3000.0f);
    SetFloat(img, 11, 0, 0.0f);
    SetFloat(img, 10, 4, 0.1f);
    SetFloat(img, 9, 2, 2000.0f);
    SetFloat(img, 61, 0, 26.0f);
    SetFloat(img, 62, 0, 0.0f);
    m = load(img);
    EXPECT_EQ(m.view.Zoom, 3000.0f);
    EXPECT_EQ(m.overlay.LinePivot1[1], 26.0f);
}

TEST_F(DimensionFileTest, LineIndexIsClampedToTheRows) {
    const std::pair<float, int> cases[] = {{0.0f, 1},
                                           {-3.0f, 1},
                                           {25.0f, 20},
                                           {20.0f, 20},
                                           {2.5f, 2},
                                           {3.5f, 4},
                                           {std::numeric_limits<float>::quiet_NaN(), 1},
                                           {std::numeric_limits<float>::infinity(), 20},
                                           {1e20f, 20}};
    for (const auto& [stored, expected] : cases) {
        auto img = ImageOf(test::StartedModel());
        SetFloat(img, 69, 4, stored);
        SetFloat(img, 69, 0, 123.0f);  // words 0..3 are ignored
        Model m = test::StartedModel();
        ASSERT_EQ(DecodeDimensionFile(img, "f", m), "");
        EXPECT_EQ(m.overlay.LineIndex, expected) << stored;
    }
}

TEST_F(DimensionFileTest, OpeningKeepsGearLimitsUsable) {
    auto run = [](float norm, float max) {
        auto img = ImageOf(test::StartedModel());
        SetFloat(img, 9, 4, norm);
        SetFloat(img, 10, 0, max);
        Model m = test::StartedModel();
        EXPECT_EQ(DecodeDimensionFile(img, "f", m), "");
        return std::pair{m.design.RevArmToCentNorm, m.design.RevArmToCentMax};
    };
    EXPECT_EQ(run(-1.0f, 2.0f), std::pair(0.0f, 2.0f));
    EXPECT_EQ(run(1.0f, -2.0f), std::pair(0.0f, 0.0f));
    EXPECT_EQ(run(3.0f, 2.0f), std::pair(2.0f, 2.0f));
    EXPECT_EQ(run(1.6f, 1.8f), std::pair(1.6f, 1.8f));
}

TEST_F(DimensionFileTest, OpeningPutsTheArmAtMidGearFromTheFileDimensions) {
    Model saved = test::StartedModel();
    saved.design.LinkRadius = 6.0f;
    saved.motion.RevArmPos = saved.motion.RevArmPositions[2];
    const fs::path p = dir_ / "Forward.dti";
    ASSERT_TRUE(SaveDimensionFile(saved, p.string()).ok);
    Model m = test::StartedModel();
    ASSERT_TRUE(LoadDimensionFile(m, p.string()).ok);
    Model expected = saved;
    CentreRevArm(expected);
    EXPECT_EQ(m.motion.RevArmPos, expected.motion.RevArmPositions[0]);
    EXPECT_EQ(m.pivots.PivotX[18], expected.motion.RevArmPositions[0]);
    EXPECT_EQ(m.motion.RevArmPositions[3], expected.motion.RevArmPositions[3]);
}

TEST(DesignName, BaseNameWithoutItsLastExtension) {
    EXPECT_EQ(DesignNameFromPath("C:\\a\\b\\Test.dti"), "Test");
    EXPECT_EQ(DesignNameFromPath("/home/x/Test.dti"), "Test");
    EXPECT_EQ(DesignNameFromPath("/home/x/Name.d"), "Name");
    EXPECT_EQ(DesignNameFromPath("/home/x/a.b.dti"), "a.b");
    EXPECT_EQ(DesignNameFromPath("/home/x.y/NoExtension"), "NoExtension");
    EXPECT_EQ(DesignNameFromPath("C:\\x.y\\z/Mixed.dti"), "Mixed");
    EXPECT_EQ(DesignNameFromPath("Plain.dti"), "Plain");
    EXPECT_EQ(DesignNameFromPath("/home/x/.dti"), ".dti");
}

TEST_F(DimensionFileTest, FailedSavesLeaveTheOldFileAndTheModel) {
    Model m = test::StartedModel();
    m.design.DesignName = "Mine";
    // Into a folder that does not exist, and below a path that is a regular file.
    for (const fs::path& p : {dir_ / "missing" / "x.dti", dir_ / "plain.txt" / "x.dti"}) {
        WriteAll(dir_ / "plain.txt", {1, 2, 3});
        const FileResult r = SaveDimensionFile(m, p.string());
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find(p.string()), std::string::npos) << r.error;
        EXPECT_GT(r.error.size(), p.string().size() + 15) << r.error;
        EXPECT_EQ(m.design.DesignName, "Mine");
    }
    // Onto a folder: nothing is replaced and no temporary file stays behind.
    fs::create_directory(dir_ / "folder.dti");
    EXPECT_FALSE(SaveDimensionFile(m, (dir_ / "folder.dti").string()).ok);
    EXPECT_TRUE(fs::is_directory(dir_ / "folder.dti"));

    // A write that fails half-way (the file size limit) keeps the old file whole.
    const fs::path p = dir_ / "Old.dti";
    Model old = test::StartedModel();
    old.design.StrokeLen = 4.5f;
    ASSERT_TRUE(SaveDimensionFile(old, p.string()).ok);
    const auto oldBytes = ReadAll(p);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const FileResult r = SaveDimensionFile(m, p.string());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(m.design.DesignName, "Mine");
    EXPECT_EQ(ReadAll(p), oldBytes);
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Old.dti", "folder.dti", "plain.txt"}));
}

TEST_F(DimensionFileTest, SavingWritesThroughALinkAndRefusesWhatIsNotARegularFile) {
    Model m = test::StartedModel();
    m.design.StrokeLen = 4.5f;
    // A link to a design, as editors treat it: the design it leads to gets the new bytes and
    // the link stays a link.
    WriteAll(dir_ / "real.dti", {1, 2, 3});
    fs::create_symlink("real.dti", dir_ / "link.dti");
    const FileResult r = SaveDimensionFile(m, (dir_ / "link.dti").string());
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.dti"));
    EXPECT_EQ(fs::read_symlink(dir_ / "link.dti"), fs::path("real.dti"));
    EXPECT_EQ(ReadAll(dir_ / "real.dti"), ImageOf(m));

    // A link that leads nowhere and a pipe are refused and stay what they were.
    m.design.DesignName = "Mine";
    const std::string dangling = (dir_ / "dangling.dti").string();
    fs::create_symlink("gone.dti", dangling);
    const test::Fifo pipe(dir_ / "pipe.dti");
    ASSERT_TRUE(pipe.made());
    EXPECT_EQ(SaveDimensionFile(m, dangling).error,
              "Cannot save " + dangling + ": it is a link to gone.dti, which does not exist");
    EXPECT_EQ(SaveDimensionFile(m, pipe.string()).error,
              "Cannot save " + pipe.string() + ": not a regular file");
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_FALSE(fs::exists(dangling));
    EXPECT_TRUE(fs::is_fifo(pipe.path()));
    EXPECT_EQ(m.design.DesignName, "Mine");
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names,
              (std::vector<std::string>{"dangling.dti", "link.dti", "pipe.dti", "real.dti"}));
}

// A file marked read-only in a folder anyone may write is refused, by its mode bits (the
// superuser could write it); a hundred leftovers of saves killed half-way neither block a save
// nor are touched, and the replaced file keeps its mode.
TEST_F(DimensionFileTest, AReadOnlyFileIsRefusedAndLeftoversNeverBlockASave) {
    Model m = test::StartedModel();
    m.design.StrokeLen = 4.5f;
    constexpr auto kReadOnly =
        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    const fs::path locked = dir_ / "Locked.dti";
    WriteAll(locked, {1, 2, 3});
    fs::permissions(locked, kReadOnly);
    m.design.DesignName = "Mine";
    EXPECT_EQ(SaveDimensionFile(m, locked.string()).error,
              "Cannot save " + locked.string() + ": the file is read-only");
    EXPECT_EQ(ReadAll(locked), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(fs::status(locked).permissions(), kReadOnly);
    EXPECT_EQ(m.design.DesignName, "Mine");

    const fs::path busy = dir_ / "Busy.dti";
    WriteAll(busy, {4, 5, 6});
    constexpr auto kMode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(busy, kMode);
    auto leftover = [&](int k) { return dir_ / ("Busy.dti.part" + std::to_string(k)); };
    for (int k = 0; k < 100; ++k) WriteAll(leftover(k), {static_cast<std::uint8_t>(k)});
    const FileResult r = SaveDimensionFile(m, busy.string());
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(ReadAll(busy), ImageOf(m));
    EXPECT_EQ(fs::status(busy).permissions(), kMode);
    for (int k = 0; k < 100; ++k)
        EXPECT_EQ(ReadAll(leftover(k)), (std::vector<std::uint8_t>{static_cast<std::uint8_t>(k)}));
    // Nothing else stays behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 102);
}

TEST_F(DimensionFileTest, TheSystemsReasonsAreEnglishUnderAGermanLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
    // The system itself speaks German now; the program must not.
    const std::string german = std::strerror(ENOENT);
    Model m = test::StartedModel();
    const std::string missing = (dir_ / "missing" / "x.dti").string();
    const FileResult save = SaveDimensionFile(m, missing);
    const FileResult load = LoadDimensionFile(m, missing);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_NE(german, "No such file or directory");
    EXPECT_EQ(save.error, "Cannot save " + missing + ": No such file or directory");
    EXPECT_EQ(load.error, "Cannot open " + missing + ": No such file or directory");
}

TEST_F(DimensionFileTest, OpeningAMissingFileReportsIt) {
    Model m = test::StartedModel();
    const Snapshot before(m);
    const FileResult r = LoadDimensionFile(m, (dir_ / "none.dti").string());
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("none.dti"), std::string::npos);
    EXPECT_TRUE(Snapshot(m) == before);
}

TEST_F(DimensionFileTest, PipesAndDevicesAreRefusedAtOnceByTheLoaderAndTheCommandLine) {
    // Opening a pipe for reading would wait for a writer that never comes.
    test::Fifo pipe(dir_ / "pipe.dti", test::Fifo::Writer::Ready);
    ASSERT_TRUE(pipe.made());
    for (const std::string& path : {pipe.string(), std::string("/dev/null")}) {
        Model m = test::StartedModel();
        const Snapshot before(m);
        const FileResult r = LoadDimensionFile(m, path);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, "Cannot open " + path + ": not a regular file");
        EXPECT_TRUE(Snapshot(m) == before);
    }

    test::Fifo named(dir_ / "named.dti", test::Fifo::Writer::Ready);
    ASSERT_TRUE(named.made());
    std::string args[] = {"tarn1", "--events", named.string()};
    char* argv[] = {args[0].data(), args[1].data(), args[2].data(), nullptr};
    std::ostringstream out, err;
    EXPECT_EQ(RunEventsCli(3, argv, out, err), kCliFileRefused);
    EXPECT_EQ(err.str(), "Cannot open " + named.string() + ": not a regular file\n");
    EXPECT_EQ(out.str(), "");
}

}  // namespace
