// The valve-events table as text: one row per gear position with both ends' events and the
// front-minus-rear differences. The command line prints it; the window copies and saves it.
// Numbers always use "." as the decimal point.
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "core/analysis/valveevents.h"
#include "core/model/model.h"

namespace tarn {

// The column titles, each with its unit ("[deg]", "[%]" of piston travel, "[len]" for lengths in
// the design's own unit).
std::vector<std::string> EventsHeader();

// The cells of one row, as many as the header has; absent events are empty cells.
std::vector<std::string> EventsRow(const Model& design, const ValveEventsResult& r);

// Header and rows, cells separated by `separator` (',' for CSV, '\t' for the clipboard).
void WriteEventsDelimited(std::ostream& out, const Model& design,
                          std::span<const ValveEventsResult> rows, char separator);

// A readable listing: per position a block with the two ends' events and the differences.
void WriteEventsText(std::ostream& out, const Model& design,
                     std::span<const ValveEventsResult> rows);

}  // namespace tarn
