// The events grid against facts of the gear: admission comes before the dead centre exactly when
// there is lead, two events at one crank angle stand a stroke apart on the slide bars, a design
// compared with itself differs nowhere.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/analysis/eventsgrid.h"
#include "core/analysis/eventstable.h"
#include "core/model/dimensions.h"
#include "core/model/numfmt.h"
#include "started_model.h"

using namespace tarn;

TEST(EventsGrid, AdmissionIsBeforeTheDeadCentreExactlyWhenThereIsLeadTurningEitherWay) {
    const Model m = test::StartedModel();
    const auto results = AnalysePositions(m, StandardGearPositions(m));
    int seen = 0;
    for (const ValveEventsResult& r : results) {
        for (bool front : {true, false}) {
            const EndEvents& e = front ? r.front : r.rear;
            if (!e.admission || std::fabs(e.lead) < 1e-4) continue;
            const double d = DegreesFromDeadCentre(r, *e.admission, front);
            EXPECT_EQ(d<0, e.lead> 0) << r.revArmPos << (front ? " front " : " rear ") << d;
            ++seen;
        }
    }
    EXPECT_EQ(seen, 10);  // both ends of all five gears, forward and backward turning
}

TEST(EventsGrid, MarksOfEventsAtOneCrankAngleAreAStrokeApart) {
    // The front release and the rear compression both happen when the valve's outer edges pass
    // their ports together, at one crank angle: the crosshead is then m from the front dead
    // centre and stroke - m from the rear one.
    Model m = test::StartedModel();
    SetDimension(m, 2, 3.5f);  // a stroke of 3.5
    const ValveEventsResult r = AnalyseValveEvents(m, GearRevArmPos(m, Gear::NormalForward));
    ASSERT_TRUE(r.front.release && r.rear.compression);
    ASSERT_NEAR(r.front.release->crankAngle, r.rear.compression->crankAngle, 1e-3);
    EXPECT_NEAR(r.front.release->mark + r.rear.compression->mark, 3.5, 1e-4);
    // Cut-off at p % of the stroke is p % of 3.5 from the dead centre.
    EXPECT_NEAR(r.front.cutoff->mark, r.front.cutoff->percent * 0.035, 1e-4);
}

TEST(EventsGrid, ADesignAgainstItselfDiffersNowhereAndErrorsKeepTheirReason) {
    Model m = test::StartedModel();
    const auto positions = StandardGearPositions(m);
    const EventsGrid g = BuildEventsGrid(m, AnalysePositions(m, positions), 2.0);
    const EventsGrid same = DifferenceGrid(g, g, 2.0);
    ASSERT_EQ(same.columns.size(), 5u);
    for (const GridColumn& c : same.columns)
        for (const auto& row : c.cells)
            for (const GridCell& cell : row) {
                if (!cell.value) continue;
                EXPECT_EQ(*cell.value, 0.0);
                EXPECT_FALSE(cell.beyond);
            }
    // Normal forward's cut-off ends differ by 26.53 %: beyond 2 %, within 30 %.
    EXPECT_TRUE(g.columns[1].cells[static_cast<int>(EventRow::Cutoff)][2].beyond);
    EXPECT_FALSE(BuildEventsGrid(m, AnalysePositions(m, positions), 30.0)
                     .columns[1]
                     .cells[static_cast<int>(EventRow::Cutoff)][2]
                     .beyond);

    Model broken = m;
    SetDimension(broken, 13, 0.1f);
    const auto matching = MatchingPositions(m, positions, broken);
    const EventsGrid bad = BuildEventsGrid(broken, AnalysePositions(broken, matching), 2.0);
    const EventsGrid diff = DifferenceGrid(g, bad, 2.0);
    EXPECT_EQ(diff.columns[0].error.rfind("reference: geometry error at crank angle ", 0), 0u)
        << diff.columns[0].error;
}

TEST(EventsGrid, NamedGearsMatchTheReferencesOwnGears) {
    const Model m = test::StartedModel();
    Model wider = m;
    SetDimension(wider, 18, m.design.RevArmToCentMax + 0.2f);  // full gear further out
    const std::vector<float> mine{GearRevArmPos(m, Gear::FullForward), 5.5f};
    const auto theirs = MatchingPositions(m, mine, wider);
    EXPECT_EQ(theirs[0], GearRevArmPos(wider, Gear::FullForward));
    EXPECT_NE(theirs[0], mine[0]);
    EXPECT_EQ(theirs[1], 5.5f);  // a position without a name stays
}

TEST(EventsGrid, EachRowShowsWhatTheListingPrintsUnderTheSameName) {
    // The grid and the comma-separated listing are written apart; at normal forward every row
    // of the grid holds, at both ends, the listing's number of the column its title names.
    const Model m = test::StartedModel();
    const ValveEventsResult r = AnalyseValveEvents(m, GearRevArmPos(m, Gear::NormalForward));
    const EventsGrid g = BuildEventsGrid(m, std::span(&r, 1), 2.0);
    const std::vector<std::string> header = EventsHeader(), cells = EventsRow(m, r);
    const std::pair<EventRow, const char*> columns[] = {
        {EventRow::Lead, "lead [len]"},
        {EventRow::Admission, "admission from dead centre [deg]"},
        {EventRow::Cutoff, "cut-off [%]"},
        {EventRow::Release, "release [%]"},
        {EventRow::Compression, "compression [%]"},
        {EventRow::MaxSteam, "max steam opening [len]"},
        {EventRow::MaxExhaust, "max exhaust opening [len]"},
        {EventRow::AdmissionMark, "admission mark [len]"},
        {EventRow::CutoffMark, "cut-off mark [len]"},
        {EventRow::ReleaseMark, "release mark [len]"},
        {EventRow::CompressionMark, "compression mark [len]"},
    };
    ASSERT_EQ(std::size(columns), static_cast<std::size_t>(kEventRows));
    for (const auto& [row, name] : columns)
        for (const std::size_t end : {0u, 1u}) {
            const std::string title = std::string(end == 0 ? "Front " : "Rear ") + name;
            const auto at = std::find(header.begin(), header.end(), title);
            ASSERT_NE(at, header.end()) << title;
            const GridCell& cell = g.columns[0].cells[static_cast<std::size_t>(row)][end];
            ASSERT_TRUE(cell.value.has_value()) << title;
            EXPECT_NEAR(*cell.value, static_cast<double>(ParseNumber(cells[at - header.begin()])),
                        0.006)  // the listing writes percentages to two decimals
                << title << " in row " << EventRowTitle(row);
        }
}
