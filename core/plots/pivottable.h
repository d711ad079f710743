// The pivot data table: the vertical and horizontal co-ordinates of six chosen pivots over a
// revolution of the driver, one text line per crank step.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/model/model.h"

namespace tarn {

// The smallest crank step the table walks with; a smaller, zero, negative or undefined
// StepSetting uses it, so the table always ends.
inline constexpr f32 kMinTableStep = 0.01f;

// Builds the table's lines from the current dimensions. date and time are the short texts of
// the moment. CrankAngle and StepAngle are written back; the pivots keep the last angle's
// positions.
std::vector<std::string> BuildPivotDataTable(Model& m, std::string_view date,
                                             std::string_view time);

// The lines joined with "\n".
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace tarn
