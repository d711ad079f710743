// The text layers: read-outs, cut-off percentages, the geometry-error signal, the undo line and
// the dynamic-variable block.
#include <gtest/gtest.h>

#include "core/model/numfmt.h"
#include "core/model/recordingcanvas.h"
#include "core/model/solver.h"
#include "core/scene/mainscene.h"
#include "scene_fakehost.h"

namespace tarn {
namespace {

struct ScreenDataTest : ::testing::Test {
    Model m;
    testing::FakeHost host;
    RecordingCanvas canvas;
    ScreenDataTest() { StartUp(m); }
    void Draw() {
        canvas.Reset();
        DrawScreenData(m, canvas, host);
    }
};

TEST_F(ScreenDataTest, ReadoutsAtTheirPlacesAndFormats) {
    m.solved.PistonPos = 0;
    Draw();
    const CanvasOp* t = canvas.FindText("Piston %   0.00  ");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->c[0], 545);
    EXPECT_EQ(t->c[1], 25);
    EXPECT_NE(canvas.FindText("Step Ang 10.00  "), nullptr);
    EXPECT_NE(canvas.FindText("Rev Arm  6.247  "), nullptr);
    EXPECT_EQ(canvas.FindText("Pan Vert")->c[0], 199);
    // The large layout scales positions, not the text.
    m.display.FontScaleX = 1.27f;
    m.display.FontScaleY = 1.22f;
    Draw();
    t = canvas.FindText("Piston %   0.00  ");
    EXPECT_EQ(t->c[0], 692);  // Round(545 * 1.27)
    EXPECT_EQ(t->c[1], 31);   // Round(25 * 1.22f): the stored scale is a shade above 1.22
    EXPECT_EQ(t->font.points, 8);
}

TEST_F(ScreenDataTest, FrontCutoffInterpolatesAndShowsFor40FramesAtStep10) {
    m.motion.StepAngle = 10;
    m.readouts.PrevPistonPos = 300;
    m.readouts.PrevFrontSteamOpen = 0.1f;
    m.solved.PistonPos = 340;
    m.solved.FrontSteamOpen = -0.1f;
    m.readouts.PrevRearSteamOpen = -1;
    m.solved.RearSteamOpen = -1;
    int shown = 0;
    for (int frame = 0; frame < 60; ++frame) {
        Draw();
        const CanvasOp* v = canvas.FindText("50.0");
        if (v) {
            ++shown;
            EXPECT_EQ(v->c[0], 600);
            EXPECT_EQ(v->c[1], 109);
        }
        EXPECT_NE(canvas.FindText("FrontCO% "), nullptr);
    }
    EXPECT_EQ(shown, 40);
    EXPECT_FLOAT_EQ(m.readouts.PrevPistonPos, 340);
}

TEST_F(ScreenDataTest, RearCutoffCountsFromTheOtherEnd) {
    m.motion.StepAngle = 1;
    m.readouts.PrevPistonPos = 300;
    m.solved.PistonPos = 340;
    m.readouts.PrevRearSteamOpen = 0.1f;
    m.solved.RearSteamOpen = -0.1f;
    Draw();
    EXPECT_EQ(m.readouts.RearCutoffText, "50.0");
    EXPECT_EQ(m.readouts.RearCutoffFrames, 364 - 1);  // Round(400 / 1.1), one frame shown
    EXPECT_EQ(canvas.FindText("50.0")->c[1], 121);
}

TEST_F(ScreenDataTest, NoCutoffLabelsAtStep0OrFrom23) {
    for (float step : {0.0f, 23.0f, 45.0f}) {
        m.motion.StepAngle = step;
        m.readouts.PrevFrontSteamOpen = 0.1f;
        m.solved.FrontSteamOpen = -0.1f;
        Draw();
        EXPECT_EQ(canvas.FindText("FrontCO% "), nullptr);
        EXPECT_EQ(canvas.FindText("RearCO% "), nullptr);
        EXPECT_FALSE(m.readouts.FrontCutoffText.empty());  // still computed
    }
}

TEST_F(ScreenDataTest, GeometryErrorShowsNineFramesThenSoundsOnce) {
    m.solved.GeometryError = true;
    for (int frame = 1; frame <= 9; ++frame) {
        Draw();
        EXPECT_TRUE(host.errorVisible) << frame;
    }
    EXPECT_EQ(host.sound.error, 0);
    Draw();
    EXPECT_FALSE(host.errorVisible);
    EXPECT_EQ(host.sound.error, 1);
    for (int frame = 11; frame <= 20; ++frame) Draw();
    EXPECT_TRUE(m.solved.GeometryError);
    Draw();  // frame 21
    EXPECT_FALSE(m.solved.GeometryError);
    EXPECT_EQ(m.readouts.GeometryErrorFrames, 0);
    EXPECT_EQ(host.sound.error, 1);
    EXPECT_EQ(host.errorShows, 9);
}

TEST_F(ScreenDataTest, UndoLineAndButtonFollowTheSwitches) {
    m.display.UndoOn = true;
    DrawUndoLine(m, canvas, host);
    EXPECT_TRUE(host.undoVisible);
    EXPECT_EQ(host.undoTop, 72);
    m.display.DynVarOn = true;
    m.display.FontScaleX = 1.27f;
    canvas.Reset();
    DrawUndoLine(m, canvas, host);
    EXPECT_EQ(host.undoTop, Round(127 * 1.27L));
    const auto texts = canvas.OfKind(CanvasOp::Kind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].c[0], Round(320 * 1.27L));
    EXPECT_EQ(texts[0].c[1], Round(128 * 1.27L));
    m.display.ScreenData = false;
    DrawUndoLine(m, canvas, host);
    EXPECT_FALSE(host.undoVisible);
}

