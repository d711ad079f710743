// The cut-off equaliser: it brings an unbalanced design back to equal cut-off, never proposes a
// value that breaks the linkage, and leaves the design alone.
#include <cmath>

#include <gtest/gtest.h>

#include "core/analysis/equaliser.h"
#include "core/io/dimensionfile.h"
#include "core/model/dimensions.h"
#include "core/model/model.h"
#include "started_model.h"

using namespace tarn;

namespace {

double CutoffDifference(const Model& m, float pos) {
    const ValveEventsResult r = AnalyseValveEvents(m, pos);
    return *FrontMinusRear(r.front.cutoff, r.rear.cutoff);
}

}  // namespace

TEST(CutoffEqualiser, BringsAnUnbalancedDesignBackToEqual) {
    // First balance the default design on the valve's joint, then spoil it with the radius rod.
    Model m = test::StartedModel();
    const float pos = GearRevArmPos(m, Gear::NormalForward);
    const EqualiseResult first = EqualiseCutoff(m, 117, pos);
    ASSERT_EQ(first.status, EqualiseStatus::Equal);
    SetDimension(m, 117, first.value);
    ASSERT_NEAR(CutoffDifference(m, pos), 0.0, 0.1);

    SetDimension(m, 5, 5.2f);
    ASSERT_GT(std::fabs(CutoffDifference(m, pos)), 1.0);
    const auto image = EncodeDimensionFile(m);
    const EqualiseResult r = EqualiseCutoff(m, 5, pos);
    EXPECT_EQ(EncodeDimensionFile(m), image);  // only a proposal
    ASSERT_EQ(r.status, EqualiseStatus::Equal) << DescribeEqualise(r);
    EXPECT_GE(r.value, r.range.lo);
    EXPECT_LE(r.value, r.range.hi);
    EXPECT_NEAR(*r.differenceAfter, 0.0, 0.1);
    EXPECT_NEAR(r.after.front.cutoff->percent, r.after.rear.cutoff->percent, 0.1);
    EXPECT_NEAR(r.value, 5.0f, 0.05f);  // the radius rod it was balanced with
    // Applying the proposal gives what the dialog showed.
    SetDimension(m, 5, r.value);
    EXPECT_NEAR(CutoffDifference(m, pos), *r.differenceAfter, 1e-9);
}

TEST(CutoffEqualiser, OfferTheClosestWhenNoValueEqualises) {
    const Model m = test::StartedModel();
    const float pos = GearRevArmPos(m, Gear::NormalForward);
    const EqualiseResult r = EqualiseCutoff(m, 102, pos);  // the cylinder's height cannot
    ASSERT_EQ(r.status, EqualiseStatus::Closest) << DescribeEqualise(r);
    EXPECT_LE(std::fabs(*r.differenceAfter), std::fabs(*r.differenceBefore));
    EXPECT_GE(r.value, r.range.lo);
    EXPECT_LE(r.value, r.range.hi);
    EXPECT_FLOAT_EQ(r.range.lo, -0.1f);  // a dimension at 0 is searched over +-0.1
    EXPECT_TRUE(r.after.ok());
}

TEST(CutoffEqualiser, NeverProposesAValueThatBreaksTheLinkage) {
    const Model m = test::StartedModel();
    const float pos = GearRevArmPos(m, Gear::NormalForward);
    EqualiseResult r = EqualiseCutoff(m, 13, pos, SearchRange{0.05f, 0.2f});
    EXPECT_EQ(r.status, EqualiseStatus::AllGeometryErrors);
    EXPECT_FALSE(r.proposes());
    EXPECT_EQ(r.value, r.oldValue);
    EXPECT_NE(DescribeEqualise(r).find("geometry error"), std::string::npos);

    // A range that is only partly possible: the answer lies where the linkage closes.
    r = EqualiseCutoff(m, 13, pos, SearchRange{0.1f, 3.3f});
    ASSERT_TRUE(r.proposes()) << DescribeEqualise(r);
    Model applied = m;
    SetDimension(applied, 13, r.value);
    EXPECT_TRUE(AnalyseValveEvents(applied, pos).ok());

    EXPECT_EQ(EqualiseCutoff(m, 17, pos).status, EqualiseStatus::NotVariable);
}
