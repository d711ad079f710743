// "--optimise" on the command line: the gear optimiser on a design file or the built-in design,
// the events before and after, and the optimised design written on request.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "core/analysis/optimiser.h"

namespace tarn {

// The search broke off on a fault (EX_SOFTWARE): nothing was written.
inline constexpr int kCliSearchFailed = 70;

// argv[1] is "--optimise"; the options follow (see the command line's help). usage(what) reports
// a usage error naming what could not be taken and returns its status. Returns the exit status:
// kCliOk when done (also when nothing better was found), kCliFileRefused, kCliUsage,
// kCliSearchFailed when the search broke off (the report says why; no design is written) or
// kCliWriteFailed when the optimised design could not be written. Output that cannot be written
// is the caller's to detect: errno is left as writing it left it. `search` runs the search
// (OptimiseGear when empty).
int RunOptimiseCommand(int argc, char** argv, std::ostream& out, std::ostream& err,
                       const std::function<int(const std::string&)>& usage,
                       const OptimiseFunction& search = {});

}  // namespace tarn
