// The gear optimiser: it balances a spoilt design at the chosen positions within the constraints,
// never hands back a broken or worse design, says when a range holds only geometry errors or a
// dimension does nothing, and stops when asked.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/analysis/optimiser.h"
#include "core/io/dimensionfile.h"
#include "core/model/dimensions.h"
#include "core/model/model.h"
#include "spoilt_design.h"
#include "started_model.h"

using namespace tarn;

namespace {

constexpr int kDriverDia = 1, kRadiusRod = 5, kLinkPivotVert = 7, kAnchorLinkLen = 13,
              kValveCtrToRing = 114, kValveCtrToJoint = 117;

// The built-in design balanced in both normal gears, then spoilt by a longer radius rod.
Model SpoiltDesign() {
    Model m = test::StartedModel();
    test::Spoil(m);
    return m;
}

double CutoffDifference(const ValveEventsResult& r) {
    return FrontMinusRear(r.front.cutoff, r.rear.cutoff).value_or(1e9);
}

OptimiseSettings Vary(std::vector<int> ids, int budget) {
    OptimiseSettings s;
    for (int id : ids) s.dimensions.push_back({id, std::nullopt});
    s.maxEvaluations = budget;
    return s;
}

}  // namespace

TEST(GearOptimiser, BalancesASpoiltDesignAtTheChosenPositions) {
    const Model m = SpoiltDesign();
    const float fwd = GearRevArmPos(m, Gear::NormalForward);
    ASSERT_GT(std::fabs(CutoffDifference(AnalyseValveEvents(m, fwd))), 3.0);
    const auto image = EncodeDimensionFile(m);

    OptimiseSettings s = Vary({kRadiusRod, kLinkPivotVert, kValveCtrToJoint}, 120);
    std::vector<int> seen;
    s.progress = [&](int done, int budget) {
        EXPECT_EQ(budget, 120);
        seen.push_back(done);
    };
    const OptimiseResult r = OptimiseGear(m, s);
    EXPECT_EQ(EncodeDimensionFile(m), image);  // the caller's design is untouched
    ASSERT_EQ(r.status, OptimiseStatus::Improved) << DescribeOptimise(r);
    EXPECT_LE(r.evaluations, 120);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), r.evaluations);
    EXPECT_LT(*r.after.objective, *r.before.objective);

    // The optimised design as a caller sees it: balanced within 0.5 % at both normal gears, with
    // lead at both ends, and closing at every standard gear.
    for (Gear g : {Gear::NormalForward, Gear::NormalReverse}) {
        const ValveEventsResult e = AnalyseValveEvents(r.design, GearRevArmPos(r.design, g));
        ASSERT_TRUE(e.ok());
        EXPECT_LE(std::fabs(CutoffDifference(e)), 0.5) << GearName(g);
        EXPECT_GE(e.front.lead, 0.0);
        EXPECT_GE(e.rear.lead, 0.0);
    }
    for (const ValveEventsResult& e : AnalysePositions(r.design, StandardGearPositions(r.design)))
        EXPECT_TRUE(e.ok()) << e.revArmPos;
    // Every new value lies in its bounds and is what the design holds.
    for (const OptimisedDimension& d : r.dimensions) {
        EXPECT_GE(d.newValue, d.bounds.lo);
        EXPECT_LE(d.newValue, d.bounds.hi);
        EXPECT_EQ(GetDimension(r.design, d.id), d.newValue);
        EXPECT_FALSE(d.noEffect);
    }
    EXPECT_EQ(r.dimensions[0].name, "RadiusRodLen");
    EXPECT_FLOAT_EQ(r.dimensions[0].bounds.lo, 5.02f * 0.9f);

    // Started again from its own result, at most a last polish is left (the first search stops
    // at 2.3e-6, a hair above its stop value): nothing gets worse and nothing moves by more than
    // the sixth decimal.
    const OptimiseResult again = OptimiseGear(r.design, Vary({kRadiusRod, kLinkPivotVert}, 40));
    ASSERT_TRUE(again.status == OptimiseStatus::NothingBetter ||
                again.status == OptimiseStatus::Improved)
        << DescribeOptimise(again);
    EXPECT_LE(*again.after.objective, *again.before.objective);
    for (const OptimisedDimension& d : again.dimensions)
        EXPECT_NEAR(d.newValue, d.oldValue, 1e-5) << d.name;
}

