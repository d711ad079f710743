// The conditions file: the conditions an engine runs under, NAME.conditions beside the design
// NAME.dti, as plain text that a person can read and edit: one "key = value unit" a line
// ("chest-pressure = 100 psi", "length-unit = inch"), '#' starting a comment. Numbers are read
// and written the same under every locale; a value may be given in any unit of its kind ("7 bar"
// in a file of psi); lines of keys this program does not know are kept and written back.
#pragma once

#include <string>
#include <string_view>

#include "core/io/dimensionfile.h"
#include "core/performance/conditions.h"

namespace tarn {

// The conditions file of a design: NAME.dti's last extension replaced by ".conditions" (added
// when the name has none), in the same folder.
std::string ConditionsPathFor(std::string_view designPath);

// The text of a conditions file: every row of the conditions table, then the unknown lines.
std::string ConditionsText(const EngineConditions& c);

// Reads the text of a conditions file into c. The units' and the choices' lines count first,
// whatever their order; a number without a unit is in the file's units. Keys missing from the
// text take the defaults of the file's length unit. Returns ok, or a message naming the line and
// the key ("line 3: chest-pressure: 'abc' is not a number"); c is then unchanged. Conditions that
// cannot be simulated are refused too, at the line of the value at fault.
FileResult ParseConditionsText(std::string_view text, EngineConditions& c);

// The same for the file at path; messages start with the path.
FileResult LoadConditionsFile(const std::string& path, EngineConditions& c);

// Writes ConditionsText(c) to path with WriteFileSafely: a failed save leaves the old file as it
// was.
FileResult SaveConditionsFile(const EngineConditions& c, const std::string& path);

}  // namespace tarn
