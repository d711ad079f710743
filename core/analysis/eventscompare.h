// A design's events against a reference design's, as the events window shows, copies and saves
// them: cell by cell the difference, and for each event how the balance of the two cylinder
// ends changed, so that the reader sees at once which design is the better one.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "core/analysis/eventsgrid.h"

namespace tarn {

// The change of |front - rear| in a row's unit: "1.23 better" when the design's ends agree
// better than the reference's, "0.40 worse" when they agree less, "no change" when the change
// rounds to nothing at the row's decimals.
std::string BalanceChangeText(EventRow row, double change);

// Design minus reference (DifferenceGrid) for the front and rear columns; the third column of
// each position holds |front - rear| of the design minus that of the reference (negative:
// better), its text from BalanceChangeText. In the percentage rows a change for the worse beyond
// the tolerance is marked.
EventsGrid ComparisonGrid(const EventsGrid& design, const EventsGrid& reference, double tolerance);

// A grid as the window's table shows it, cells separated by `separator`: the title line, the
// positions' headings (each over its first column), the column titles, then one line per event
// row with its title. Absent values are empty cells; a position's error stands in its first
// cell of the first event row.
void WriteGridDelimited(std::ostream& out, const EventsGrid& grid, std::string_view title,
                        std::string_view balanceTitle, char separator);

}  // namespace tarn
