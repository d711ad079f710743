// The comparison with a reference design, and a grid as delimited text.
#include "core/analysis/eventscompare.h"

#include <cmath>

#include "core/model/numfmt.h"

namespace tarn {

std::string BalanceChangeText(EventRow row, double change) {
    const std::string size = Str(std::fabs(change), 0, EventRowDecimals(row));
    if (size.find_first_not_of("0.") == std::string::npos) return "no change";
    return size + (change < 0 ? " better" : " worse");
}

EventsGrid ComparisonGrid(const EventsGrid& design, const EventsGrid& reference, double tolerance) {
    EventsGrid g = DifferenceGrid(design, reference, tolerance);
    for (std::size_t c = 0; c < g.columns.size(); ++c) {
        for (const EventRowInfo& info : kEventGridRows) {
            const EventRow row = info.row;
            const auto i = static_cast<std::size_t>(row);
            GridCell& cell = g.columns[c].cells[i][2];
            const auto& mine = design.columns[c].cells[i][2].value;
            const auto& theirs = reference.columns[c].cells[i][2].value;
            cell = GridCell{};
            if (!mine || !theirs) continue;
            const double change = std::fabs(*mine) - std::fabs(*theirs);
            cell.value = change;
            cell.text = BalanceChangeText(row, change);
            cell.beyond = IsHighlightedRow(row) && change > tolerance;
            cell.detail = "front - rear " + Str(*mine, 0, EventRowDecimals(row)) + " against " +
                          Str(*theirs, 0, EventRowDecimals(row)) + " in the reference";
        }
    }
    return g;
}

void WriteGridDelimited(std::ostream& out, const EventsGrid& grid, std::string_view title,
                        std::string_view balanceTitle, char separator) {
    out << title << '\n';
    for (const GridColumn& col : grid.columns)
        out << separator << col.heading << separator << separator;
    out << '\n';
    for (std::size_t c = 0; c < grid.columns.size(); ++c)
        out << separator << "Front" << separator << "Rear" << separator << balanceTitle;
    out << '\n';
    for (const EventRowInfo& info : kEventGridRows) {
        const auto i = static_cast<std::size_t>(info.row);
        out << info.title;
        for (const GridColumn& col : grid.columns) {
            for (std::size_t e = 0; e < 3; ++e) {
                out << separator;
                if (!col.error.empty()) {
                    if (i == 0 && e == 0) out << col.error;
                } else if (col.cells[i][e].value) {
                    out << col.cells[i][e].text;
                }
            }
        }
        out << '\n';
    }
}

}  // namespace tarn
