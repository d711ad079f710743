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
    m.EditChanged = true;
    CommitDimensionField(m, 108, "3.0");
    EXPECT_EQ(m.UndoOld[1], 2.5f);
    EXPECT_EQ(m.UndoNew[1], 3.0f);
    EXPECT_EQ(m.UndoName[1], "Valve CL to Cyl CL");
    EXPECT_EQ(m.PivotY[4], 3.0f);
    EXPECT_EQ(m.DynVarId[1], 108);
    EXPECT_EQ(m.DynVarValue[1], 3.0f);
    EXPECT_FALSE(m.EditChanged);
}

TEST(Commit, AnEmptyFieldStoresZeroAndBadTextStoresWhatConverts) {
    Model m = test::StartedModel();
    CommitDimensionField(m, 16, "");
    EXPECT_EQ(m.Frame.ReverseArmLen, 0.0f);
    CommitDimensionField(m, 16, "3-4");
    EXPECT_EQ(m.Frame.ReverseArmLen, 3.0f);
    CommitDimensionField(m, 16, "-");
    EXPECT_EQ(m.Frame.ReverseArmLen, 0.0f);
    CommitDimensionField(m, 16, " 1.5");
    EXPECT_EQ(m.Frame.ReverseArmLen, 1.5f);
}

TEST(Commit, TheGearLimitsAreNotDimensionFields) {
    Model m = test::StartedModel();
    m.EditChanged = true;
    CommitDimensionField(m, 17, "1.0");  // refused: the gear limits have their own commits
    EXPECT_EQ(m.RevArmToCentNorm, 1.6f);
    EXPECT_EQ(m.UndoCount, 0);
}

TEST(GearLimits, ANormAboveTheMaximumStoresTheMaximumAndClampsThePositions) {
    Model m = test::StartedModel();
    const float c = m.RevArmPositions[0];
    m.RevArmPositions[4] = c + 1.75f;
    m.RevArmPositions[5] = c - 1.79f;
    m.RevArmPositions[6] = 0;
    m.RevArmPositions[7] = c + 0.5f;
    CommitGearLimitNorm(m, "2.5");
    EXPECT_EQ(m.RevArmToCentNorm, 1.8f);
    EXPECT_EQ(m.RevArmPositions[4], c + 1.75f);  // inside c +- 1.8 already
    // A smaller maximum drags the normal offset with it and clamps to it.
    CommitGearLimitMax(m, "1.2");
    EXPECT_EQ(m.RevArmToCentMax, 1.8f);  // below the normal offset: the normal offset
    m.RevArmToCentNorm = 1.6f;
    CommitGearLimitMax(m, "1.0");
    EXPECT_EQ(m.RevArmToCentMax, 1.6f);
    const float lo = static_cast<float>(static_cast<long double>(c) - 1.6f);
    const float hi = static_cast<float>(static_cast<long double>(c) + 1.6f);
    EXPECT_EQ(m.RevArmPositions[4], hi);
    EXPECT_EQ(m.RevArmPositions[5], lo);
    EXPECT_EQ(m.RevArmPositions[6], 0.0f);  // an unused position stays unused
    EXPECT_EQ(m.RevArmPositions[7], c + 0.5f);
    EXPECT_EQ(m.UndoCount, 0);
}

TEST(GearLimits, NegativeLimitsStoreZeroAndTheBarRangeFollowsTheMaximum) {
    Model m = test::StartedModel();
    CommitGearLimitMax(m, "2.5");
    EXPECT_EQ(RevArmBarMax(m), 2500);
    CommitGearLimitNorm(m, "-1");
    EXPECT_EQ(m.RevArmToCentNorm, 0.0f);
    CommitGearLimitMax(m, "-3");
    EXPECT_EQ(m.RevArmToCentMax, 0.0f);
    EXPECT_EQ(RevArmBarMax(m), 0);
    CommitGearLimitNorm(m, "1");
    EXPECT_EQ(m.RevArmToCentNorm, 0.0f);  // kept within the maximum of 0
}