TEST(GearOptimiser, NeverReturnsABrokenOrWorseDesign) {
    // Most of this range of the anchor link breaks the linkage; the lead constraint binds on the
    // way to balance. What comes back closes everywhere and scores no worse.
    const Model m = test::StartedModel();
    OptimiseSettings s = Vary({kAnchorLinkLen, kRadiusRod}, 60);
    s.dimensions[0].bounds = SearchRange{0.1f, 3.3f};
    const OptimiseResult r = OptimiseGear(m, s);
    ASSERT_NE(r.status, OptimiseStatus::Refused);
    EXPECT_FALSE(r.after.geometryError);
    EXPECT_FALSE(IsBetterScore(r.before, r.after));
    for (const ValveEventsResult& e : AnalysePositions(r.design, StandardGearPositions(r.design)))
        EXPECT_TRUE(e.ok()) << e.revArmPos;
    const OptimiseScore rescored = ScoreDesign(r.design, s);
    EXPECT_FALSE(rescored.geometryError);
    EXPECT_EQ(rescored.objective, r.after.objective);

    // From a broken start the search first looks for a design that closes, and judges there
    // which dimensions matter.
    Model broken = m;
    SetDimension(broken, kAnchorLinkLen, 0.6f);
    CentreRevArm(broken);
    s.dimensions[0].bounds = SearchRange{0.3f, 3.3f};
    const OptimiseResult mended = OptimiseGear(broken, s);
    EXPECT_EQ(mended.status, OptimiseStatus::Improved) << DescribeOptimise(mended);
    EXPECT_TRUE(mended.before.geometryError);
    EXPECT_FALSE(mended.after.geometryError);
    EXPECT_FALSE(mended.dimensions[1].noEffect);

    // A range in which the linkage never closes: said so, and the design is kept.
    s.dimensions = {{kAnchorLinkLen, SearchRange{0.05f, 0.2f}}};
    const OptimiseResult none = OptimiseGear(m, s);
    EXPECT_EQ(none.status, OptimiseStatus::OnlyGeometryErrors);
    EXPECT_FALSE(none.changed());
    EXPECT_EQ(none.dimensions[0].newValue, 3.0f);
    EXPECT_NE(DescribeOptimise(none).find("geometry error"), std::string::npos);
}

TEST(GearOptimiser, ADimensionThatChangesNothingIsReportedAndKept) {
    const Model m = test::StartedModel();
    const OptimiseResult r = OptimiseGear(m, Vary({kDriverDia, kRadiusRod}, 30));
    ASSERT_EQ(r.dimensions.size(), 2u);
    EXPECT_TRUE(r.dimensions[0].noEffect);
    EXPECT_EQ(r.dimensions[0].newValue, r.dimensions[0].oldValue);
    EXPECT_FALSE(r.dimensions[1].noEffect);
    EXPECT_EQ(r.status, OptimiseStatus::Improved);
    // Bounds that leave out its value do not keep the others from being optimised.
    OptimiseSettings outside = Vary({kDriverDia, kRadiusRod}, 30);
    outside.dimensions[0].bounds = SearchRange{1.0f, 2.0f};
    const OptimiseResult kept = OptimiseGear(m, outside);
    EXPECT_EQ(kept.status, OptimiseStatus::Improved) << DescribeOptimise(kept);
    EXPECT_EQ(kept.dimensions[0].newValue, 8.0f);
    EXPECT_EQ(kept.dimensions[1].newValue, r.dimensions[1].newValue);
    // Alone it leaves nothing to do.
    const OptimiseResult alone = OptimiseGear(m, Vary({kDriverDia}, 30));
    EXPECT_EQ(alone.status, OptimiseStatus::NothingBetter);
    EXPECT_TRUE(alone.dimensions[0].noEffect);
}

