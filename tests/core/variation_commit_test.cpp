// The dimension commit in its order, and the two gear limits of the reverse arm.
#include <gtest/gtest.h>

#include "core/model/dimensions.h"
#include "core/model/model.h"
#include "core/variation/commit.h"
#include "core/variation/undo.h"
#include "started_model.h"

using namespace tarn;

TEST(Commit, TheOldValueIsTakenBeforeTheStoreAndTheEntryCompletedAfter) {
    Model m = test::StartedModel();
    m.undo.EditChanged = true;
    CommitDimensionField(m, 108, "3.0");
    EXPECT_EQ(m.undo.UndoOld[1], 2.5f);
    EXPECT_EQ(m.undo.UndoNew[1], 3.0f);
    EXPECT_EQ(m.undo.UndoName[1], "Valve CL to Cyl CL");
    EXPECT_EQ(ValveCLAboveDriver(m.design), 3.0f);
    EXPECT_EQ(m.dyn.DynVarId[1], 108);
    EXPECT_EQ(m.dyn.DynVarValue[1], 3.0f);
    EXPECT_FALSE(m.undo.EditChanged);
}

TEST(Commit, AnEmptyFieldStoresZeroAndBadTextStoresWhatConverts) {
    Model m = test::StartedModel();
    CommitDimensionField(m, 16, "");
    EXPECT_EQ(m.design.Frame.ReverseArmLen, 0.0f);
    CommitDimensionField(m, 16, "3-4");
    EXPECT_EQ(m.design.Frame.ReverseArmLen, 3.0f);
    CommitDimensionField(m, 16, "-");
    EXPECT_EQ(m.design.Frame.ReverseArmLen, 0.0f);
    CommitDimensionField(m, 16, " 1.5");
    EXPECT_EQ(m.design.Frame.ReverseArmLen, 1.5f);
}

TEST(Commit, TheGearLimitsAreNotDimensionFields) {
    Model m = test::StartedModel();
    m.undo.EditChanged = true;
    CommitDimensionField(m, 17, "1.0");  // refused: the gear limits have their own commits
    EXPECT_EQ(m.design.RevArmToCentNorm, 1.6f);
    EXPECT_EQ(m.undo.UndoCount, 0);
}

TEST(GearLimits, ANormAboveTheMaximumStoresTheMaximumAndClampsThePositions) {
    Model m = test::StartedModel();
    const float c = m.motion.RevArmPositions[0];
    m.motion.RevArmPositions[4] = c + 1.75f;
    m.motion.RevArmPositions[5] = c - 1.79f;
    m.motion.RevArmPositions[6] = 0;
    m.motion.RevArmPositions[7] = c + 0.5f;
    CommitGearLimitNorm(m, "2.5");
    EXPECT_EQ(m.design.RevArmToCentNorm, 1.8f);
    EXPECT_EQ(m.motion.RevArmPositions[4], c + 1.75f);  // inside c +- 1.8 already
    // A smaller maximum drags the normal offset with it and clamps to it.
    CommitGearLimitMax(m, "1.2");
    EXPECT_EQ(m.design.RevArmToCentMax, 1.8f);  // below the normal offset: the normal offset
    m.design.RevArmToCentNorm = 1.6f;
    CommitGearLimitMax(m, "1.0");
    EXPECT_EQ(m.design.RevArmToCentMax, 1.6f);
    const float lo = static_cast<float>(static_cast<long double>(c) - 1.6f);
    const float hi = static_cast<float>(static_cast<long double>(c) + 1.6f);
    EXPECT_EQ(m.motion.RevArmPositions[4], hi);
    EXPECT_EQ(m.motion.RevArmPositions[5], lo);
    EXPECT_EQ(m.motion.RevArmPositions[6], 0.0f);  // an unused position stays unused
    EXPECT_EQ(m.motion.RevArmPositions[7], c + 0.5f);
    EXPECT_EQ(m.undo.UndoCount, 0);
}

TEST(GearLimits, NegativeLimitsStoreZeroAndTheBarRangeFollowsTheMaximum) {
    Model m = test::StartedModel();
    CommitGearLimitMax(m, "2.5");
    EXPECT_EQ(RevArmBarMax(m.design), 2500);
    CommitGearLimitNorm(m, "-1");
    EXPECT_EQ(m.design.RevArmToCentNorm, 0.0f);
    CommitGearLimitMax(m, "-3");
    EXPECT_EQ(m.design.RevArmToCentMax, 0.0f);
    EXPECT_EQ(RevArmBarMax(m.design), 0);
    CommitGearLimitNorm(m, "1");
    EXPECT_EQ(m.design.RevArmToCentNorm, 0.0f);  // kept within the maximum of 0
}
