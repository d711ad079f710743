// The command line for scripts: "--events" prints the valve-events table of a design without
// opening a window; "--optimise" runs the gear optimiser on it; "--performance" runs the engine
// under its conditions; "--data-files" tells where the wave and instruction files are read from;
// "--help" and "--version" as usual.
#pragma once

#include <ostream>

namespace tarn {

// Exit statuses of the command line.
inline constexpr int kCliOk = 0;
inline constexpr int kCliFileRefused = 2;   // the design or conditions file was refused
inline constexpr int kCliDataMissing = 3;   // a data file was found neither here nor installed
inline constexpr int kCliUsage = 64;        // bad options
inline constexpr int kCliWriteFailed = 74;  // the output could not be written

// argv[1] is "--events", "--optimise", "--performance", "--data-files", "--help" (or "-h", "-?") or
// "--version"; anything else is a usage error that names the argument. Prints the table to `out` and messages to
// `err`; returns the exit status, also when `out` could not be written.
int RunEventsCli(int argc, char** argv, std::ostream& out, std::ostream& err);
// The same on standard output and standard error.
int RunEventsCli(int argc, char** argv);

}  // namespace tarn
