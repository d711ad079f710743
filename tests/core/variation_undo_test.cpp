// The undo history: the typed change and its undo, the bound of 20, the valve centre line and
// the undo line.
#include <gtest/gtest.h>

#include "core/model/dimensions.h"
#include "core/model/model.h"
#include "core/variation/commit.h"
#include "core/variation/dynvars.h"
#include "core/variation/undo.h"
#include "started_model.h"

using namespace tarn;

namespace {

void Type(Model& m, int id, const char* text) {
    m.undo.EditChanged = true;  // the field's filter saw a key
    CommitDimensionField(m, id, text);
}

}  // namespace

TEST(Undo, ATypedStrokeIsOneEntryAndUndoRestoresIt) {
    Model m = test::StartedModel();
    Type(m, 2, "3.5");
    EXPECT_EQ(m.undo.UndoCount, 1);
    EXPECT_EQ(m.undo.UndoId[1], 2);
    EXPECT_EQ(m.undo.UndoOld[1], 3.0f);
    EXPECT_EQ(m.undo.UndoNew[1], 3.5f);
    EXPECT_EQ(m.undo.UndoName[1], "Stroke");
    EXPECT_TRUE(UndoAvailable(m.undo));
    EXPECT_TRUE(UnDoClick(m));
    EXPECT_EQ(m.design.StrokeLen, 3.0f);
    EXPECT_EQ(m.undo.UndoCount, 0);
    EXPECT_FALSE(UndoAvailable(m.undo));
    // On an empty history a click changes nothing.
    EXPECT_FALSE(UnDoClick(m));
    EXPECT_FALSE(UndoAvailable(m.undo));
    EXPECT_EQ(m.design.StrokeLen, 3.0f);
}

TEST(Undo, TwentyOneChangesKeepTwenty) {
    Model m = test::StartedModel();
    for (int i = 1; i <= 21; ++i) Type(m, 6, std::to_string(5 + i).c_str());
    EXPECT_EQ(m.undo.UndoCount, 20);
    EXPECT_EQ(m.undo.UndoOld[20], 6.0f);  // the first change (5 -> 6) is gone
    EXPECT_EQ(m.undo.UndoNew[1], 26.0f);
    for (int i = 0; i < 20; ++i) EXPECT_TRUE(UnDoClick(m));
    EXPECT_EQ(m.design.LinkRadius, 6.0f);
    EXPECT_EQ(m.undo.UndoCount, 0);
    EXPECT_FALSE(UndoAvailable(m.undo));
    EXPECT_FALSE(UnDoClick(m));
    EXPECT_EQ(m.design.LinkRadius, 6.0f);
}

TEST(Undo, TheCylinderHeightTakesTheValveCentreLineBack) {
    Model m = test::StartedModel();
    Type(m, 102, "1.25");
    EXPECT_EQ(m.design.CylCLAboveDriver, 1.25f);
    EXPECT_EQ(ValveCLAboveDriver(m.design), 3.75f);
    PopUndo(m);
    EXPECT_EQ(m.design.CylCLAboveDriver, 0.0f);
    EXPECT_EQ(ValveCLAboveDriver(m.design), 2.5f);
    Type(m, 108, "3.0");  // the valve height moves the centre line at once
    EXPECT_EQ(ValveCLAboveDriver(m.design), 3.0f);
    PopUndo(m);
    EXPECT_EQ(ValveCLAboveDriver(m.design), 2.5f);
}

TEST(Undo, UndoOfALinkPivotRestoresIt) {
    Model m = test::StartedModel();
    Type(m, 15, "9.5");
    EXPECT_EQ(m.design.AnchorLinkPivotHorz, 9.5f);
    PopUndo(m);
    EXPECT_EQ(m.design.AnchorLinkPivotHorz, 9.207f);
}

TEST(Undo, PopRefreshesTheSlotsAndLeavesIncrementAtMinusOne) {
    Model m = test::StartedModel();
    Type(m, 2, "3.5");
    Type(m, 6, "5.5");
    PopUndo(m);
    EXPECT_EQ(m.design.LinkRadius, 5.0f);
    EXPECT_EQ(m.dyn.DynVarValue[1], 5.0f);  // the slot follows its dimension
    EXPECT_EQ(m.dyn.DynVarValue[2], 3.5f);
    EXPECT_EQ(m.design.StrokeLen, 3.5f);
    EXPECT_EQ(m.dyn.Increment, -1.0f);
    EXPECT_EQ(m.undo.UndoId[20], 0);
    EXPECT_TRUE(m.undo.UndoName[20].empty());
}

TEST(Undo, LeavingAFieldWithoutTypingRecordsNothing) {
    Model m = test::StartedModel();
    m.undo.EditChanged = false;
    CommitDimensionField(m, 2, "3.0004");
    EXPECT_EQ(m.undo.UndoCount, 0);
    EXPECT_FALSE(UndoAvailable(m.undo));
    EXPECT_EQ(m.design.StrokeLen, 3.0004f);  // the text is stored again
    PushUndo(m);                             // without EditChanged a push opens nothing
    EXPECT_EQ(m.undo.UndoCount, 0);
}

