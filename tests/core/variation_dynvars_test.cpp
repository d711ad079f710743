// Dynamic variables: the most-recent list, the jog-bar increment rules and one undo entry per
// bar interaction.
#include <gtest/gtest.h>

#include "core/model/dimensions.h"
#include "core/model/model.h"
#include "core/variation/commit.h"
#include "core/variation/dynvars.h"
#include "core/variation/undo.h"
#include "started_model.h"

using namespace tarn;

namespace {

// Leaving a dimension field without typing: the value is stored again and becomes the most
// recent dynamic variable.
void Leave(Model& m, int id, const char* text) {
    m.undo.EditChanged = false;
    CommitDimensionField(m, id, text);
}

// One click or page step of bar k: the change, then the spring back to 0.
void Jog(Model& m, int k, int pos) {
    DynVarBarInteractionStart(m, k);
    DynVarBarChange(m, k, pos);
    DynVarBarChange(m, k, 0);
    DynVarBarInteractionEnd(m, k);
}

}  // namespace

TEST(DynVars, ADimensionAlreadyInASlotIsOnlyUpdatedThere) {
    Model m = test::StartedModel();
    Leave(m, 2, "3.000");  // Stroke
    Leave(m, 6, "5.000");  // Link Radius
    Leave(m, 2, "3.250");  // Stroke again
    EXPECT_EQ(m.dyn.DynVarName[1], "Link Radius");
    EXPECT_EQ(m.dyn.DynVarId[1], 6);
    EXPECT_EQ(m.dyn.DynVarName[2], "Stroke");
    EXPECT_EQ(m.dyn.DynVarId[2], 2);
    EXPECT_FLOAT_EQ(m.dyn.DynVarValue[2], 3.25f);
    EXPECT_TRUE(SlotIsEmpty(m.dyn, 3));
}

TEST(DynVars, FiveDimensionsPushTheFirstOut) {
    Model m = test::StartedModel();
    for (int id : {1, 2, 3, 4, 5}) Leave(m, id, "1");
    for (int k = 1; k <= 4; ++k) EXPECT_NE(m.dyn.DynVarId[k], 1);
    EXPECT_EQ(m.dyn.DynVarId[1], 5);
    EXPECT_EQ(m.dyn.DynVarId[4], 2);
    EXPECT_EQ(m.dyn.DynVarName[4], "Stroke");
}

TEST(DynVars, TheGearLimitsChangeNoSlot) {
    Model m = test::StartedModel();
    Leave(m, 6, "5");
    CommitGearLimitNorm(m, "1.2");
    CommitGearLimitMax(m, "2.0");
    EXPECT_EQ(m.dyn.DynVarId[1], 6);
    EXPECT_TRUE(SlotIsEmpty(m.dyn, 2));
    m.dyn.DynVarId[2] = 17;  // even a stray gear-limit id in a slot is never applied
    m.dyn.DynVarName[2] = "x";
    m.dyn.DynVarSlot = 2;
    m.dyn.Increment = 1;
    ApplyDynVar(m);
    EXPECT_FLOAT_EQ(m.design.RevArmToCentNorm, 1.2f);
}

TEST(DynVars, ArrowAndPageClicksAddExactlyOneAndTenThousandths) {
    Model m = test::StartedModel();
    Leave(m, 2, "3");
    Jog(m, 1, 1);
    EXPECT_EQ(m.design.StrokeLen, 3.0f + 0.001f);
    float expect = m.design.StrokeLen + 0.01f;
    Jog(m, 1, 10);
    EXPECT_EQ(m.design.StrokeLen, expect);
    expect = m.design.StrokeLen + -0.001f;
    Jog(m, 1, -1);
    EXPECT_EQ(m.design.StrokeLen, expect);
    expect = m.design.StrokeLen + -0.01f;
    Jog(m, 1, -10);
    EXPECT_EQ(m.design.StrokeLen, expect);
    // The spring back leaves the history as the rules need it.
    EXPECT_EQ(m.dyn.DynVarPrevPos[1], -10);
    EXPECT_EQ(m.dyn.DynVarLastPos[1], 0);
    EXPECT_EQ(m.dyn.DynVarValue[1], m.design.StrokeLen);
}

TEST(DynVars, ADragStepsBySizeInTheDirectionOfMotion) {
    Model m = test::StartedModel();
    Leave(m, 6, "5");
    DynVarBarChange(m, 1, 50);  // from 0 to 50: +0.05
    EXPECT_FLOAT_EQ(m.design.LinkRadius, 5.05f);
    DynVarBarChange(m, 1, 0);  // spring back: nothing
    EXPECT_FLOAT_EQ(m.design.LinkRadius, 5.05f);
    DynVarBarChange(m, 1, 30);  // below the previous 50: moving back, -0.03
    EXPECT_FLOAT_EQ(m.design.LinkRadius, 5.02f);
    DynVarBarChange(m, 1, 0);
    DynVarBarChange(m, 1, -20);  // left of centre and below 30: -0.02
    EXPECT_FLOAT_EQ(m.design.LinkRadius, 5.0f);
    DynVarBarChange(m, 1, 0);
    DynVarBarChange(m, 1, -5);  // left of centre but above -20: moving right, +0.005
    EXPECT_FLOAT_EQ(m.design.LinkRadius, 5.005f);
    // The cut-off read-outs belong to the old dimension.
    m.readouts.FrontCutoffText = "x";
    DynVarBarChange(m, 1, 0);
    EXPECT_TRUE(m.readouts.FrontCutoffText.empty());
}

