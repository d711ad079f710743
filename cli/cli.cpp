// The events command line: option parsing, loading the design, and the table on standard output.
#include "cli/cli.h"

#include <cerrno>
#include <cmath>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "cli/optimisecli.h"
#include "cli/performancecli.h"
#include "core/analysis/eventstable.h"
#include "core/analysis/positionlist.h"
#include "core/analysis/valveevents.h"
#include "core/io/datafiles.h"
#include "core/io/dimensionfile.h"
#include "core/io/safefile.h"
#include "core/model/dimensions.h"
#include "core/model/model.h"
#include "core/model/numfmt.h"

namespace tarn {

namespace {

enum class Format { Text, Csv };

std::string ProgramName(int argc, char** argv) {
    if (argc < 1 || argv[0] == nullptr || argv[0][0] == '\0') return "tarn1";
    std::string_view p = argv[0];
    const auto slash = p.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? p : p.substr(slash + 1));
}

std::string Usage(const std::string& prog) {
    return "usage: " + prog +
           " --events [DESIGN.dti] [--positions a,b,...] [--format csv|text]\n"
           "       " +
           prog +
           " --optimise [DESIGN.dti] --vary NAME,NAME,... [--range PERCENT]\n"
           "              [NAME=LO:HI ...] [--positions LIST] [--min-lead LEN] [--all-gears]\n"
           "              [--objective cutoff|cutoff+lead] [--out NEW.dti] [--format text|csv]\n"
           "              [--time-limit SECONDS]\n"
           "       " +
           prog +
           " --performance [DESIGN.dti] [--conditions FILE] [--positions LIST]\n"
           "              [--speeds LIST] [--units in|mm] [--pressure-unit psi|bar]\n"
           "              [--temperature-unit F|C] [--chest-pressure P] [--back-pressure P]\n"
           "              [--superheat DEGREES | --steam-temperature T] [--passages PERCENT]\n"
           "              [--cd X] [--bars X] [--rod-diameter D] [--cylinders N]\n"
           "              [--steam if97|ideal] [--format text|csv]\n"
           "       " +
           prog +
           " --data-files\n"
           "       " +
           prog +
           " --help | -h | -? | --version\n"
           "       " +
           prog + " [DESIGN.dti]   (opens the program's window)\n";
}

// The names --vary takes, wrapped to the help's width.
std::string VaryNames() {
    const std::string indent(20, ' ');
    std::string text, line = indent;
    for (const DimensionInfo& d : Dimensions()) {
        if (!IsVariableDimension(d.id)) continue;
        if (line.size() + d.name.size() + 1 > 79) {
            text += line + "\n";
            line = indent;
        }
        line += ' ';
        line += d.name;
    }
    return text + line + "\n";
}

std::string Help(const std::string& prog) {
    return Usage(prog) +
           "\n"
           "Prints the valve events of a design without opening a window: for each reverse-arm\n"
           "position, both cylinder ends' admission, cut-off, release and compression (crank\n"
           "angle in degrees and percent of piston travel from that end's dead centre), the\n"
           "lead at dead centre, the largest steam and exhaust openings, and the front minus\n"
           "rear differences. The crank turns as the program turns it: backward beyond mid gear.\n"
           "\n"
           "  DESIGN.dti         a dimension file; without one, the built-in design\n"
           "  --positions LIST   reverse-arm positions separated by commas: numbers with a\n"
           "                     decimal point, or Min, Fwd, Cen, Rev, Max; out-of-range numbers\n"
           "                     are brought into mid gear +- the largest offset, as the\n"
           "                     reverse-arm dialog does (default: Min,Fwd,Cen,Rev,Max, that is\n"
           "                     full forward, normal forward, mid gear, normal reverse, full\n"
           "                     reverse); at most 100 positions\n"
           "  --format csv|text  comma-separated with a header row, or a readable listing\n"
           "                     (default text)\n"
           "A position within 0.0005 of mid gear (what three decimals show) is mid gear and\n"
           "turns the crank forward.\n"
           "\n"
           "--optimise varies the named dimensions, each within its bounds, until front and\n"
           "rear cut-off agree at the chosen positions, with every lead at or above a minimum,\n"
           "every port opening to steam and the linkage closing all round at the chosen\n"
           "positions and at full forward and full reverse (COBYLA from the design, then from\n"
           "well-spread designs across the ranges, at most 3000 designs in all).\n"
           "It prints the outcome, the constraints that hold the result, the old and new\n"
           "values, the five standard gears' cut-offs and leads before and after with a\n"
           "warning wherever the new design is worse (the linkage no longer closes, a port\n"
           "stops opening, a lead turns negative or, at a gear not held, falls below the\n"
           "minimum, a front - rear cut-off difference grows by more than 1 point), and the\n"
           "events at the five standard positions before and after. A design is never made\n"
           "worse: when nothing better is found, it says so and keeps it.\n"
           "\n"
           "  --vary NAME,...    dimensions by name:\n" +
           VaryNames() +
           "  --range PERCENT    bounds: the value +- PERCENT % of a size (default 10, at most\n"
           "                     1000000): a length, radius, diameter or width's own value,\n"
           "                     staying above 1 % of it; an offset, height or pivot\n"
           "                     position's magnitude or the stroke, whichever is larger, so\n"
           "                     one at or near 0 gets a range that does not jump at 0\n"
           "  NAME=LO:HI         bounds of one varied dimension, e.g. RadiusRodLen=4.8:5.2:\n"
           "                     32-bit floats, apart, and above 0 for a length, radius,\n"
           "                     diameter or width\n"
           "  --positions LIST   as above; default Fwd,Rev. The named positions follow the\n"
           "                     design's mid gear as the dimensions move it; numbers stay\n"
           "                     where they are\n"
           "  --min-lead LEN     the least lead at either end (default 0)\n"
           "  --all-gears        holds the least lead and an opening port at all five\n"
           "                     standard gears too; the cut-offs still count at the chosen\n"
           "                     positions only\n"
           "  --objective cutoff|cutoff+lead\n"
           "                     the sum over the positions of (front - rear cut-off)^2 in\n"
           "                     percent of travel (default), or that plus (front - rear\n"
           "                     lead)^2 with the lead in percent of the valve port width\n"
           "  --out NEW.dti      writes the optimised design as Apply then Save in the window\n"
           "                     would: the design (file or built-in) with the varied\n"
           "                     dimensions changed and the mid gear and the reverse-arm\n"
           "                     positions that follow it recomputed\n"
           "  --format text|csv  a readable report (default), or comma-separated tables\n"
           "                     separated by blank lines: the outcome, the dimensions, the\n"
           "                     events before and after, the standard gears compared, and\n"
           "                     then any warnings as rows \"Warning,TEXT\"\n"
           "  --time-limit SECONDS\n"
           "                     the whole search stops after this long with the best design\n"
           "                     found so far (default 10; 0 for none). Otherwise the result\n"
           "                     does not depend on the machine: the same options give the\n"
           "                     same design\n"
           "\n"
           "Lengths are in the design's own unit.\n"
           "\n"
           "--performance runs the engine: each cylinder end filled and emptied through the\n"
           "gear's port openings until the indicator card repeats, at every position and speed,\n"
           "and prints the mean effective pressures, indicated power, tractive effort, steam per\n"
           "hour and water rate, the pressures at cut-off and the peak of compression. The\n"
           "conditions come from --conditions FILE, else from NAME.conditions beside\n"
           "DESIGN NAME.dti when there is one, else from the defaults for the length unit; the\n"
           "options below change single values.\n"
           "\n"
           "  --conditions FILE  a conditions file: \"key = value unit\" lines\n"
           "  --positions LIST   as for --events (default: the five standard gears)\n"
           "  --speeds LIST      engine speeds in rev/min separated by commas (default\n"
           "                     100,200,300); at most 100\n"
           "  --units in|mm      the design's length unit: inches give psi, deg F and imperial\n"
           "                     results (ft/min, hp, lbf, lb/h, lb/ihp-h), millimetres bar,\n"
           "                     deg C and metric ones (m/s, kW, kN, kg/h, kg/kWh) (default in);\n"
           "                     over a conditions file it changes the length unit alone\n"
           "  --pressure-unit psi|bar, --temperature-unit F|C\n"
           "                     the units of the pressures and temperatures, given and shown\n"
           "  --chest-pressure P, --back-pressure P\n"
           "                     the steam chest's and the exhaust's pressure above the\n"
           "                     atmosphere, in the pressure unit\n"
           "  --superheat DEGREES\n"
           "                     superheated steam, so many degrees of the temperature unit\n"
           "                     (deg F or deg C, not kelvin) above saturation\n"
           "  --steam-temperature T\n"
           "                     steam of this temperature, in the temperature unit (not with\n"
           "                     --superheat)\n"
           "  --passages PERCENT the passages' volume at each end, percent of its swept volume\n"
           "  --cd X             the ports' discharge coefficient, above 0 and at most 1\n"
           "  --bars X           the share of the valve bush's circumference open to the ports\n"
           "                     (the rest is bars), above 0 and at most 1\n"
           "  --rod-diameter D   the piston rod's diameter in the design's length unit\n"
           "  --cylinders N      1 to 16\n"
           "  --steam if97|ideal the steam tables (IAPWS-IF97) or an ideal gas\n"
           "  --format text|csv  a table per position (default), or comma-separated: one row\n"
           "                     per position and speed, a result that could not be had with\n"
           "                     empty numbers and its reason in the last column, Problem\n"
           "Pressures shown are gauge, above the atmosphere; the cut-off pressures are shares of\n"
           "the absolute chest pressure.\n"
           "\n"
           "--data-files prints where the program reads each of its wave and instruction\n"
           "files: the working directory first, then the data folder installed with it\n"
           "(PREFIX/share/tarn1 beside PREFIX/bin/tarn1).\n"
           "\n"
           "Exit status: 0 done (also when nothing better was found, or a performance result\n"
           "could not be had: its row says why), 2 the design file or the conditions file was\n"
           "refused, 3 a data file is missing, 64 bad options, 70 the optimiser's search broke\n"
           "off on a fault (the report says which; nothing is written), 74 the output or the\n"
           "optimised design could not be written.\n";
}

// Fills the model from a design file; "" on success, else the loader's message.
std::string LoadDesign(Model& m, const std::string& path) {
    const FileResult r = LoadDimensionFile(m, path);
    return r.ok ? std::string() : (r.error.empty() ? "Cannot read " + path : r.error);
}

}  // namespace