TEST(Undo, TheUndoLineReadsOldToNew) {
    Model m = test::StartedModel();
    Type(m, 2, "3.5");
    EXPECT_EQ(BuildUndoLine(m), " 1- Stroke  3.000 to  3.500");
    Type(m, 101, "1234567.5");
    EXPECT_EQ(BuildUndoLine(m), " 2- Cyl ctr to Driver ctr 16.000 to 1234567.500");
    Type(m, 101, "-2");
    EXPECT_EQ(BuildUndoLine(m), " 3- Cyl ctr to Driver ctr 1234567.50 to -2.000");
}

TEST(Undo, AGroupOfChangesIsTakenBackByOneUndo) {
    Model m = test::StartedModel();
    Type(m, 2, "3.5");          // an ordinary edit before the group stays
    SetDimension(m, 7, 3.18f);  // 3.18 + 1 - 1 is not 3.18 in floats
    const DimensionChange changes[] = {{6, 5.25f}, {5, 4.5f}, {7, 3.3f}, {117, 4.9f}, {2, 3.5f}};
    const float linkRadius = m.design.LinkRadius, valve = m.design.Cyl.ValveCtrToJoint;
    const float mid = m.motion.RevArmPositions[0];
    ASSERT_NE(GetDimension(m, 5), 4.5f);
    const float dim5 = GetDimension(m, 5);
    ASSERT_TRUE(CommitDimensionGroup(m, "Optimise Gear", changes));
    EXPECT_EQ(m.design.LinkRadius, 5.25f);
    EXPECT_EQ(m.design.Cyl.ValveCtrToJoint, 4.9f);
    EXPECT_NE(m.motion.RevArmPositions[0], mid);  // the mid gear follows the new design
    EXPECT_EQ(m.dyn.DynVarId[1], 117);            // the last one is the newest dynamic variable
    EXPECT_EQ(m.undo.UndoCount, 5);               // the unchanged Stroke records nothing
    EXPECT_EQ(BuildUndoLine(m), " 5- Optimise Gear (4 dimensions)");

    EXPECT_TRUE(UnDoClick(m));
    EXPECT_EQ(m.design.LinkRadius, linkRadius);
    EXPECT_EQ(GetDimension(m, 5), dim5);
    EXPECT_EQ(GetDimension(m, 7), 3.18f);
    EXPECT_EQ(m.design.Cyl.ValveCtrToJoint, valve);
    EXPECT_EQ(m.design.StrokeLen, 3.5f);
    EXPECT_EQ(m.undo.UndoCount, 1);
    EXPECT_EQ(BuildUndoLine(m), " 1- Stroke  3.000 to  3.500");
    EXPECT_TRUE(UnDoClick(m));
    EXPECT_EQ(m.design.StrokeLen, 3.0f);
    EXPECT_FALSE(UndoAvailable(m.undo));

    // Two groups in a row stay two steps.
    const DimensionChange first[] = {{6, 5.5f}, {5, 4.5f}};
    const DimensionChange second[] = {{6, 5.75f}, {5, 4.75f}};
    ASSERT_TRUE(CommitDimensionGroup(m, "Optimise Gear", first));
    ASSERT_TRUE(CommitDimensionGroup(m, "Optimise Gear", second));
    EXPECT_TRUE(UnDoClick(m));
    EXPECT_EQ(m.design.LinkRadius, 5.5f);
    EXPECT_EQ(GetDimension(m, 5), 4.5f);
    EXPECT_TRUE(UnDoClick(m));
    EXPECT_EQ(m.design.LinkRadius, linkRadius);
    EXPECT_FALSE(UndoAvailable(m.undo));
    Type(m, 2, "3.25");  // an edit after an undone group is an entry of its own
    EXPECT_EQ(BuildUndoLine(m), " 1- Stroke  3.000 to  3.250");
}

TEST(Undo, AGroupIsKeptWholeOrNotAtAllAndNeverLargerThanTheHistory) {
    Model m = test::StartedModel();
    const DimensionChange group[] = {{5, 4.5f}, {6, 5.5f}, {117, 4.9f}};
    ASSERT_TRUE(CommitDimensionGroup(m, "Optimise Gear", group));
    for (int i = 1; i <= 17; ++i) Type(m, 2, std::to_string(3 + i).c_str());
    EXPECT_EQ(m.undo.UndoCount, 20);
    Type(m, 2, "21");  // the group's oldest entry falls off: the whole group goes
    EXPECT_EQ(m.undo.UndoCount, 18);
    for (int i = 0; i < 18; ++i) EXPECT_TRUE(UnDoClick(m));
    EXPECT_EQ(m.design.StrokeLen, 3.0f);
    EXPECT_FALSE(UnDoClick(m));
    EXPECT_EQ(m.design.LinkRadius, 5.5f);  // not half taken back

    std::vector<DimensionChange> many;
    for (const DimensionInfo& d : Dimensions())
        if (IsVariableDimension(d.id)) many.push_back({d.id, GetDimension(m, d.id) + 0.125f});
    ASSERT_GT(many.size(), static_cast<std::size_t>(kUndoDepth));
    const Design before = m.design;
    EXPECT_FALSE(CommitDimensionGroup(m, "Optimise Gear", many));
    EXPECT_TRUE(m.design == before);
    EXPECT_EQ(m.undo.UndoCount, 0);
    many.resize(kUndoDepth);
    EXPECT_TRUE(CommitDimensionGroup(m, "Optimise Gear", many));
    EXPECT_EQ(m.undo.UndoCount, kUndoDepth);
    EXPECT_TRUE(UnDoClick(m));
    EXPECT_TRUE(m.design == before);
    EXPECT_FALSE(UndoAvailable(m.undo));
}
