// The steam layer: pixel counts, phase colours, the density clamp and the exhaust beats.
#include <gtest/gtest.h>

#include "core/model/numfmt.h"
#include "core/model/recordingcanvas.h"
#include "core/model/solver.h"
#include "core/scene/mainscene.h"
#include "scene_fakehost.h"

namespace tarn {
namespace {

using Kind = CanvasOp::Kind;

struct SteamTest : ::testing::Test {
    Model m;
    testing::FakeHost host;
    RecordingCanvas canvas;
    SteamRandom rnd;
    SteamTest() {
        StartUp(m);
        m.display.ShowSteam = true;
        SolveLinkage(m);
        SolveValveEvents(m);
        MapPivotsToScreen(m);
        UpdateCylinderPoints(m);
        UpdatePistonPoints(m);
    }
    std::vector<CanvasOp> Steam() {
        canvas.Reset();
        DrawSteam(m, canvas, host, rnd);
        return canvas.OfKind(Kind::Pixel);
    }
};

TEST_F(SteamTest, FirstFrameCountsAtZoom27) {
    // At start the front port admits steam (lead) and the rear end exhausts.
    ASSERT_GT(m.solved.FrontSteamOpen, 0);
    ASSERT_GT(m.solved.RearExhaustOpen, 0);
    const auto px = Steam();
    EXPECT_FLOAT_EQ(m.steam.RearSteamDensity, 25.0f);
    EXPECT_EQ(m.steam.RearSteamCount, 36);
    EXPECT_GT(m.steam.FrontSteamDensity, 20.0f);  // admission: it grows from its start value
    const int f = m.steam.FrontSteamCount;
    // The layer's pixels in order: supply 146, live steam 1166, front end, front passage, rear
    // end, rear passage, front exhaust space, front passage-and-plume pairs, then the rear's.
    const int counts[] = {146, 1166, f, f / 15, 36, 2, f / 5, 2 * (f / 12), 7, 2 * 3};
    int total = 0;
    for (int c : counts) total += c;
    ASSERT_EQ(static_cast<int>(px.size()), total);
    const Rgb colours[] = {kRed,
                           kRed,
                           kRed,
                           kRed,
                           kBlue,
                           kBlue,
                           m.solved.FrontExhaustOpen > 0 ? kBlue : kWhite,
                           m.solved.FrontExhaustOpen > 0 ? kBlue : kWhite,
                           kBlue,
                           kBlue};
    int at = 0;
    for (int s = 0; s < 10; ++s)
        for (int k = 0; k < counts[s]; ++k, ++at)
            ASSERT_EQ(px[at].colour, colours[s]) << "step " << s;
    EXPECT_EQ(m.steam.FrontSteamState, PortOpened::Steam);
    EXPECT_EQ(m.steam.RearSteamState, PortOpened::Exhaust);
    // The live steam stays between the valve heads.
    for (int k = 146; k < 146 + 1166; ++k) {
        EXPECT_GE(px[k].c[0], m.steam.PistonPtX[9]);
        EXPECT_LT(px[k].c[0], m.steam.PistonPtX[10]);
    }
    // The legend, then black.
    EXPECT_NE(canvas.FindText("ADMISSION"), nullptr);
    EXPECT_EQ(canvas.FindText("COMPRESSION")->colour, kGreen);
    EXPECT_EQ(canvas.FontColor(), kBlack);
}

TEST_F(SteamTest, ColoursFollowThePhases) {
    m.solved.FrontSteamOpen = -0.1f;
    m.solved.FrontExhaustOpen = -0.1f;
    m.solved.RearSteamOpen = -0.1f;
    m.solved.RearExhaustOpen = -0.1f;
    auto endColours = [&] {
        const auto px = Steam();
        return std::pair{px[1312].colour,
                         px[1312 + m.steam.FrontSteamCount + m.steam.FrontSteamCount / 15].colour};
    };
    // No event yet: black front, and the rear takes the front's colour.
    EXPECT_EQ(endColours(), std::pair(kBlack, kBlack));
    m.solved.FrontSteamOpen = 0.2f;
    EXPECT_EQ(endColours(), std::pair(kRed, kRed));
    m.solved.FrontSteamOpen = -0.1f;
    EXPECT_EQ(endColours().first, kFuchsia);
    // Steam and exhaust both reported open: exhaust wins.
    m.solved.FrontSteamOpen = 0.1f;
    m.solved.FrontExhaustOpen = 0.1f;
    EXPECT_EQ(endColours().first, kBlue);
    EXPECT_EQ(m.steam.FrontSteamState, PortOpened::Exhaust);
    m.solved.FrontSteamOpen = -0.1f;
    m.solved.FrontExhaustOpen = -0.1f;
    EXPECT_EQ(endColours().first, kGreen);
}

TEST_F(SteamTest, DensityStaysWithin25And2000) {
    m.motion.StepAngle = 45;
    m.solved.FrontSteamOpen = 5;
    m.solved.FrontExhaustOpen = -1;
    m.solved.RearSteamOpen = -1;
    m.solved.RearExhaustOpen = 5;
    for (int i = 0; i < 3; ++i) Steam();
    EXPECT_FLOAT_EQ(m.steam.FrontSteamDensity, 2000.0f);
    EXPECT_FLOAT_EQ(m.steam.RearSteamDensity, 25.0f);
    EXPECT_EQ(m.steam.FrontSteamCount, Round(2000 * 27 / 18.5L));
    m.steam.FrontSteamDensity = std::numeric_limits<float>::quiet_NaN();
    m.solved.FrontSteamOpen = -1;
    Steam();
    EXPECT_FLOAT_EQ(m.steam.FrontSteamDensity, 25.0f);
}

TEST_F(SteamTest, BeatsArmOnAClosedExhaustAndSoundOnItsOpening) {
    m.solved.FrontExhaustOpen = -0.1f;
    m.solved.RearExhaustOpen = -0.1f;
    Steam();
    EXPECT_TRUE(m.steam.FrontBeatArmed);
    EXPECT_EQ(host.sound.exhaust, 0);
    m.solved.FrontExhaustOpen = 0.1f;
    Steam();
    EXPECT_EQ(host.sound.exhaust, 1);
    EXPECT_FALSE(m.steam.FrontBeatArmed);
    // The other end has not sounded yet: its level 0 sets no volume.
    EXPECT_TRUE(host.sound.volumes.empty());
    const float frontLevel = m.steam.FrontBeatLevel;
    EXPECT_FLOAT_EQ(frontLevel, m.steam.FrontSteamDensity);
    Steam();  // still open: no second beat
    EXPECT_EQ(host.sound.exhaust, 1);
    // The rear beat's loudness is the front's density at its beat.
    m.solved.RearExhaustOpen = 0.1f;
    Steam();
    EXPECT_EQ(host.sound.exhaust, 2);
    ASSERT_EQ(host.sound.volumes.size(), 1u);
    EXPECT_EQ(host.sound.volumes[0], BeatVolume(Round(frontLevel)));
}

TEST_F(SteamTest, NoBeatIsArmedDuringACloseup) {
    m.closeup.GraphicPosId = 3;
    m.solved.FrontExhaustOpen = -0.1f;
    Steam();
    m.solved.FrontExhaustOpen = 0.1f;
    Steam();
    EXPECT_EQ(host.sound.exhaust, 0);
}

TEST(BeatVolume, FollowsTheLevelTable) {
    EXPECT_EQ(BeatVolume(23), -1);
    EXPECT_EQ(BeatVolume(24), 0x0700);
    EXPECT_EQ(BeatVolume(100), 0x0700);
    EXPECT_EQ(BeatVolume(101), 0x1400);
    EXPECT_EQ(BeatVolume(600), 0x4000);
    EXPECT_EQ(BeatVolume(1201), 0x8000);
    EXPECT_EQ(BeatVolume(2001), 0x8000);
    EXPECT_EQ(BeatVolume(2002), -1);
}

TEST_F(SteamTest, ACollapsedSectionNeitherBeepsNorFlags) {
    // A bore as high as the chest floor is above it: spans of 0 count as 1.
    m.design.Cyl.CylBoreDia = 0;
    m.design.Cyl.ValveBoreDia = 0;
    m.design.Cyl.ValveCLToCylCL = 0;
    m.solved.GeometryError = false;
    UpdateCylinderPoints(m);
    UpdatePistonPoints(m);
    Steam();
    EXPECT_EQ(host.sound.beeps, 0);
    EXPECT_FALSE(m.solved.GeometryError);
}

TEST_F(SteamTest, TheDefaultDesignAtTheLowestZoomsIsDrawnSilently) {
    for (float zoom : {0.5f, 1.0f, 2.0f}) {
        m.view.Zoom = zoom;
        m.view.OffsetX = 115;
        m.view.OffsetY = 270;
        m.solved.GeometryError = false;
        MapPivotsToScreen(m);
        UpdateCylinderPoints(m);
        UpdatePistonPoints(m);
        Steam();
        EXPECT_EQ(host.sound.beeps, 0) << zoom;
        EXPECT_FALSE(m.solved.GeometryError) << zoom;
    }
}

TEST_F(SteamTest, AtPreset5EveryPixelIsWritten) {
    m.view.Zoom = 350;
    m.view.OffsetX = -4800;
    m.view.OffsetY = 900;
    MapPivotsToScreen(m);
    UpdateCylinderPoints(m);
    UpdatePistonPoints(m);
    const auto px = Steam();
    EXPECT_EQ(static_cast<int>(px.size()) >= Round(350 * 5.4L) + Round(350 * 43.2L), true);
}

TEST(SteamRandom, StaysInRange) {
    SteamRandom r;
    r.Seed(7);
    for (int n : {1, 2, 3, 1000}) {
        for (int i = 0; i < 1000; ++i) {
            const int v = r.Next(n);
            ASSERT_GE(v, 0);
            ASSERT_LT(v, n);
        }
    }
    EXPECT_EQ(r.Next(0), 0);
    EXPECT_EQ(r.Next(-5), 0);
}

}  // namespace
}  // namespace tarn
