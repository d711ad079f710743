// "--performance" on the command line: the engine's performance of a design (or the built-in
// one) under its conditions, at chosen gear positions and speeds, as a readable table or CSV.
#pragma once

#include <functional>
#include <ostream>
#include <string>

namespace tarn {

// argv[1] is "--performance"; the options follow (see the command line's help). usage(what)
// reports a usage error naming what could not be taken and returns its status. Returns the exit
// status: kCliOk when done (also when some results are not ok: their rows say why),
// kCliFileRefused when the design or the conditions file was refused, or kCliUsage. Output that
// cannot be written is the caller's to detect.
int RunPerformanceCommand(int argc, char** argv, std::ostream& out, std::ostream& err,
                          const std::function<int(const std::string&)>& usage);

}  // namespace tarn
