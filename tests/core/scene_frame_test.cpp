// The main picture on the recording canvas: the tick order, the linkage layer, the overlay rule,
// the captions and the view transform.
#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include "core/scene/mainscene.h"

#include "core/model/numfmt.h"
#include "core/model/recordingcanvas.h"
#include "core/model/solver.h"
#include "scene_fakehost.h"

namespace tarn {
namespace {

using Kind = CanvasOp::Kind;

struct SceneTest : ::testing::Test {
    Model m;
    testing::FakeHost host;
    RecordingCanvas canvas;
    SceneTest() { StartUp(m); }
    // The frame of the current state, solved but not advanced.
    void Frame() {
        SolveLinkage(m);
        SolveValveEvents(m);
        MapPivotsToScreen(m);
        UpdateCylinderPoints(m);
        UpdatePistonPoints(m);
        canvas.Reset();
        MainScene(m, host).RenderFrame(canvas);
    }
    std::vector<CanvasOp> Lines() const { return canvas.OfKind(Kind::Line); }
};

TEST_F(SceneTest, TickShowsTheAngleBeforeTheAdvance) {
    MainScene scene(m, host);
    scene.Tick(canvas);
    EXPECT_FLOAT_EQ(m.motion.CrankAngle, 10.0f);
    // The crank pin is drawn where angle 0 puts it: right of the axle, level with it.
    const auto ellipses = canvas.OfKind(Kind::Ellipse);
    ASSERT_GE(ellipses.size(), 4u);
    EXPECT_EQ(ellipses[2].c[0] + ellipses[2].c[2], 2 * 155 + 1);  // centre 155.5
    EXPECT_EQ(ellipses[2].c[1] + ellipses[2].c[3], 2 * 270);
    // The read-out already has the next angle.
    EXPECT_NE(canvas.FindText("Driv Ang  10.00  "), nullptr);
    // Ten more ticks: 110 degrees.
    for (int i = 0; i < 10; ++i) scene.Tick(canvas);
    EXPECT_FLOAT_EQ(m.motion.CrankAngle, 110.0f);
}

TEST_F(SceneTest, CrankWrapsAbove360Point1) {
    m.motion.StepAngle = 10;
    m.motion.CrankAngle = 355;
    AdvanceCrank(m);
    EXPECT_FLOAT_EQ(m.motion.CrankAngle, 5.0f);
    m.motion.StepAngle = 0;
    m.motion.CrankAngle = 360.05f;
    AdvanceCrank(m);
    EXPECT_FLOAT_EQ(m.motion.CrankAngle, 360.05f);
    m.motion.CrankAngle = 360.2f;
    AdvanceCrank(m);
    EXPECT_NEAR(m.motion.CrankAngle, 0.2f, 1e-4);
    m.motion.StepAngle = 10;
    m.motion.Direction = Direction::Reverse;
    m.motion.CrankAngle = 5;
    AdvanceCrank(m);
    EXPECT_FLOAT_EQ(m.motion.CrankAngle, 355.0f);
}

TEST_F(SceneTest, WheelOfTheStartViewSpansPixels7To223) {
    Frame();
    EXPECT_EQ(m.pivots.ScreenX[1], 115);
    EXPECT_EQ(m.pivots.ScreenY[1], 270);
    const auto wheel = canvas.OfKind(Kind::Ellipse).front();
    EXPECT_EQ(wheel.c[0], 7);
    EXPECT_EQ(wheel.c[2], 223);
    EXPECT_EQ(wheel.c[1], 378);
    EXPECT_EQ(wheel.c[3], 162);
    EXPECT_EQ(wheel.colour, kBlack);
    // The frame starts white, pen width 1.
    EXPECT_EQ(canvas.Ops().front().kind, Kind::Clear);
    EXPECT_EQ(canvas.Ops().front().colour, kWhite);
}

TEST_F(SceneTest, BalanceWeightLiesOppositeTheCrankAtAngle0) {
    m.motion.CrankAngle = 0;
    Frame();
    const auto arcs = canvas.OfKind(Kind::Arc);
    ASSERT_EQ(arcs.size(), 2u);
    const auto& w = arcs[0];
    // Box: radius 0.35 * 8 * 27 = 75.6 about (115, 270).
    EXPECT_EQ(w.c[0], 39);
    EXPECT_EQ(w.c[1], 346);
    EXPECT_EQ(w.c[2], 191);
    EXPECT_EQ(w.c[3], 194);
    // Rays at -110 and +110 screen degrees, radius 216: upper left to lower left.
    EXPECT_EQ(w.c[4], 41);
    EXPECT_EQ(w.c[5], 67);
    EXPECT_EQ(w.c[6], 41);
    EXPECT_EQ(w.c[7], 473);
    // The link arc follows in red.
    EXPECT_EQ(arcs[1].colour, kRed);
}

TEST_F(SceneTest, RodsHaveTheirColours) {
    Frame();
    const auto& S = m.pivots.ScreenX;
    const auto& T = m.pivots.ScreenY;
    const auto lines = Lines();
    auto find = [&](int i, int j) -> const CanvasOp* {
        for (const auto& l : lines)
            if (l.c[0] == S[i] && l.c[1] == T[i] && l.c[2] == S[j] && l.c[3] == T[j]) return &l;
        return nullptr;
    };
    struct {
        int from, to;
        Rgb colour;
    } rods[] = {{3, 2, kRed},    {4, 7, kLime},      {8, 7, kAqua}, {7, 9, kAqua},
                {10, 11, kBlue}, {11, 12, kFuchsia}, {5, 18, kBlue}};
    for (const auto& r : rods) {
        const CanvasOp* l = find(r.from, r.to);
        ASSERT_NE(l, nullptr) << r.from << "-" << r.to;
        EXPECT_EQ(l->colour, r.colour) << r.from << "-" << r.to;
    }
    // The reach rod runs level from the arm end to above the driver centre, in black, last.
    const auto& reach = lines.back();
    EXPECT_EQ(reach.colour, kBlack);
    EXPECT_EQ(reach.c[2], S[1]);
    EXPECT_EQ(reach.c[3], T[18]);
    // The fixed-point crosses.
    int redCrossArms = 0;
    for (const auto& l : lines)
        if (l.colour == kRed && l.c[0] == S[6] + 5) ++redCrossArms;
    EXPECT_EQ(redCrossArms, 2);
    EXPECT_FLOAT_EQ(m.pivots.PivotX[18], m.motion.RevArmPos);
    // The cylinder outline is grey: 9 + 1 + 1 + 4 segments.
    int grey = 0;
    for (const auto& l : lines) grey += l.colour == kGrey;
    EXPECT_EQ(grey, 15);
}

TEST_F(SceneTest, LineWidthTwoThickensEveryLineButNotText) {
    m.display.LineWidth = 2;
    m.display.ShowSteam = true;
    Frame();
    for (const auto& op : canvas.Ops()) {
        if (op.kind == Kind::Line || op.kind == Kind::Ellipse || op.kind == Kind::Arc) {
            EXPECT_EQ(op.penWidth, 2);
        }
    }
    EXPECT_FALSE(canvas.OfKind(Kind::Text).empty());
}

TEST_F(SceneTest, OverlayEntriesFollowTheirKindAndMode) {
    // Row 1: a zero line at the origin in red; row 2: a circle tied to a pivot with mode 2,
    // which draws nothing; row 3: a circle of radius 1 about (1, 1).
    m.overlay.LineType[0] = 0;
    m.overlay.LineRef[0] = 0;
    m.overlay.LineColor[0] = 255;
    m.overlay.LineType[1] = 1;
    m.overlay.LineRef[1] = 2;
    m.overlay.LineColor[1] = 0;
    m.overlay.LineType[2] = 1;
    m.overlay.LineRef[2] = 0;
    m.overlay.LineColor[2] = 16711680;
    m.overlay.LineH1[3] = 1;
    m.overlay.LineV1[3] = 1;
    m.overlay.LineH2[3] = 1;
    m.overlay.LineType[3] = 0;
    m.overlay.LineRef[3] = 3;
    m.overlay.LineColor[3] = 32768;
    m.overlay.LinePivot1[4] = 2;
    m.overlay.LinePivot2[4] = 3;
    m.overlay.LineType[4] = 0;
    m.overlay.LineRef[4] = 0;
    m.overlay.LineColor[4] = -1;  // unused colour: black
    Frame();
    const auto& ops = canvas.Ops();
    // Everything after the reach rod is the overlay.
    std::vector<CanvasOp> overlay;
    bool after = false;
    for (const auto& op : ops) {
        if (after) overlay.push_back(op);
        if (op.kind == Kind::Line && op.c[2] == m.pivots.ScreenX[1] &&
            op.c[3] == m.pivots.ScreenY[18] && op.colour == kBlack)
            after = true;
    }
    std::vector<CanvasOp> drawn;
    for (const auto& op : overlay)
        if (op.kind == Kind::Line || op.kind == Kind::Ellipse) drawn.push_back(op);
    ASSERT_GE(drawn.size(), 4u);
    EXPECT_EQ(drawn[0].kind, Kind::Line);
    EXPECT_EQ(drawn[0].colour, kRed);
    EXPECT_EQ((std::vector<int>{drawn[0].c[0], drawn[0].c[1], drawn[0].c[2], drawn[0].c[3]}),
              (std::vector<int>{115, 270, 115, 270}));
    EXPECT_EQ(drawn[1].kind, Kind::Ellipse);  // row 2 drew nothing
    EXPECT_EQ(drawn[1].colour, kBlue);
    // Left Round(0*27+115), first edge Round(-0*27+270+1), right Round(2*27+115+1), Round(-2*27+270).
    EXPECT_EQ((std::vector<int>{drawn[1].c[0], drawn[1].c[1], drawn[1].c[2], drawn[1].c[3]}),
              (std::vector<int>{115, 271, 170, 216}));
    EXPECT_EQ(drawn[2].colour, kGreen);  // row 4: crank pin to crosshead
    EXPECT_EQ(drawn[2].c[0], m.pivots.ScreenX[2]);
    EXPECT_EQ(drawn[2].c[2], m.pivots.ScreenX[3]);
    EXPECT_EQ(drawn[3].colour, kBlack);
}

TEST(OverlayColour, DecodesBgrAndDrawsBadValuesBlack) {
    EXPECT_EQ(OverlayColour(255), kRed);
    EXPECT_EQ(OverlayColour(65535), kYellow);
    EXPECT_EQ(OverlayColour(8421504), kGrey);
    EXPECT_EQ(OverlayColour(-1), kBlack);
    EXPECT_EQ(OverlayColour(1e30f), kBlack);
    EXPECT_EQ(OverlayColour(std::numeric_limits<float>::quiet_NaN()), kBlack);
}

TEST_F(SceneTest, ReferenceCrossesTakeTheLastRowsColourAndAnUnusedOneDrawsBlack) {
    m.display.RefPointsOn = true;
    m.pivots.PivotX[19] = 1;
    m.pivots.PivotY[19] = 2;
    const int x = 115 + 27, y = 270 - 54;
    auto crossColour = [&]() -> std::optional<Rgb> {
        Frame();
        for (const auto& op : Lines())
            if (op.c[0] == x && op.c[1] == y - 10 && op.c[2] == x && op.c[3] == y + 10)
                return op.colour;
        return std::nullopt;
    };
    // Row 20 is unused (-1): not white on white but black, and the stored value stays.
    EXPECT_EQ(crossColour(), kBlack);
    EXPECT_EQ(m.overlay.LineColor[19], -1.0f);
    m.overlay.LineColor[19] = 255;
    EXPECT_EQ(crossColour(), kRed);
    m.overlay.LineColor[19] = 1e30f;
    EXPECT_EQ(crossColour(), kBlack);
    EXPECT_EQ(m.overlay.LineColor[19], 1e30f);
}

TEST_F(SceneTest, CaptionsCarryDesignDateAndTime) {
    Frame();
    EXPECT_EQ(host.captions[0],
              "TARN1 Inside Admission            Nominal     08/12/2026   10:11:12   Version 2.6");
    EXPECT_EQ(host.captions[static_cast<int>(CaptionWindow::PortDia)],
              "TARN1 Inside Admission      Port Open/Closed    Nominal     08/12/2026   10:11:12   "
              "Version 2.6");
    EXPECT_EQ(host.captions[static_cast<int>(CaptionWindow::DataTable)].rfind(
                  "TARN1 Inside Admission  Data Table Nominal", 0),
              0u);
}

TEST_F(SceneTest, PointTablesFollowTheView) {
    Frame();
    // C3: cylinder top rear corner (16 - 2, 0 + 1.25) at the start view.
    EXPECT_EQ(m.steam.CylPtX[3], 115 + 14 * 27);
    EXPECT_EQ(m.steam.CylPtY[3], Round(270 - 1.25L * 27));
    // Q12 and Q13 share Q5's pixel x.
    EXPECT_EQ(m.steam.PistonPtX[12], m.steam.PistonPtX[5]);
    EXPECT_EQ(m.steam.PistonPtX[13], m.steam.PistonPtX[5]);
    // The piston's front face is piston rod length beyond the crosshead.
    EXPECT_EQ(m.steam.PistonPtX[0],
              ScreenXOf(m, static_cast<long double>(m.pivots.PivotX[3]) + 7 + 0.377L / 2));
}

}  // namespace
}  // namespace tarn