TEST(GearOptimiser, StopsWhenCancelledAndRefusesWhatItCannotVary) {
    const Model m = SpoiltDesign();
    std::atomic<bool> cancel{false};
    OptimiseSettings s = Vary({kRadiusRod, kLinkPivotVert}, 200);
    s.cancel = &cancel;
    s.progress = [&](int done, int) {
        if (done == 6) cancel = true;
    };
    const OptimiseResult r = OptimiseGear(m, s);
    EXPECT_EQ(r.status, OptimiseStatus::Cancelled);
    EXPECT_EQ(r.evaluations, 6);
    EXPECT_FALSE(IsBetterScore(r.before, r.after));

    for (const std::vector<int>& ids :
         std::vector<std::vector<int>>{{}, {0}, {17}, {kRadiusRod, kRadiusRod}}) {
        const OptimiseResult bad = OptimiseGear(m, Vary(ids, 10));
        EXPECT_EQ(bad.status, OptimiseStatus::Refused) << ::testing::PrintToString(ids);
        EXPECT_FALSE(bad.refusal.empty());
        EXPECT_EQ(bad.evaluations, 0);
    }
}

TEST(GearOptimiser, MidGearTypedAsShownIsMidGear) {
    // 6.247 stands for the centre 6.24699974: scored like mid gear, not as a backward-turning
    // position whose admission and cut-off swap places.
    const Model m = test::StartedModel();
    OptimiseSettings s;
    s.positions = {OptimisePosition::At(Gear::Mid)};
    const OptimiseScore centre = ScoreDesign(m, s);
    s.positions = {OptimisePosition::Absolute(6.247f)};
    const OptimiseScore typed = ScoreDesign(m, s);
    ASSERT_TRUE(centre.objective && typed.objective);
    EXPECT_NEAR(*typed.objective, *centre.objective, 0.01);
}

TEST(GearOptimiser, TheLeadObjectiveTradesCutoffForEqualLeads) {
    // The stem and the ring at normal forward: cut-off alone balances the cut-offs with leads far
    // apart; with the lead term the leads come close at the cost of the cut-offs.
    const Model m = test::StartedModel();
    OptimiseSettings s = Vary({kValveCtrToJoint, kValveCtrToRing}, 60);
    s.positions = {OptimisePosition::At(Gear::NormalForward)};
    const OptimiseResult cutoff = OptimiseGear(m, s);
    s.objective = OptimiseObjective::CutoffAndLead;
    const OptimiseResult both = OptimiseGear(m, s);
    ASSERT_EQ(both.status, OptimiseStatus::Improved);
    const float fwd = GearRevArmPos(both.design, Gear::NormalForward);
    const ValveEventsResult a = AnalyseValveEvents(cutoff.design, fwd);
    const ValveEventsResult b = AnalyseValveEvents(both.design, fwd);
    EXPECT_LT(std::fabs(CutoffDifference(a)), 0.1);
    EXPECT_GT(std::fabs(a.front.lead - a.rear.lead), 0.1);
    EXPECT_LT(std::fabs(b.front.lead - b.rear.lead), 0.03);
    EXPECT_GT(std::fabs(CutoffDifference(b)), 5.0);
    // The lead difference counts in percent of the port width (0.297 in both ports here).
    const double lead = (b.front.lead - b.rear.lead) / 0.297 * 100;
    EXPECT_NEAR(*both.after.objective, CutoffDifference(b) * CutoffDifference(b) + lead * lead,
                1e-3);
}

TEST(GearOptimiser, AFaultDuringTheSearchEndsItAsAFailureNotAsAResult) {
    // NLopt turns an exception inside the objective into a failure of its own; the search must
    // say so, with NLopt's status and the fault, and keep the start, in whichever phase it came.
    const Model m = SpoiltDesign();
    for (const int at : {2, 7}) {  // among the first designs, and inside COBYLA
        OptimiseSettings s = Vary({kRadiusRod}, 40);
        s.progress = [at](int done, int) {
            if (done == at) throw std::runtime_error("no room for the valve events");
        };
        const OptimiseResult r = OptimiseGear(m, s);
        ASSERT_EQ(r.status, OptimiseStatus::Failed) << at << ": " << DescribeOptimise(r);
        EXPECT_NE(r.failure.find("no room for the valve events"), std::string::npos) << r.failure;
        EXPECT_FALSE(r.changed());
        EXPECT_EQ(GetDimension(r.design, kRadiusRod), 5.02f);
        EXPECT_EQ(DescribeOptimise(r).rfind("Failed after ", 0), 0u) << DescribeOptimise(r);
        if (at == 7) {
            EXPECT_NE(r.failure.find("NLopt stopped with status FAILURE (-1)"), std::string::npos)
                << r.failure;
        }
    }
}