TEST_F(ScreenDataTest, DynamicVariableBlockAndBars) {
    m.display.DynVarOn = true;
    Draw();
    const CanvasOp* t = canvas.FindText("* First Select Dimensions *");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->colour, kRed);
    for (int k = 1; k <= 4; ++k) EXPECT_FALSE(host.barEnabled[k]);
    m.dyn.DynVarId[1] = 6;
    m.dyn.DynVarName[1] = "Link Radius";
    m.dyn.DynVarValue[1] = 5.0f;
    Draw();
    EXPECT_EQ(canvas.FindText("* First Select Dimensions *"), nullptr);
    EXPECT_EQ(canvas.FindText("Link Radius")->c[1], 71);
    EXPECT_EQ(canvas.FindText(" 5.000")->c[0], 498);
    EXPECT_TRUE(host.barEnabled[1]);
    EXPECT_FALSE(host.barEnabled[2]);
}

TEST_F(ScreenDataTest, LineToolPromptNamesOneOrTwoPivots) {
    m.overlay.PivotPickPending = true;
    m.overlay.PivotPickReference = 1;
    Draw();
    const CanvasOp* t = canvas.FindText("STOP MOTION AND SELECT PIVOT 1");
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->font.bold);
    EXPECT_EQ(t->colour, kRed);
    EXPECT_EQ(canvas.FindText("MOVE MOTION IF NECESSARY TO CLEAR PIVOT")->c[1], 156);
    m.overlay.PivotPickReference = 3;
    Draw();
    EXPECT_NE(canvas.FindText("USE LEFT MOUSE BUTTON FIRST THEN RIGHT"), nullptr);
    EXPECT_FALSE(canvas.Font().bold);
}

TEST_F(ScreenDataTest, ScreenDataOffDrawsNoText) {
    Model s;
    StartUp(s);
    s.display.ScreenData = false;
    s.display.ShowSteam = true;
    s.solved.GeometryError = true;
    MainScene scene(s, host);
    canvas.Reset();
    scene.Tick(canvas);
    EXPECT_TRUE(canvas.OfKind(CanvasOp::Kind::Text).empty());
    EXPECT_EQ(s.readouts.GeometryErrorFrames, 0);
}

}  // namespace
}  // namespace tarn