int RunEventsCli(int argc, char** argv, std::ostream& out, std::ostream& err) {
    const std::string prog = ProgramName(argc, argv);
    // A usage error names what it could not take, then shows the usage.
    auto usage = [&](const std::string& what) {
        err << prog << ": " << what << '\n' << Usage(prog);
        return kCliUsage;
    };
    auto cannotTake = [&](std::string_view arg) {
        return usage("cannot take '" + std::string(arg) + "'");
    };
    // Everything printed is checked once at the end: a full disk is reported. (A reader that
    // stops early ends the program by SIGPIPE, as it does any command-line tool.)
    errno = 0;
    auto finish = [&](int status) {
        out.flush();
        if (out) return status;
        const int code = errno;
        err << prog << ": cannot write the output";
        if (code != 0) err << ": " << SystemErrorText(code);
        err << '\n';
        return kCliWriteFailed;
    };
    auto isHelp = [](std::string_view a) { return a == "--help" || a == "-h" || a == "-?"; };
    if (argc < 2 || argv[1] == nullptr) return usage("a command is missing");
    const std::string_view command = argv[1];
    if (isHelp(command)) {
        out << Help(prog);
        return finish(kCliOk);
    }
    if (command == "--version") {
        if (argc > 2) return cannotTake(argv[2] ? argv[2] : "");
        out << "TARN1 Inside Admission Version " TARN_VERSION "\n";
        return finish(kCliOk);
    }
    if (command == "--data-files") {
        if (argc > 2) return cannotTake(argv[2] ? argv[2] : "");
        const bool found = ListDataFiles(out, {}, RunningProgramDir());
        return finish(found ? kCliOk : kCliDataMissing);
    }
    if (command == "--optimise") {
        for (int i = 2; i < argc; ++i)
            if (argv[i] && isHelp(argv[i])) {
                out << Help(prog);
                return finish(kCliOk);
            }
        return finish(RunOptimiseCommand(argc, argv, out, err, usage));
    }
    if (command == "--performance") {
        for (int i = 2; i < argc; ++i)
            if (argv[i] && isHelp(argv[i])) {
                out << Help(prog);
                return finish(kCliOk);
            }
        return finish(RunPerformanceCommand(argc, argv, out, err, usage));
    }
    if (command != "--events") return cannotTake(command);

    std::string design;
    std::string positions;
    bool havePositions = false;
    Format format = Format::Text;
    for (int i = 2; i < argc; ++i) {
        const std::string_view a = argv[i] ? argv[i] : "";
        if (isHelp(a)) {
            out << Help(prog);
            return finish(kCliOk);
        }
        const Argument arg = SplitArgument(a);
        if (arg.key == "--positions" || arg.key == "--format") {
            const std::optional<std::string_view> value = TakeValue(arg, argc, argv, i);
            if (!value) return usage(std::string(arg.key) + " needs a value");
            if (arg.key == "--positions") {
                if (havePositions) return usage("cannot take --positions twice");
                positions = std::string(*value);
                havePositions = true;
            } else if (*value == "csv") {
                format = Format::Csv;
            } else if (*value == "text") {
                format = Format::Text;
            } else {
                return usage("cannot take '" + std::string(*value) +
                             "' for --format (csv or text)");
            }
        } else if (a.starts_with("-") && a != "-") {
            return cannotTake(a);
        } else if (a.empty()) {
            return usage("cannot take an empty design name");
        } else {
            if (!design.empty())
                return usage("cannot take a second design '" + std::string(a) + "'");
            design = std::string(a);
        }
    }

    Model m;
    StartUp(m);
    if (!design.empty()) {
        const std::string error = LoadDesign(m, design);
        if (!error.empty()) {
            err << error << '\n';
            return kCliFileRefused;
        }
    }
    std::vector<float> list;
    if (havePositions) {
        if (const auto refused = ParsePositions(positions, m, list)) return usage(*refused);
    } else {
        list = StandardGearPositions(m);
    }

    const std::vector<ValveEventsResult> rows = AnalysePositions(m, list);
    if (format == Format::Csv) WriteEventsDelimited(out, m, rows, ',');
    else WriteEventsText(out, m, rows);
    return finish(kCliOk);
}

int RunEventsCli(int argc, char** argv) { return RunEventsCli(argc, argv, std::cout, std::cerr); }

}  // namespace tarn