TEST(GearOptimiser, LengthsStayAboveZero) {
    // A radius rod cannot be shorter than nothing: such bounds are refused, naming it, and the
    // default range of a length stops short of 0 while an offset's runs through it.
    const Model m = SpoiltDesign();
    OptimiseSettings s = Vary({kRadiusRod}, 40);
    s.dimensions[0].bounds = SearchRange{-5.0f, 20.0f};
    const OptimiseResult r = OptimiseGear(m, s);
    EXPECT_EQ(r.status, OptimiseStatus::Refused);
    EXPECT_NE(r.refusal.find("RadiusRodLen"), std::string::npos) << r.refusal;
    EXPECT_EQ(GetDimension(r.design, kRadiusRod), 5.02f);

    const SearchRange rod = OptimiseRange(m, kRadiusRod, 150);
    EXPECT_FLOAT_EQ(rod.lo, 0.0502f);  // 1 % of 5.02
    EXPECT_FLOAT_EQ(rod.hi, 12.55f);
    const SearchRange pivot = OptimiseRange(m, kLinkPivotVert, 150);  // a height: any sign
    EXPECT_FLOAT_EQ(pivot.lo, 3.18f - 4.77f);
    SearchRange b;
    EXPECT_NE(CheckOptimiseBounds(kRadiusRod, "Radius Rod", "0", "5", b).find("Radius Rod"),
              std::string::npos);
    EXPECT_EQ(CheckOptimiseBounds(kLinkPivotVert, "Link Pivot Vert", "-1", "0", b), "");
    // Every length, radius, diameter and width of the table is marked, and no offset or height.
    for (const DimensionInfo& d : Dimensions()) {
        const std::string_view n = d.name;
        const bool length = n.find("Len") != n.npos || n.find("Dia") != n.npos ||
                            n.find("Width") != n.npos || n.find("Radius") != n.npos;
        if (length) {
            EXPECT_TRUE(d.positive) << n;
        }
        if (n.find("Vert") != n.npos || n.find("Horz") != n.npos || n.find("Offset") != n.npos ||
            n.find("Above") != n.npos || n.find("ToCent") != n.npos) {
            EXPECT_FALSE(d.positive) << n;
        }
    }
}

TEST(GearOptimiser, BindingAndBrokenLinesSayWhatIsTrue) {
    // More lap than the valve travels at mid gear: neither port opens there at all. The start
    // breaks that constraint, the kept design still does, and no line says "only just opens".
    Model shut = test::StartedModel();
    SetDimension(shut, kValveCtrToRing, 1.0f);
    const ValveEventsResult mid = AnalyseValveEvents(shut, GearRevArmPos(shut, Gear::Mid));
    ASSERT_LT(mid.rear.maxSteamOpening, 0.0);
    OptimiseSettings s = Vary({kDriverDia}, 10);
    s.positions = {OptimisePosition::At(Gear::Mid)};
    const OptimiseResult r = OptimiseGear(shut, s);
    ASSERT_EQ(r.status, OptimiseStatus::NothingBetter) << DescribeOptimise(r);
    std::vector<std::string> start, kept;
    for (const BindingConstraint& b : r.startBroken) start.push_back(b.text);
    for (const BindingConstraint& b : r.binding) {
        EXPECT_TRUE(b.broken) << b.text;
        EXPECT_EQ(b.text.find("only just"), std::string::npos) << b.text;
        kept.push_back(b.text);
    }
    const std::string rear = "the rear port at mid gear does not open to steam";
    EXPECT_NE(std::find(start.begin(), start.end(), rear), start.end())
        << ::testing::PrintToString(start);
    EXPECT_NE(std::find(kept.begin(), kept.end(), rear), kept.end())
        << ::testing::PrintToString(kept);

    // A dimension held by its bound is named by its caption, as every other line names it.
    OptimiseSettings tight = Vary({kRadiusRod}, 30);
    tight.dimensions[0].bounds = SearchRange{5.02f, 5.03f};
    const OptimiseResult held = OptimiseGear(SpoiltDesign(), tight);
    ASSERT_EQ(held.binding.size(), 1u) << DescribeOptimise(held);
    EXPECT_EQ(held.binding[0].text, "Radius Rod is at its lower bound 5.0200");
    EXPECT_FALSE(held.binding[0].broken);
    EXPECT_TRUE(held.startBroken.empty());
}

