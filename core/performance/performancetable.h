// The engine's performance as a table: one row per gear position and speed, in the conditions'
// units. The command line prints it; a window can copy and save the same rows. Numbers always
// use "." as the decimal point. Pressures are gauge (above the atmosphere), as the chest
// pressure is given; the cut-off pressures are shares of the absolute chest pressure.
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "core/model/model.h"
#include "core/performance/conditions.h"
#include "core/performance/engine.h"

namespace tarn {

// The columns whose titles, order and meaning scripts rely on; columns added later come after
// them. Each title names its unit in brackets ("MEP front [psi]") but for Gear, Rev/min and the
// cut-off pressures (shares).
inline constexpr std::size_t kPerformanceFixedColumns = 15;

// The column titles in the conditions' units: the fixed ones, then Release pressure front and
// rear, Efficiency, Revolutions and Problem (empty when the result is ok).
std::vector<std::string> PerformanceHeader(const EngineConditions& c);

// The cells of one result at revPerMin, as many as the header has; a result that is not ok has
// its position, gear and speed, empty numbers and its problem.
std::vector<std::string> PerformanceRow(const Model& design, const EngineConditions& c,
                                        const EnginePerformance& r, double revPerMin);

// Header and rows for the results of SimulateEngineMap (position-major: results[i] ran at
// revPerMin[i % revPerMin.size()]), cells separated by `separator`; a cell holding the
// separator, a quote or a line break is quoted.
void WritePerformanceDelimited(std::ostream& out, const Model& design, const EngineConditions& c,
                               std::span<const EnginePerformance> results,
                               std::span<const double> revPerMin, char separator);

// A readable listing: the conditions, then per position a table of its speeds.
void WritePerformanceText(std::ostream& out, const Model& design, const EngineConditions& c,
                          std::span<const EnginePerformance> results,
                          std::span<const double> revPerMin);

}  // namespace tarn