TEST(DynVars, SlotsTwoToFourDriveTheirOwnDimensions) {
    Model m = test::StartedModel();
    Leave(m, 7, "3.267");  // Link Pivot Vert
    Leave(m, 2, "3");
    Jog(m, 2, 10);
    EXPECT_EQ(m.design.LinkPivotVert, 3.267f + 0.01f);
    EXPECT_EQ(m.design.StrokeLen, 3.0f);
    // An empty slot does nothing.
    const float ds = m.design.DriverDia;
    Jog(m, 3, 10);
    EXPECT_EQ(m.design.DriverDia, ds);
    EXPECT_EQ(m.undo.UndoCount, 1);
}

TEST(DynVars, TheBarStartsFromTheModelNotFromTheSlot) {
    Model m = test::StartedModel();
    Leave(m, 2, "3");
    SetDimension(m, 2, 4.0f);  // as a file load would: the slot still says 3
    Jog(m, 1, 1);
    EXPECT_EQ(m.design.StrokeLen, 4.0f + 0.001f);
}

TEST(DynVars, OneInteractionIsOneUndoEntryAndAnUnchangedValueNone) {
    Model m = test::StartedModel();
    Leave(m, 5, "5.0");  // Radius Rod
    DynVarBarInteractionStart(m, 1);
    for (int i = 0; i < 30; ++i) {  // a drag 5.0 -> 5.3 in steps of 0.01
        DynVarBarChange(m, 1, 10);
        DynVarBarChange(m, 1, 0);
    }
    EXPECT_NEAR(m.design.Frame.RadiusRodLen, 5.3f, 1e-5);
    EXPECT_TRUE(DynVarBarInteractionEnd(m, 1));
    EXPECT_EQ(m.undo.UndoCount, 1);
    EXPECT_TRUE(UndoAvailable(m.undo));
    EXPECT_FALSE(m.undo.EditChanged);
    EXPECT_EQ(m.undo.UndoId[1], 5);
    EXPECT_EQ(m.undo.UndoOld[1], 5.0f);
    EXPECT_EQ(m.undo.UndoNew[1], m.design.Frame.RadiusRodLen);
    EXPECT_EQ(m.undo.UndoName[1], "Radius Rod");
    // A press and release without a step records nothing.
    DynVarBarInteractionStart(m, 1);
    EXPECT_FALSE(DynVarBarInteractionEnd(m, 1));
    EXPECT_EQ(m.undo.UndoCount, 1);
    // Undo gives the value at the start of the drag, not an intermediate one.
    PopUndo(m);
    EXPECT_EQ(m.design.Frame.RadiusRodLen, 5.0f);
}

TEST(DynVars, DragUndoneGivesTheStartAfterASecondInteractionAndAfterALoad) {
    Model m = test::StartedModel();
    Leave(m, 5, "5.0");
    Jog(m, 1, 10);  // a first interaction: 5.01
    // A file load puts 5.0 back under the bar without telling the slot.
    SetDimension(m, 5, 5.0f);
    DynVarBarInteractionStart(m, 1);
    for (int i = 0; i < 30; ++i) {
        DynVarBarChange(m, 1, 10);
        DynVarBarChange(m, 1, 0);
    }
    ASSERT_TRUE(DynVarBarInteractionEnd(m, 1));
    EXPECT_EQ(m.undo.UndoOld[1], 5.0f);
    PopUndo(m);
    EXPECT_EQ(m.design.Frame.RadiusRodLen, 5.0f);
    PopUndo(m);  // the first interaction: back to 5.0 again
    EXPECT_EQ(m.design.Frame.RadiusRodLen, 5.0f);
    EXPECT_FALSE(UndoAvailable(m.undo));
}

TEST(DynVars, AResetLeavesEveryBarEmpty) {
    Model m = test::StartedModel();
    Leave(m, 2, "3.5");
    Leave(m, 103, "2.7");
    ResetFrameDimensions(m);
    for (int k = 0; k <= 4; ++k) {
        EXPECT_TRUE(SlotIsEmpty(m.dyn, k));
        EXPECT_EQ(m.dyn.DynVarId[k], 0);
        EXPECT_EQ(m.dyn.DynVarValue[k], 0.0f);
    }
    EXPECT_EQ(m.dyn.Increment, 0.0f);
    EXPECT_EQ(m.design.StrokeLen, 3.0f);
    EXPECT_FLOAT_EQ(m.design.Cyl.CylBoreDia, 2.7f);  // the frame reset leaves the cylinder alone
    ResetCylDimensions(m);
    EXPECT_EQ(m.design.Cyl.CylBoreDia, 2.5f);
}
