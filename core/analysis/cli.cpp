// The events command line: option parsing, loading the design, and the table on standard output.
#include "core/analysis/cli.h"

#include <cerrno>
#include <cmath>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/analysis/eventstable.h"
#include "core/analysis/valveevents.h"
#include "core/io/datafiles.h"
#include "core/io/dimensionfile.h"
#include "core/io/safefile.h"
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
           " --data-files\n"
           "       " +
           prog +
           " --help | -h | -? | --version\n"
           "       " +
           prog + " [DESIGN.dti]   (opens the program's window)\n";
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
           "                     reverse)\n"
           "  --format csv|text  comma-separated with a header row, or a readable listing\n"
           "                     (default text)\n"
           "\n"
           "Lengths are in the design's own unit.\n"
           "\n"
           "--data-files prints where the program reads each of its wave and instruction\n"
           "files: the working directory first, then the data folder installed with it\n"
           "(PREFIX/share/tarn1 beside PREFIX/bin/tarn1).\n"
           "\n"
           "Exit status: 0 done, 2 the design file was refused, 3 a data file is missing,\n"
           "64 bad options, 74 the output could not be written.\n";
}

bool IEquals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// A whole decimal number: optional sign, digits with an optional point, optional exponent.
bool ParseWholeNumber(std::string_view s, long double& v) {
    if (s.empty()) return false;
    std::size_t i = 0;
    if (s[i] == '+' || s[i] == '-') ++i;
    std::size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t e = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            ++i;
            ++e;
        }
        if (e == 0) return false;
    }
    if (i != s.size()) return false;
    // Too large for any number (1e5000) is as out of range as 1e999: the clamp brings both in.
    v = ParseNumber(s);
    return !std::isnan(v);
}

// The positions of a list; false on an entry that is neither a number nor a gear name, which
// `bad` then holds.
bool ParsePositions(std::string_view list, const Model& m, std::vector<float>& out,
                    std::string& bad) {
    out.clear();
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = list.find(',', start);
        std::string_view item =
            list.substr(start, comma == std::string_view::npos ? list.npos : comma - start);
        while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
        while (!item.empty() && item.back() == ' ') item.remove_suffix(1);
        static constexpr std::pair<std::string_view, Gear> kNames[] = {{"Min", Gear::FullForward},
                                                                       {"Fwd", Gear::NormalForward},
                                                                       {"Cen", Gear::Mid},
                                                                       {"Rev", Gear::NormalReverse},
                                                                       {"Max", Gear::FullReverse}};
        bool named = false;
        for (const auto& [name, gear] : kNames)
            if (IEquals(item, name)) {
                out.push_back(GearRevArmPos(m, gear));
                named = true;
            }
        if (!named) {
            long double v = 0;
            if (!ParseWholeNumber(item, v)) {
                bad = std::string(item);
                return false;
            }
            out.push_back(ClampRevArmPos(m, ToFloat(v)));
        }
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return true;
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
        out << "TARN1 Inside Admission Version 2.6\n";
        return finish(kCliOk);
    }
    if (command == "--data-files") {
        if (argc > 2) return cannotTake(argv[2] ? argv[2] : "");
        const bool found = ListDataFiles(out, {}, RunningProgramDir());
        return finish(found ? kCliOk : kCliDataMissing);
    }
    if (command != "--events") return cannotTake(command);

    std::string design;
    std::string positions;
    bool havePositions = false;
    Format format = Format::Text;
    for (int i = 2; i < argc; ++i) {
        std::string_view a = argv[i] ? argv[i] : "";
        std::string_view value;
        bool hasValue = false;
        if (isHelp(a)) {
            out << Help(prog);
            return finish(kCliOk);
        }
        const auto eq = a.find('=');
        std::string_view key = a;
        if (a.starts_with("--") && eq != std::string_view::npos) {
            key = a.substr(0, eq);
            value = a.substr(eq + 1);
            hasValue = true;
        }
        if (key == "--positions" || key == "--format") {
            if (!hasValue) {
                if (i + 1 >= argc || argv[i + 1] == nullptr)
                    return usage(std::string(key) + " needs a value");
                value = argv[++i];
            }
            if (key == "--positions") {
                if (havePositions) return usage("cannot take --positions twice");
                positions = std::string(value);
                havePositions = true;
            } else if (value == "csv") {
                format = Format::Csv;
            } else if (value == "text") {
                format = Format::Text;
            } else {
                return usage("cannot take '" + std::string(value) + "' for --format (csv or text)");
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
        std::string bad;
        if (!ParsePositions(positions, m, list, bad))
            return usage("cannot take '" + bad +
                         "' in --positions (numbers, or Min, Fwd, Cen, Rev, Max)");
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
