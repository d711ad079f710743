// The optimiser's command: its options, the run, the report as text or CSV, and the optimised
// design written as the loaded file with only the varied dimensions changed.
#include "cli/optimisecli.h"

#include <cerrno>
#include <cmath>
#include <optional>
#include <sstream>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "cli/cli.h"
#include "core/analysis/eventstable.h"
#include "core/analysis/gearcomparison.h"
#include "core/analysis/optimiser.h"
#include "core/analysis/positionlist.h"
#include "core/io/dimensionfile.h"
#include "core/model/dimensions.h"
#include "core/model/model.h"
#include "core/model/numfmt.h"
#include "core/variation/commit.h"

namespace tarn {

namespace {

struct Options {
    std::string design;
    std::optional<std::string> vary, range, positions, minLead, objective, out, format;
    std::vector<std::string> bounds;  // NAME=LO:HI as given
    bool allGears = false;
    std::optional<std::string> timeLimit;
};

// The largest --range, far beyond any useful one; 1e400 is not even a double.
constexpr double kMaxRangePercent = 1e6;

std::string Value(double v) { return Str(v, 0, 6); }

std::string ScoreText(const OptimiseScore& s) {
    if (s.geometryError) return "geometry error";
    return Str(*s.objective, 0, 4) + (s.violation > 0 ? " (constraints broken)" : "");
}

std::string PositionText(const OptimisePosition& p) {
    return p.gear ? std::string(GearName(*p.gear))
                  : "reverse-arm position " + Str(p.revArmPos, 0, 3);
}

// The standard gears' cut-offs and leads before and after, one cell per column of
// GearComparisonHeader, "geometry error" in each after one.
constexpr const char* kComparisonHeader[] = {
    "Gear",           "Design",     "Front cut-off [%]", "Rear cut-off [%]",
    "Front-rear [%]", "Front lead", "Rear lead"};

std::vector<std::string> ComparisonCells(const ValveEventsResult& e) {
    if (!e.ok()) return std::vector<std::string>(5, "geometry error");
    auto percent = [](const std::optional<ValveEvent>& v) {
        return v ? Str(v->percent, 0, 2) : std::string("none");
    };
    const std::optional<double> diff = FrontMinusRear(e.front.cutoff, e.rear.cutoff);
    return {percent(e.front.cutoff), percent(e.rear.cutoff), diff ? Str(*diff, 0, 2) : "",
            Str(e.front.lead, 0, 4), Str(e.rear.lead, 0, 4)};
}

void WriteComparisonText(std::ostream& out, const GearComparison& c) {
    out << "\nStandard gears before and after:\n"
        << "Gear            Design  Front cut-off  Rear cut-off  Front-rear  Front lead   Rear "
           "lead\n";
    for (std::size_t g = 0; g < c.before.size() && g < c.after.size(); ++g) {
        for (int side = 0; side < 2; ++side) {
            std::string gear = side == 0 ? std::string(GearName(kStandardGears[g])) : "";
            gear.resize(std::max<std::size_t>(gear.size(), 15), ' ');
            out << gear << (side == 0 ? " before" : "  after");
            const std::vector<std::string> cells =
                ComparisonCells(side == 0 ? c.before[g] : c.after[g]);
            const int widths[] = {15, 14, 12, 12, 12};
            for (std::size_t k = 0; k < cells.size(); ++k) {
                std::string cell = cells[k];
                const auto w = static_cast<std::size_t>(widths[k]);
                if (cell.size() < w) cell.insert(0, w - cell.size(), ' ');
                out << ' ' << cell;
            }
            out << '\n';
        }
    }
    if (c.warnings.empty()) out << "No standard gear became worse.\n";
    for (const GearWarning& w : c.warnings) out << "Warning: " << w.text << '\n';
}

void WriteText(std::ostream& out, const Model& before, const OptimiseSettings& s,
               const OptimiseResult& r) {
    out << "Gear optimiser on " << before.design.DesignName << ": ";
    for (std::size_t i = 0; i < s.dimensions.size(); ++i)
        out << (i ? ", " : "") << FindDimension(s.dimensions[i].id)->name;
    out << " at ";
    for (std::size_t i = 0; i < s.positions.size(); ++i)
        out << (i ? ", " : "") << PositionText(s.positions[i]);
    out << '\n'
        << "Objective: "
        << (s.objective == OptimiseObjective::Cutoff
                ? "the sum of (front - rear cut-off)^2, in percent of travel"
                : "the sum of (front - rear cut-off)^2 and (front - rear lead)^2, the cut-off in "
                  "percent of travel, the lead in percent of the valve port width")
        << "; lead at least " << Str(s.minLead, 0, 4)
        << (s.allGears ? ", and the ports opening, at every standard gear as well" : "") << '\n';
    out << DescribeOptimise(r) << '\n';
    for (const BindingConstraint& b : r.startBroken) out << "The start breaks: " << b.text << '\n';
    for (const BindingConstraint& b : r.binding)
        out << (b.broken ? "Broken: " : "Binding: ") << b.text << '\n';

    out << '\n' << "Dimension                  Old value    New value  Lower bound  Upper bound\n";
    for (const OptimisedDimension& d : r.dimensions) {
        std::string name(d.name);
        name.resize(std::max<std::size_t>(name.size(), 22), ' ');
        out << name;
        // A blank before every column, also when a large number fills its width.
        for (const float v : {d.oldValue, d.newValue, d.bounds.lo, d.bounds.hi})
            out << ' ' << Str(v, 12, 6);
        out << (d.noEffect ? "  no effect" : "") << '\n';
    }
    WriteComparisonText(out, CompareStandardGears(before, r.design, s));
    out << "\nBefore:\n";
    WriteEventsText(out, before, AnalysePositions(before, StandardGearPositions(before)));
    out << "\nAfter:\n";
    WriteEventsText(out, r.design, AnalysePositions(r.design, StandardGearPositions(r.design)));
}

void WriteCsv(std::ostream& out, const Model& before, const OptimiseSettings& s,
              const OptimiseResult& r) {
    out << "Status," << OptimiseStatusText(r.status) << '\n';
    out << "Objective before," << ScoreText(r.before) << '\n';
    out << "Objective after," << ScoreText(r.after) << '\n';
    out << "Designs analysed," << Str(static_cast<long long>(r.evaluations), 0) << '\n';
    if (r.status == OptimiseStatus::Failed) out << "Failure," << r.failure << '\n';
    for (const BindingConstraint& b : r.startBroken) out << "Start broken," << b.text << '\n';
    for (const BindingConstraint& b : r.binding)
        out << (b.broken ? "Broken," : "Binding,") << b.text << '\n';
    out << "\nDimension,Old value,New value,Lower bound,Upper bound,Effect\n";
    for (const OptimisedDimension& d : r.dimensions)
        out << d.name << ',' << Value(d.oldValue) << ',' << Value(d.newValue) << ','
            << Value(d.bounds.lo) << ',' << Value(d.bounds.hi) << ','
            << (d.noEffect ? "none" : "yes") << '\n';
    out << "\nDesign";
    for (const std::string& h : EventsHeader()) out << ',' << h;
    out << '\n';
    for (const auto& [label, design] : {std::pair<const char*, const Model*>{"before", &before},
                                        std::pair<const char*, const Model*>{"after", &r.design}}) {
        for (const ValveEventsResult& e :
             AnalysePositions(*design, StandardGearPositions(*design))) {
            out << label;
            for (const std::string& cell : EventsRow(*design, e)) out << ',' << cell;
            out << '\n';
        }
    }
    // The standard gears compared, then what became worse there.
    const GearComparison c = CompareStandardGears(before, r.design, s);
    out << '\n';
    for (std::size_t k = 0; k < std::size(kComparisonHeader); ++k)
        out << (k ? "," : "") << kComparisonHeader[k];
    out << '\n';
    for (std::size_t g = 0; g < c.before.size() && g < c.after.size(); ++g) {
        for (int side = 0; side < 2; ++side) {
            out << GearName(kStandardGears[g]) << (side == 0 ? ",before" : ",after");
            for (const std::string& cell : ComparisonCells(side == 0 ? c.before[g] : c.after[g]))
                out << ',' << cell;
            out << '\n';
        }
    }
    for (const GearWarning& w : c.warnings) out << "\nWarning," << w.text;
    if (!c.warnings.empty()) out << '\n';
}

}  // namespace

int RunOptimiseCommand(int argc, char** argv, std::ostream& out, std::ostream& err,
                       const std::function<int(const std::string&)>& usage,
                       const OptimiseFunction& search) {
    Options o;
    auto quoted = [](std::string_view s) { return "'" + std::string(s) + "'"; };
    for (int i = 2; i < argc; ++i) {
        const std::string_view a = argv[i] ? argv[i] : "";
        const Argument arg = SplitArgument(a);
        const std::string_view key = arg.key;
        std::optional<std::string>* slot = nullptr;
        if (key == "--all-gears") {
            if (arg.value) return usage("--all-gears takes no value");
            if (o.allGears) return usage("cannot take --all-gears twice");
            o.allGears = true;
            continue;
        }
        if (key == "--vary") slot = &o.vary;
        else if (key == "--range") slot = &o.range;
        else if (key == "--positions") slot = &o.positions;
        else if (key == "--min-lead") slot = &o.minLead;
        else if (key == "--objective") slot = &o.objective;
        else if (key == "--out") slot = &o.out;
        else if (key == "--format") slot = &o.format;
        else if (key == "--time-limit") slot = &o.timeLimit;
        std::optional<std::string> bad;
        if (slot) bad = StoreValue(*slot, arg, argc, argv, i);
        else if (!a.starts_with("-") && a.find('=') != std::string_view::npos)
            o.bounds.emplace_back(a);
        else bad = TakeDesignName(a, o.design);
        if (bad) return usage(*bad);
    }

    OptimiseSettings s;
    s.allGears = o.allGears;
    if (!o.vary) return usage("--optimise needs --vary NAME,NAME,...");
    for (std::size_t start = 0;;) {
        const std::size_t comma = o.vary->find(',', start);
        std::string_view name = std::string_view(*o.vary).substr(
            start, comma == std::string::npos ? std::string::npos : comma - start);
        while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
        while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
        const DimensionInfo* d = FindDimensionByName(name);
        if (!d)
            return usage("cannot take " + quoted(name) +
                         " in --vary: there is no dimension of that name (see --help)");
        if (!IsVariableDimension(d->id))
            return usage("cannot take " + quoted(name) +
                         " in --vary: it places the gear positions the cut-offs are measured at");
        for (const OptimiseDimension& e : s.dimensions)
            if (e.id == d->id) return usage("cannot take " + quoted(name) + " twice in --vary");
        s.dimensions.push_back({d->id, std::nullopt});
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    for (const std::string& b : o.bounds) {
        const std::size_t eq = b.find('=');
        const std::string_view name = std::string_view(b).substr(0, eq);
        const std::string_view range = std::string_view(b).substr(eq + 1);
        const DimensionInfo* d = FindDimensionByName(name);
        if (!d)
            return usage("cannot take " + quoted(b) + ": there is no dimension named " +
                         quoted(name));
        OptimiseDimension* varied = nullptr;
        for (OptimiseDimension& e : s.dimensions)
            if (e.id == d->id) varied = &e;
        if (!varied)
            return usage("cannot take " + quoted(b) + ": " + quoted(name) + " is not in --vary");
        if (varied->bounds)
            return usage("cannot take " + quoted(b) + ": bounds of " + quoted(name) + " twice");
        const std::size_t colon = range.find(':');
        long double lo = 0, hi = 0;
        if (colon == std::string_view::npos || !ParseWholeNumber(range.substr(0, colon), lo) ||
            !ParseWholeNumber(range.substr(colon + 1), hi))
            return usage("cannot take " + quoted(b) + ": bounds are LOW:HIGH, two numbers");
        SearchRange bounds;
        if (const std::string why = CheckOptimiseBounds(d->id, d->name, range.substr(0, colon),
                                                        range.substr(colon + 1), bounds);
            !why.empty())
            return usage("cannot take " + quoted(b) + ": " + why);
        varied->bounds = bounds;
    }
    if (o.range) {
        // Any percentage above 0 whose bounds stay numbers; 1e400 % does not.
        long double p = 0;
        if (!ParseWholeNumber(*o.range, p) || !(p > 0) ||
            !(p <= static_cast<long double>(kMaxRangePercent)))
            return usage("cannot take " + quoted(*o.range) +
                         " for --range (a percentage above 0, " + "at most " +
                         Str(kMaxRangePercent, 0, 0) + ")");
        s.rangePercent = static_cast<double>(p);
    }
    if (o.minLead) {
        long double v = 0;
        if (!ParseWholeNumber(*o.minLead, v) || !std::isfinite(v))
            return usage("cannot take " + quoted(*o.minLead) + " for --min-lead (a length)");
        s.minLead = static_cast<double>(v);
    }
    if (o.objective) {
        if (*o.objective == "cutoff") s.objective = OptimiseObjective::Cutoff;
        else if (*o.objective == "cutoff+lead") s.objective = OptimiseObjective::CutoffAndLead;
        else
            return usage("cannot take " + quoted(*o.objective) +
                         " for --objective (cutoff or cutoff+lead)");
    }
    if (o.timeLimit) {
        long double v = 0;
        if (!ParseWholeNumber(*o.timeLimit, v) || !(v >= 0) || !(v <= 1e6L))
            return usage("cannot take " + quoted(*o.timeLimit) +
                         " for --time-limit (seconds, 0 for none, at most 1000000)");
        s.timeLimit = static_cast<double>(v);
    }
    const bool csv = o.format && *o.format == "csv";
    if (o.format && !csv && *o.format != "text")
        return usage("cannot take " + quoted(*o.format) + " for --format (csv or text)");
    if (o.out && o.out->empty()) return usage("cannot take an empty name for --out");
    std::vector<PositionEntry> entries;
    if (o.positions) {
        std::string bad;
        if (!ParsePositionList(*o.positions, entries, bad))
            return usage("cannot take " + quoted(bad) + " in --positions (numbers, or " +
                         GearWords() + ")");
        if (entries.size() > kMaxPositions)
            return usage("--positions takes at most " + std::to_string(kMaxPositions) +
                         " positions, not " + std::to_string(entries.size()));
    } else {
        entries = {{Gear::NormalForward, 0}, {Gear::NormalReverse, 0}};
    }

    Model m;
    StartUp(m);
    if (!o.design.empty()) {
        const FileResult loaded = LoadDimensionFile(m, o.design);
        if (!loaded.ok) {
            err << (loaded.error.empty() ? "Cannot read " + o.design : loaded.error) << '\n';
            return kCliFileRefused;
        }
    }
    s.positions.clear();
    for (const PositionEntry& e : entries)
        s.positions.push_back(
            e.gear ? OptimisePosition::At(*e.gear)
                   : OptimisePosition::Absolute(ClampRevArmPos(m, ToFloat(e.number))));

    const OptimiseResult r = search ? search(m, s) : OptimiseGear(m, s);
    if (r.status == OptimiseStatus::Refused) return usage(r.refusal);
    // The report in one piece, so that a standard output that fails does so here and errno still
    // says why when the caller reports it, whatever the save below leaves in errno.
    {
        std::ostringstream report;
        if (csv) WriteCsv(report, m, s, r);
        else WriteText(report, m, s, r);
        errno = 0;
        out << report.str() << std::flush;
    }
    const int outErrno = errno;
    if (r.status == OptimiseStatus::Failed) {
        err << "The search failed: " << r.failure << '\n';
        errno = outErrno;
        return kCliSearchFailed;
    }

    if (o.out) {
        // The file as loaded, with the varied dimensions changed as the window's Apply changes
        // them: the mid gear and the positions that follow it recomputed, the arm at mid gear.
        Model written = m;
        std::vector<DimensionChange> changes;
        for (const OptimisedDimension& d : r.dimensions) changes.push_back({d.id, d.newValue});
        if (!CommitDimensionGroup(written, "Optimise Gear", changes)) {
            // More changes than one UnDo holds: the same values and mid gear, without history.
            for (const DimensionChange& c : changes) SetDimension(written, c.id, c.value);
            CentreRevArm(written);
        }
        const FileResult saved = SaveDimensionFile(written, *o.out);
        if (!saved.ok) {
            err << saved.error << '\n';
            errno = outErrno;
            return kCliWriteFailed;
        }
        if (!csv) out << "\nWritten to " << *o.out << ".\n";
    }
    errno = outErrno;
    return kCliOk;
}

}  // namespace tarn