TEST(GearOptimiser, FindsTheDeepValleyBeyondTheOneNearTheStart) {
    // With the lap (the ring's distance from the valve's centre) as the only dimension, the
    // spoilt design's cut-off differences have two valleys between a lap too small for lead and
    // one so large that a port never cuts off: a shallow one just above its lap, where the
    // gears stay some 3 % apart, and past a rise a deep one where both balance. A search that
    // only goes downhill from the start stops in the first; the range's best lies in the second.
    const Model m = SpoiltDesign();
    OptimiseSettings s = Vary({kValveCtrToRing}, 1000);
    s.dimensions[0].bounds = SearchRange{1.0f, 1.45f};
    const OptimiseResult r = OptimiseGear(m, s);
    ASSERT_EQ(r.status, OptimiseStatus::Improved) << DescribeOptimise(r);
    EXPECT_GT(r.restarts, 0);
    for (Gear g : {Gear::NormalForward, Gear::NormalReverse}) {
        const ValveEventsResult e = AnalyseValveEvents(r.design, GearRevArmPos(r.design, g));
        ASSERT_TRUE(e.ok());
        EXPECT_LE(std::fabs(CutoffDifference(e)), 0.5) << GearName(g);
        EXPECT_GE(e.front.lead, 0.0);
        EXPECT_GE(e.rear.lead, 0.0);
    }
}

TEST(GearOptimiser, TheSameSettingsGiveTheSameDesignOnAnyNumberOfThreads) {
    // The restarts run side by side; how many at once and which ends first must not matter.
    OptimiseSettings s = Vary({kValveCtrToRing}, 1000);
    s.dimensions[0].bounds = SearchRange{1.0f, 1.45f};
    s.timeLimit = 0;
    std::vector<OptimiseResult> runs;
    for (int threads : {1, 3, 2}) {
        s.threads = threads;
        runs.push_back(OptimiseGear(SpoiltDesign(), s));
    }
    ASSERT_GT(runs[0].restarts, 0);
    for (const OptimiseResult& r : runs) {
        EXPECT_EQ(r.status, runs[0].status);
        EXPECT_EQ(r.evaluations, runs[0].evaluations);
        EXPECT_EQ(r.restarts, runs[0].restarts);
        EXPECT_EQ(r.after.objective, runs[0].after.objective);
        for (std::size_t i = 0; i < r.dimensions.size(); ++i)
            EXPECT_EQ(r.dimensions[i].newValue, runs[0].dimensions[i].newValue);
    }
}

TEST(GearOptimiser, StopsAtItsTimeLimitWithTheBestDesignSoFar) {
    // Six dimensions at ten positions with a budget far beyond two seconds' work: the limit ends
    // the run, within 10 % of it, and the line says so.
    OptimiseSettings s = Vary(
        {kValveCtrToJoint, kValveCtrToRing, kRadiusRod, kLinkPivotVert, kAnchorLinkLen, kDriverDia},
        1000000);
    s.rangePercent = 15;
    const Model m = test::StartedModel();
    const float from = GearRevArmPos(m, Gear::NormalForward);
    const float to = GearRevArmPos(m, Gear::NormalReverse);
    s.positions.clear();
    for (int k = 0; k < 10; ++k)
        s.positions.push_back(
            OptimisePosition::Absolute(from + (to - from) * static_cast<float>(k) / 9));
    // Two seconds, so that the 10 % still holds when a loaded machine keeps the last designs'
    // threads waiting (one design of ten positions is the most the run may overshoot by).
    s.timeLimit = 2;
    const OptimiseResult r = OptimiseGear(m, s);
    EXPECT_TRUE(r.timeLimitReached) << DescribeOptimise(r);
    EXPECT_GE(r.seconds, 2.0);
    EXPECT_LE(r.seconds, 2.2);
    EXPECT_TRUE(r.status == OptimiseStatus::Improved || r.status == OptimiseStatus::NothingBetter);
    EXPECT_NE(DescribeOptimise(r).find("time limit"), std::string::npos) << DescribeOptimise(r);
}
