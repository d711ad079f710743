// The gear optimiser. Every trial design is a copy of the start with the varied dimensions set
// through the dimension table and its mid gear recomputed; its chosen positions are analysed for
// the valve events and swept every two degrees, with full forward and full reverse, for geometry
// errors, the positions of one design in parallel (the restarts of the global phase, one design
// each, side by side). COBYLA works on the dimensions scaled to 0..1
// over their bounds; the best design met is tracked here, not taken from COBYLA, so a slightly
// infeasible last step of the method can never be returned.
#include "core/analysis/optimiser.h"

#include <nlopt.h>

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <chrono>
#include <cmath>
#include <exception>
#include <map>
#include <mutex>
#include <nlopt.hpp>
#include <stdexcept>

#include "core/analysis/positionlist.h"
#include "core/common/parallel.h"
#include "core/model/dimensions.h"
#include "core/model/numfmt.h"
#include "core/model/solver.h"

namespace tarn {

namespace {

constexpr int kSweepSteps = 180;                 // every 2 degrees: the geometry check all round
constexpr double kWorstPositionCost = 1e4;       // (100 % cut-off difference)^2
constexpr double kOpenMargin = 1e-6;             // a port "opens" by more than this (length)
constexpr double kBindTolerance = 1e-3;          // 0.1 % of the port width, or of a range
constexpr double kGeometryNeighbourhood = 0.02;  // 2 % of every range (scaled distance)
constexpr double kStartStep = 0.1;               // COBYLA's first steps: 10 % of each range
constexpr double kStepTolerance = 1e-6;          // scaled: far below what a field shows
constexpr double kGoodEnough = 1e-6;       // per position: differences of 0.001 % are invisible
constexpr double kMaxConstraint = 1e30;    // a constraint's violation saturates here
constexpr int kRestartBatch = 4;           // restarts run side by side, merged in index order
constexpr int kRestartDesigns = 300;       // designs one restart analyses at most
constexpr int kPatience = 8;               // restarts in a row that find nothing better: stop
constexpr int kStartCandidates = 16;       // well-spread designs ranked for the next restarts
constexpr double kWorthRestarting = 1e-3;  // an objective 0.1 % lower resets the patience

// Crank angles of one revolution (every 2 degrees) at which the linkage cannot close.
int FailingAngles(const Model& design, float revArmPos) {
    Model m = design;
    m.motion.RevArmPos = revArmPos;
    m.display.BeepOnError = true;
    int failing = 0;
    for (int k = 0; k < kSweepSteps; ++k) {
        m.motion.CrankAngle = static_cast<float>(k) * (360.0f / kSweepSteps);
        m.solved.GeometryError = false;
        SolveLinkage(m);
        SolveValveEvents(m);
        const bool finite =
            std::isfinite(m.pivots.PivotX[4]) && std::isfinite(m.solved.PistonPos) &&
            std::isfinite(m.solved.FrontSteamOpen) && std::isfinite(m.solved.RearSteamOpen);
        if (m.solved.GeometryError || !finite) ++failing;
    }
    return failing;
}

struct Trial {
    std::vector<float> values;   // one per settings dimension
    std::vector<double> scaled;  // the same on 0..1 over the bounds
    OptimiseScore score;
    double cost = 0;                  // the objective COBYLA sees: penalised after an error
    std::vector<double> constraints;  // <= 0 where they hold
    std::vector<float> positions;     // the chosen positions on this design
    std::vector<ValveEventsResult> events;
    std::vector<int> failing;    // per checked position
    std::vector<int> checkedAs;  // per checked position: its index in the settings, or -1, -2 for
                                 // full forward and full reverse checked as well
    bool inRange = true;         // every dimension within its bounds
    bool allowed = true;         // ... or at its start value
};

// Two trials agree to the last bit in everything the optimiser looks at: the cut-offs, the leads,
// the steam openings and where the linkage fails.
bool SameOutcome(const Trial& a, const Trial& b) {
    if (a.failing != b.failing || a.events.size() != b.events.size()) return false;
    auto same = [](const std::optional<ValveEvent>& x, const std::optional<ValveEvent>& y) {
        return x.has_value() == y.has_value() && (!x || x->percent == y->percent);
    };
    for (std::size_t i = 0; i < a.events.size(); ++i) {
        const ValveEventsResult& p = a.events[i];
        const ValveEventsResult& q = b.events[i];
        if (p.geometryError != q.geometryError) return false;
        for (const auto& [e, f] : {std::pair{&p.front, &q.front}, std::pair{&p.rear, &q.rear}}) {
            if (!same(e->cutoff, f->cutoff) || e->lead != f->lead ||
                e->maxSteamOpening != f->maxSteamOpening)
                return false;
        }
    }
    return true;
}

std::string Cat(std::initializer_list<std::string_view> parts) {
    std::string s;
    for (std::string_view p : parts) s += p;
    return s;
}

std::string PositionName(const OptimisePosition& p, float pos) {
    if (p.gear) return std::string(GearName(*p.gear));
    return "reverse-arm position " + Str(pos, 0, 3);
}

// A number for a message: fixed decimals, or powers of ten when it is too large for them.
std::string Shown(long double v, int decimals) {
    if (!(std::fabs(v) >= 1e9L)) return Str(v, 0, decimals);
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, static_cast<double>(v),
                                   std::chars_format::scientific, 1);
    std::string t(buf, res.ptr);
    // "1.0e+308" -> "1e308"
    if (const auto e = t.find('e'); e != std::string::npos) {
        std::string mant = t.substr(0, e), expo = t.substr(e + 1);
        if (mant.ends_with(".0")) mant.resize(mant.size() - 2);
        if (!expo.empty() && expo[0] == '+') expo.erase(0, 1);
        t = mant + "e" + expo;
    }
    return t;
}

// A number as typed: "1", "0.01", "1e308".
std::string Shortest(long double v) {
    std::string t = Shown(v, 4);
    if (t.find('.') != std::string::npos && t.find('e') == std::string::npos) {
        while (t.back() == '0') t.pop_back();
        if (t.back() == '.') t.pop_back();
    }
    return t;
}

class Optimiser;
struct Restart;

class Optimiser {
public:
    Optimiser(const Model& start, const OptimiseSettings& s)
        : start_(start), s_(s), positions_(ConstraintPositions(s)) {
        const long double w =
            (static_cast<long double>(GetDimension(start, dim::ValvePortWidthFront)) +
             GetDimension(start, dim::ValvePortWidthRear)) /
            2;
        portScale_ = (std::isfinite(w) && std::fabs(w) > 1e-9L) ? std::fabs(w) : 1.0L;
        threads_ = s.threads > 0 ? s.threads : HardwareThreads();
        began_ = Clock::now();
        if (s.timeLimit > 0 && s.timeLimit < 1e7) {
            hasDeadline_ = true;
            deadline_ = began_ + std::chrono::duration_cast<Clock::duration>(
                                     std::chrono::duration<double>(s.timeLimit));
        }
    }

    // Checks the settings; "" when they can be used.
    std::string Refusal() const {
        if (s_.dimensions.empty()) return "No dimension to vary.";
        if (s_.positions.empty()) return "No gear position to optimise at.";
        if (!(s_.rangePercent >= 0) || !std::isfinite(s_.rangePercent))
            return "The range must be a percentage of 0 or more.";
        if (!std::isfinite(s_.minLead)) return "The minimum lead must be a number.";
        for (std::size_t i = 0; i < s_.dimensions.size(); ++i) {
            const OptimiseDimension& d = s_.dimensions[i];
            const DimensionInfo* info = FindDimension(d.id);
            if (!info) return "There is no dimension " + Str(static_cast<long long>(d.id), 0) + ".";
            if (!IsVariableDimension(d.id))
                return std::string(info->name) +
                       " cannot be varied: it places the gear positions the events are measured "
                       "at.";
            for (std::size_t j = 0; j < i; ++j)
                if (s_.dimensions[j].id == d.id)
                    return std::string(info->name) + " is named twice.";
            if (d.bounds && (!std::isfinite(d.bounds->lo) || !std::isfinite(d.bounds->hi) ||
                             d.bounds->lo > d.bounds->hi))
                return "The bounds of " + std::string(info->name) + " are not a range.";
            if (d.bounds && info->positive && !(d.bounds->lo > 0))
                return std::string(info->name) +
                       " cannot reach 0 or below: its lower bound must be above 0.";
        }
        for (const OptimisePosition& p : s_.positions)
            if (!p.gear && !std::isfinite(p.revArmPos))
                return "A reverse-arm position is not a number.";
        return "";
    }

    OptimiseResult Run();
    // Run's search from the start and its nearest point in the bounds (x0).
    OptimiseResult Search(OptimiseResult r, const std::vector<float>& x0,
                          const std::vector<std::size_t>& searchable);

    // The score of the start design alone.
    OptimiseScore ScoreStart() { return Evaluate({}).score; }
    bool Cancelled() const { return s_.cancel && s_.cancel->load(); }
    // The time limit has passed (checked before every design).
    bool TimeUp() {
        if (!hasDeadline_) return false;
        if (!timeUp_.load() && Clock::now() >= deadline_) timeUp_ = true;
        return timeUp_.load();
    }
    bool ShouldStop() { return Cancelled() || TimeUp(); }
    // A design of a restart on COBYLA's scale (see EvaluateScaled), analysed on the restart's
    // thread: from the shared cache, which stays still while restarts run, or analysed afresh.
    const Trial& RestartTrial(Restart& run, const double* u);
    // A fault met while a design was analysed inside COBYLA, which NLopt reports only as a
    // failure of its own.
    void NoteFault(std::string what) {
        if (fault_.empty()) fault_ = std::move(what);
    }

    // A design on COBYLA's scale: u[k] in 0..1 for the k-th active dimension, the others at
    // base_.
    const Trial& EvaluateScaled(const double* u) {
        std::vector<float> v = base_;
        for (std::size_t k = 0; k < active_.size(); ++k) v[active_[k]] = ValueAt(active_[k], u[k]);
        return Evaluate(v);
    }

private:
    std::size_t Count() const { return s_.dimensions.size(); }
    std::vector<float> ChosenPositions(const Trial& t) const {
        return {t.positions.begin(),
                t.positions.begin() + static_cast<std::ptrdiff_t>(s_.positions.size())};
    }

    Model Design(const std::vector<float>& values) const {
        Model m = start_;
        for (std::size_t i = 0; i < Count(); ++i) SetDimension(m, s_.dimensions[i].id, values[i]);
        CentreRevArm(m);
        return m;
    }

    float ValueAt(std::size_t i, double u) const {
        const long double lo = bounds_[i].lo, hi = bounds_[i].hi;
        return ToFloat(lo + std::clamp(u, 0.0, 1.0) * (hi - lo));
    }
    double Scaled(std::size_t i, float v) const {
        const long double lo = bounds_[i].lo, hi = bounds_[i].hi;
        return hi > lo ? static_cast<double>((v - lo) / (hi - lo)) : 0.0;
    }

    // Analyses a design (once: repeated values come from the cache).
    const Trial& Evaluate(const std::vector<float>& values);
    // The analysis itself, on `threads` threads; touches nothing shared.
    Trial Analyse(const std::vector<float>& values, int threads) const;
    // Keeps an analysed design: the cache, the best design, the geometry errors met.
    const Trial& Record(Trial t);
    void Score(Trial& t) const;
    // The design may be the result: within its bounds (or at its start values) and, when the
    // start breaks constraints, breaking none that the start keeps.
    bool Eligible(const Trial& t) const;
    // The global phase: restarts from well-spread designs. Returns a failure's text, or "".
    std::string GlobalPhase(OptimiseResult& r);
    void Progress(int done);

    OptimiseResult Finish(OptimiseResult r, const Trial& chosen, OptimiseStatus status);
    OptimiseResult Failed(OptimiseResult r, std::string why);
    std::vector<BindingConstraint> Binding(const Trial& t,
                                           const std::vector<OptimisedDimension>& dims) const;
    // The constraints a design breaks (and, with binding, those that stand at their limit).
    void EndConstraints(const Trial& t, bool binding, std::vector<BindingConstraint>& out) const;

    const Model start_;  // read by every trial, on several threads: never the caller's model
    const OptimiseSettings& s_;
    // The chosen positions (the objective's), then the standard gears that allGears adds.
    const std::vector<OptimisePosition> positions_;
    long double portScale_ = 1;
    int threads_ = 1;
    std::vector<SearchRange> bounds_;
    std::map<std::vector<float>, Trial> cache_;
    const Trial* best_ = nullptr;
    const Trial* startTrial_ = nullptr;
    std::vector<float> startValues_;
    std::vector<const Trial*> broken_;  // designs in the range with a geometry error
    bool anyCloses_ = false;            // ... and whether one closed
    int budget_ = 0;
    bool stopped_ = false;
    std::vector<std::size_t> active_;  // the dimensions COBYLA varies
    std::vector<float> base_;          // where the others stand
    std::string fault_;                // see NoteFault
    using Clock = std::chrono::steady_clock;
    Clock::time_point began_, deadline_;
    bool hasDeadline_ = false;
    std::atomic<bool> timeUp_{false};
    std::mutex progressMutex_;  // progress is reported one call at a time
    int reported_ = 0;          // the last count reported
    int pending_ = 0;           // designs analysed by running restarts, not yet recorded
    bool quiet_ = false;        // recording a batch: its progress was reported as it ran

    friend struct Restart;

    bool Exhausted() const { return static_cast<int>(cache_.size()) >= budget_; }
};

const Trial& Optimiser::Evaluate(const std::vector<float>& values) {
    if (const auto it = cache_.find(values); it != cache_.end()) return it->second;
    return Record(Analyse(values, threads_));
}

Trial Optimiser::Analyse(const std::vector<float>& values, int threads) const {
    Trial t;
    t.values = values;
    for (std::size_t i = 0; i < Count(); ++i) {
        t.scaled.push_back(Scaled(i, values[i]));
        const bool inside = values[i] >= bounds_[i].lo && values[i] <= bounds_[i].hi;
        t.inRange = t.inRange && inside;
        t.allowed = t.allowed && (inside || values[i] == startValues_[i]);
    }
    const Model design = Design(values);
    for (const OptimisePosition& p : positions_) t.positions.push_back(p.On(design));
    // The linkage must close at the chosen positions and at both ends of the gear.
    std::vector<float> checked = t.positions;
    for (std::size_t i = 0; i < checked.size(); ++i) t.checkedAs.push_back(static_cast<int>(i));
    for (Gear g : {Gear::FullForward, Gear::FullReverse}) {
        const float pos = GearRevArmPos(design, g);
        if (std::find(checked.begin(), checked.end(), pos) == checked.end()) {
            checked.push_back(pos);
            t.checkedAs.push_back(g == Gear::FullForward ? -1 : -2);
        }
    }
    t.events.resize(t.positions.size());
    t.failing.assign(checked.size(), 0);
    std::vector<std::function<void()>> tasks;
    for (std::size_t i = 0; i < t.positions.size(); ++i)
        tasks.emplace_back([&, i] { t.events[i] = AnalyseValveEvents(design, t.positions[i]); });
    for (std::size_t i = 0; i < checked.size(); ++i)
        tasks.emplace_back([&, i] { t.failing[i] = FailingAngles(design, checked[i]); });
    RunTasks(tasks, threads);
    Score(t);
    return t;
}

const Trial& Optimiser::Record(Trial t) {
    auto [it, inserted] = cache_.emplace(t.values, std::move(t));
    const Trial& stored = it->second;
    if (!inserted) return stored;
    // The range holds the designs tried in it; the start counts when it lies inside.
    if (stored.allowed && (stored.inRange || stored.values != startValues_)) {
        if (stored.score.geometryError) broken_.push_back(&stored);
        else anyCloses_ = true;
    }
    if (Eligible(stored) && (!best_ || IsBetterScore(stored.score, best_->score))) best_ = &stored;
    if (!quiet_) Progress(static_cast<int>(cache_.size()));
    return stored;
}

void Optimiser::Progress(int done) {
    if (!s_.progress) return;
    const std::lock_guard<std::mutex> lock(progressMutex_);
    reported_ = std::min(done, budget_);
    s_.progress(reported_, budget_);
}

bool Optimiser::Eligible(const Trial& t) const {
    if (!t.allowed) return false;
    if (!startTrial_ || startTrial_->score.geometryError || &t == startTrial_) return true;
    if (t.score.geometryError) return false;
    // No lead may fall further below the minimum than the start's (a lead of 0.02 against a
    // minimum of 1 may not turn negative), nor any kept one below it; the same for the ports.
    for (std::size_t i = 0; i < t.events.size(); ++i) {
        const ValveEventsResult& a = t.events[i];
        const ValveEventsResult& b = startTrial_->events[i];
        for (const auto& [x, y] : {std::pair{&a.front, &b.front}, std::pair{&a.rear, &b.rear}}) {
            if (!(x->lead >= std::min<long double>(y->lead, s_.minLead))) return false;
            if (!(x->maxSteamOpening >= std::min<long double>(y->maxSteamOpening, kOpenMargin)))
                return false;
        }
    }
    return true;
}

void Optimiser::Score(Trial& t) const {
    const std::size_t n = t.positions.size();
    int failing = 0;
    for (int f : t.failing) failing += f;
    for (const ValveEventsResult& e : t.events)
        if (!e.ok() && failing == 0) failing = 1;  // the analysis met what the sweep stepped over
    const double fraction =
        static_cast<double>(failing) / (static_cast<double>(t.failing.size()) * kSweepSteps);

    t.constraints.assign(4 * n + 1, 0.0);
    t.score.geometryError = failing > 0;
    if (t.score.geometryError) {
        // Worse than any design that closes, and worse the more of the revolution fails; the
        // other constraints count as broken, so the method backs away.
        t.cost = kWorstPositionCost * static_cast<double>(n) * (1 + fraction);
        for (std::size_t k = 0; k < 4 * n; ++k) t.constraints[k] = 1.0;
        t.constraints[4 * n] = 100.0 * fraction;
        t.score.violation = static_cast<double>(4 * n);
        return;
    }
    const long double scale = portScale_ / 100;  // constraints in percent of the port width
    double objective = 0, violation = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const ValveEventsResult& e = t.events[i];
        const auto d = FrontMinusRear(e.front.cutoff, e.rear.cutoff);
        const double cut = d ? *d : 100.0;            // a port that never closes: as bad as it gets
        const bool chosen = i < s_.positions.size();  // the others only hold constraints
        if (chosen) objective += cut * cut;
        if (chosen && s_.objective == OptimiseObjective::CutoffAndLead) {
            const double lead = static_cast<double>((e.front.lead - e.rear.lead) / scale);
            objective += lead * lead;
        }
        // Saturated: a minimum lead of 1e308 is broken by a large number, not by infinity,
        // and a NaN counts as broken.
        auto saturated = [](long double c) {
            if (std::isnan(c)) return kMaxConstraint;
            return static_cast<double>(std::clamp<long double>(c, -kMaxConstraint, kMaxConstraint));
        };
        const EndEvents* ends[2] = {&e.front, &e.rear};
        for (int k = 0; k < 2; ++k) {
            t.constraints[4 * i + k] =
                saturated((static_cast<long double>(s_.minLead) - ends[k]->lead) / scale);
            t.constraints[4 * i + 2 + k] =
                saturated((kOpenMargin - ends[k]->maxSteamOpening) / scale);
        }
    }
    for (double c : t.constraints) violation += std::max(0.0, c);
    if (!std::isfinite(objective) || !std::isfinite(violation)) {
        t.score.geometryError = true;  // cannot happen after a clean sweep; never pass a NaN on
        t.cost = kWorstPositionCost * static_cast<double>(n) * 2;
        return;
    }
    t.score.objective = objective;
    t.score.violation = violation;
    t.cost = objective;
}

// A design analysed for COBYLA. NLopt turns any exception thrown here into a failure of its own
// and drops the exception's text, so the text is kept first.
const Trial& EvaluateForCobyla(Optimiser& o, const double* u) {
    try {
        return o.EvaluateScaled(u);
    } catch (const std::exception& e) {
        o.NoteFault(e.what());
        throw;
    } catch (...) {
        o.NoteFault("an unknown fault");
        throw;
    }
}

double CobylaObjective(unsigned, const double* u, double*, void* data) {
    auto* o = static_cast<Optimiser*>(data);
    if (o->ShouldStop()) throw nlopt::forced_stop();
    return EvaluateForCobyla(*o, u).cost;
}

void CobylaConstraints(unsigned m, double* result, unsigned, const double* u, double*, void* data) {
    auto* o = static_cast<Optimiser*>(data);
    const Trial& t = EvaluateForCobyla(*o, u);
    for (unsigned k = 0; k < m; ++k) result[k] = t.constraints[k];
}

// NLopt's own words for a result code: "FAILURE (-1)".
std::string NloptStatus(nlopt_result code) {
    const char* name = nlopt_result_to_string(code);
    return std::string(name ? name : "unknown") + " (" +
           Str(static_cast<long long>(static_cast<int>(code)), 0) + ")";
}

// Halton points in [0, 1)^n: a space-filling sample that needs no random state.
std::vector<double> HaltonPoint(int index, std::size_t n) {
    static constexpr int kPrimes[] = {2,  3,   5,   7,   11,  13,  17,  19,  23,  29,  31,  37,
                                      41, 43,  47,  53,  59,  61,  67,  71,  73,  79,  83,  89,
                                      97, 101, 103, 107, 109, 113, 127, 131, 137, 139, 149, 151};
    std::vector<double> u(n);
    for (std::size_t d = 0; d < n; ++d) {
        const int base = kPrimes[d % std::size(kPrimes)];
        double f = 1, r = 0;
        for (int i = index; i > 0; i /= base) {
            f /= base;
            r += f * (i % base);
        }
        u[d] = r;
    }
    return u;
}

// Points of an additive recurrence in [0, 1)^n (frac(k * alpha) with alpha from the generalised
// golden ratio): well spread in any number of dimensions, without Halton's early bands in the
// larger bases, and without random state.
std::vector<double> SpreadPoint(int index, std::size_t n) {
    long double phi = 2;  // the root of x^(n+1) = x + 1
    for (int k = 0; k < 40; ++k) phi = std::pow(1 + phi, 1.0L / static_cast<long double>(n + 1));
    std::vector<double> u(n);
    long double a = 1;
    for (std::size_t d = 0; d < n; ++d) {
        a /= phi;
        const long double x = 0.5L + a * static_cast<long double>(index);
        u[d] = static_cast<double>(x - std::floor(x));
    }
    return u;
}

// One restart of the global phase: COBYLA from `from`, its designs kept here until the batch is
// merged.
struct Restart {
    Optimiser* o = nullptr;
    std::vector<double> from;
    int cap = 0;
    std::map<std::vector<float>, Trial> own;
    std::vector<Trial*> order;  // as analysed
    std::string failure;
};

const Trial& Optimiser::RestartTrial(Restart& run, const double* u) {
    std::vector<float> v = base_;
    for (std::size_t k = 0; k < active_.size(); ++k) v[active_[k]] = ValueAt(active_[k], u[k]);
    if (const auto it = cache_.find(v); it != cache_.end()) return it->second;
    if (const auto it = run.own.find(v); it != run.own.end()) return it->second;
    auto [it, inserted] = run.own.emplace(v, Analyse(v, 1));
    run.order.push_back(&it->second);
    if (s_.progress) {
        const std::lock_guard<std::mutex> lock(progressMutex_);
        ++pending_;
        reported_ = std::min(static_cast<int>(cache_.size()) + pending_, budget_);
        s_.progress(reported_, budget_);
    }
    return it->second;
}

const Trial& EvaluateForRestart(Restart& run, const double* u) {
    try {
        return run.o->RestartTrial(run, u);
    } catch (const std::exception& e) {
        if (run.failure.empty()) run.failure = e.what();
        throw;
    } catch (...) {
        if (run.failure.empty()) run.failure = "an unknown fault";
        throw;
    }
}

double RestartObjective(unsigned, const double* u, double*, void* data) {
    auto* run = static_cast<Restart*>(data);
    if (run->o->ShouldStop()) throw nlopt::forced_stop();
    return EvaluateForRestart(*run, u).cost;
}

void RestartConstraints(unsigned m, double* result, unsigned, const double* u, double*,
                        void* data) {
    const Trial& t = EvaluateForRestart(*static_cast<Restart*>(data), u);
    for (unsigned k = 0; k < m; ++k) result[k] = t.constraints[k];
}

// Runs one restart to its end; a fault is kept in run.failure.
// What broke a restart off, in the words the first search uses.
std::string Failure(nlopt_result code, const std::string& what, const std::string& fault) {
    std::string t = "NLopt stopped with status " + NloptStatus(code) + ", \"" + what + "\"";
    if (!fault.empty()) t += ": the analysis of a design failed: " + fault;
    return t;
}

void RunRestart(Restart& run, std::size_t dims, std::size_t constraints, double stopval) {
    nlopt::opt opt(nlopt::LN_COBYLA, static_cast<unsigned>(dims));
    opt.set_lower_bounds(std::vector<double>(dims, 0.0));
    opt.set_upper_bounds(std::vector<double>(dims, 1.0));
    opt.set_min_objective(RestartObjective, &run);
    opt.add_inequality_mconstraint(RestartConstraints, &run, std::vector<double>(constraints, 0.0));
    opt.set_initial_step(kStartStep);
    opt.set_xtol_abs(kStepTolerance);
    opt.set_stopval(stopval);
    opt.set_maxeval(run.cap);
    std::vector<double> u = run.from;
    try {
        double f = 0;
        opt.optimize(u, f);
    } catch (const nlopt::forced_stop&) {
    } catch (const nlopt::roundoff_limited&) {
    } catch (const std::invalid_argument& e) {
        run.failure = Failure(NLOPT_INVALID_ARGS, e.what(), run.failure);
    } catch (const std::bad_alloc& e) {
        run.failure = Failure(NLOPT_OUT_OF_MEMORY, e.what(), run.failure);
    } catch (const std::runtime_error& e) {
        run.failure = Failure(NLOPT_FAILURE, e.what(), run.failure);
    } catch (...) {
        run.failure = Failure(NLOPT_FAILURE, "an unknown fault", run.failure);
    }
}

// `now` is worth more restarts than `was`: less violation, or an objective lower by 0.1 %.
bool Gained(const Trial& was, const Trial& now) {
    if (&was == &now || !IsBetterScore(now.score, was.score)) return false;
    if (was.score.geometryError || now.score.violation < was.score.violation) return true;
    return *now.score.objective < *was.score.objective * (1 - kWorthRestarting);
}

std::string Optimiser::GlobalPhase(OptimiseResult& r) {
    const std::size_t dims = active_.size();
    const std::size_t constraints = 4 * positions_.size() + 1;
    const double stopval = kGoodEnough * static_cast<double>(s_.positions.size());
    const int reserve = static_cast<int>(Count());  // to put moved dimensions back
    std::vector<const Trial*> queue;
    std::size_t next = 0;
    int misses = 0, spread = 0;
    auto left = [&] { return budget_ - static_cast<int>(cache_.size()) - reserve; };
    auto goodEnough = [&] { return best_->score.feasible() && *best_->score.objective <= stopval; };
    while (!ShouldStop() && misses < kPatience && !goodEnough()) {
        if (next == queue.size()) {
            // The next well-spread designs, analysed side by side, ranked best first.
            if (left() < kStartCandidates + static_cast<int>(dims) + 2) break;
            std::vector<std::vector<float>> points;
            for (int k = 0; k < kStartCandidates; ++k) {
                std::vector<float> v = base_;
                const std::vector<double> u = SpreadPoint(++spread, dims);
                for (std::size_t j = 0; j < dims; ++j) v[active_[j]] = ValueAt(active_[j], u[j]);
                points.push_back(std::move(v));
            }
            std::vector<Trial> analysed(points.size());
            std::vector<std::function<void()>> tasks;
            for (std::size_t k = 0; k < points.size(); ++k)
                if (!cache_.count(points[k]))
                    tasks.emplace_back([&, k] {
                        if (!ShouldStop()) analysed[k] = Analyse(points[k], 1);
                    });
            RunTasks(tasks, threads_);
            queue.clear();
            next = 0;
            for (std::size_t k = 0; k < points.size(); ++k) {
                if (!cache_.count(points[k]) && analysed[k].values.empty()) continue;  // stopped
                const Trial& t =
                    cache_.count(points[k]) ? cache_.at(points[k]) : Record(std::move(analysed[k]));
                if (!t.score.geometryError) queue.push_back(&t);
            }
            if (ShouldStop()) break;
            std::stable_sort(queue.begin(), queue.end(), [](const Trial* a, const Trial* b) {
                return IsBetterScore(a->score, b->score);
            });
            if (queue.empty()) {
                misses += kStartCandidates;
                continue;
            }
        }
        // A batch of restarts with fixed shares of the budget, merged in index order: the same
        // designs whatever the thread count and timing.
        const int cap = std::min(kRestartDesigns, left() / kRestartBatch);
        if (cap < static_cast<int>(dims) + 2) break;
        std::vector<Restart> runs;
        while (runs.size() < static_cast<std::size_t>(kRestartBatch) && next < queue.size()) {
            Restart run;
            run.o = this;
            run.cap = cap;
            for (std::size_t j = 0; j < dims; ++j)
                run.from.push_back(std::clamp(queue[next]->scaled[active_[j]], 0.0, 1.0));
            runs.push_back(std::move(run));
            ++next;
        }
        std::vector<std::function<void()>> tasks;
        for (Restart& run : runs)
            tasks.emplace_back([&run, dims, constraints, stopval] {
                RunRestart(run, dims, constraints, stopval);
            });
        RunTasks(tasks, threads_);
        const Trial* before = best_;
        quiet_ = true;
        for (Restart& run : runs) {
            if (!run.failure.empty()) {
                quiet_ = false;
                return run.failure;
            }
            for (Trial* t : run.order) Record(std::move(*t));
        }
        quiet_ = false;
        {
            const std::lock_guard<std::mutex> lock(progressMutex_);
            pending_ = 0;
        }
        Progress(static_cast<int>(cache_.size()));
        r.restarts += static_cast<int>(runs.size());
        misses = Gained(*before, *best_) ? 0 : misses + static_cast<int>(runs.size());
    }
    return "";
}

OptimiseResult Optimiser::Run() {
    OptimiseResult r;
    r.budget = budget_ = std::max(1, s_.maxEvaluations);
    for (const OptimiseDimension& d : s_.dimensions) {
        SearchRange b = d.bounds ? *d.bounds : OptimiseRange(start_, d.id, s_.rangePercent);
        if (b.lo > b.hi) std::swap(b.lo, b.hi);
        bounds_.push_back(b);
        r.dimensions.push_back({d.id, FindDimension(d.id)->name, GetDimension(start_, d.id),
                                GetDimension(start_, d.id), b, false});
    }
    const std::size_t n = Count();
    std::vector<float> x0(n);
    std::vector<std::size_t> searchable;  // dimensions with a range to search
    startValues_.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        startValues_[i] = r.dimensions[i].oldValue;
        x0[i] = std::isnan(startValues_[i])
                    ? bounds_[i].lo
                    : std::clamp(startValues_[i], bounds_[i].lo, bounds_[i].hi);
        if (bounds_[i].lo < bounds_[i].hi) searchable.push_back(i);
    }
    const OptimiseResult setUp = r;  // what a failure reports from
    try {
        startTrial_ = &Evaluate(startValues_);
        r.before = startTrial_->score;
        r.positionsBefore = ChosenPositions(*startTrial_);
        Evaluate(x0);
        return Search(std::move(r), x0, searchable);
    } catch (const std::exception& e) {
        return Failed(setUp, "the analysis of a design failed: " + std::string(e.what()));
    } catch (...) {
        return Failed(setUp, "the analysis of a design failed");
    }
}

OptimiseResult Optimiser::Search(OptimiseResult r, const std::vector<float>& x0,
                                 const std::vector<std::size_t>& searchable) {
    const std::size_t n = Count();

    // An infeasible start: a short space-filling sample of the ranges looks for a better one.
    active_ = searchable;
    base_ = x0;
    if (!best_->score.feasible()) {
        const int samples = 4 + 4 * static_cast<int>(searchable.size());
        for (int k = 1; k <= samples && !searchable.empty() && !ShouldStop() && !Exhausted(); ++k)
            EvaluateScaled(HaltonPoint(k, searchable.size()).data());
    }

    // Each dimension at both ends of its range, from the best design that closes: one that
    // changes nothing the optimiser looks at stays as it is.
    std::vector<bool> noEffect(n, false);
    if (!best_->score.geometryError) {
        const std::vector<float> around = best_->values;
        const Trial* base = best_;
        for (std::size_t i : searchable) {
            if (ShouldStop() || Exhausted()) break;
            std::vector<float> ends;
            for (float v : {bounds_[i].lo, bounds_[i].hi})
                if (v != around[i]) ends.push_back(v);
            if (ends.size() == 1) ends.push_back(ValueAt(i, 0.5));
            bool same = true;
            for (float v : ends) {
                if (ShouldStop()) break;
                std::vector<float> probe = around;
                probe[i] = v;
                same = SameOutcome(Evaluate(probe), *base) && same;
            }
            noEffect[i] = same && !ShouldStop();
        }
    }
    active_.clear();
    for (std::size_t i = 0; i < n; ++i) {
        r.dimensions[i].noEffect = noEffect[i];
        if (noEffect[i]) base_[i] = startValues_[i];  // not moved at all, even out of its range
        else if (bounds_[i].lo < bounds_[i].hi) active_.push_back(i);
    }

    // COBYLA from the best design so far, keeping room to put moved dimensions back.
    const int left =
        budget_ - static_cast<int>(cache_.size()) - static_cast<int>(searchable.size());
    if (!active_.empty() && left > static_cast<int>(active_.size()) + 1 && !ShouldStop()) {
        std::vector<double> u(active_.size());
        for (std::size_t k = 0; k < active_.size(); ++k)
            u[k] = std::clamp(Scaled(active_[k], best_->values[active_[k]]), 0.0, 1.0);
        nlopt::opt opt(nlopt::LN_COBYLA, static_cast<unsigned>(active_.size()));
        opt.set_lower_bounds(std::vector<double>(active_.size(), 0.0));
        opt.set_upper_bounds(std::vector<double>(active_.size(), 1.0));
        opt.set_min_objective(CobylaObjective, this);
        const std::vector<double> tol(4 * positions_.size() + 1, 0.0);
        opt.add_inequality_mconstraint(CobylaConstraints, this, tol);
        opt.set_initial_step(kStartStep);
        opt.set_xtol_abs(kStepTolerance);
        opt.set_stopval(kGoodEnough * static_cast<double>(s_.positions.size()));
        opt.set_maxeval(left);
        // NLopt reports its own faults, and any exception from the objective, as these; none
        // may pass for the end of a search.
        std::string failure;
        try {
            double f = 0;
            opt.optimize(u, f);
        } catch (const nlopt::forced_stop&) {
            stopped_ = Cancelled();  // else the time limit: the best design met stands
        } catch (const nlopt::roundoff_limited&) {
            // The method cannot go on; the best design met stands.
        } catch (const std::invalid_argument& e) {
            failure = NloptStatus(NLOPT_INVALID_ARGS) + ", \"" + e.what() + "\"";
        } catch (const std::bad_alloc& e) {
            failure = NloptStatus(NLOPT_OUT_OF_MEMORY) + ", \"" + e.what() + "\"";
        } catch (const std::runtime_error& e) {
            failure = NloptStatus(NLOPT_FAILURE) + ", \"" + e.what() + "\"";
        }
        if (!failure.empty()) {
            failure = "NLopt stopped with status " + failure;
            if (!fault_.empty()) failure += ": the analysis of a design failed: " + fault_;
            return Failed(std::move(r), std::move(failure));
        }
        if (std::string why = GlobalPhase(r); !why.empty()) return Failed(std::move(r), why);
    }

    // A moved dimension that gains nothing goes back to its start value.
    if (!best_->score.geometryError) {
        for (std::size_t i = 0; i < n; ++i) {
            if (ShouldStop() || Exhausted()) break;
            if (best_->values[i] == startValues_[i] || std::isnan(startValues_[i])) continue;
            std::vector<float> back = best_->values;
            back[i] = startValues_[i];
            const Trial* current = best_;
            const Trial& t = Evaluate(back);
            best_ =
                (!t.score.geometryError && !IsBetterScore(current->score, t.score)) ? &t : current;
        }
    }

    const bool cancelled = stopped_ || Cancelled();
    const Trial* chosen = startTrial_;
    if (!best_->score.geometryError && IsBetterScore(best_->score, startTrial_->score))
        chosen = best_;
    OptimiseStatus status = OptimiseStatus::NothingBetter;
    if (chosen != startTrial_) status = OptimiseStatus::Improved;
    else if (!anyCloses_ && !broken_.empty()) status = OptimiseStatus::OnlyGeometryErrors;
    if (cancelled) status = OptimiseStatus::Cancelled;
    r.timeLimitReached = !cancelled && timeUp_.load();
    return Finish(std::move(r), *chosen, status);
}

OptimiseResult Optimiser::Finish(OptimiseResult r, const Trial& chosen, OptimiseStatus status) {
    r.status = status;
    r.evaluations = static_cast<int>(cache_.size());
    r.after = chosen.score;
    r.positionsAfter = ChosenPositions(chosen);
    for (std::size_t i = 0; i < Count(); ++i) r.dimensions[i].newValue = chosen.values[i];
    r.design = Design(chosen.values);
    if (!chosen.score.geometryError && status != OptimiseStatus::OnlyGeometryErrors)
        r.binding = Binding(chosen, r.dimensions);
    EndConstraints(*startTrial_, false, r.startBroken);
    // What a result that still breaks constraints cannot meet in the range.
    std::vector<std::string> unmet;
    for (const BindingConstraint& b : r.binding) {
        if (!b.broken) continue;
        std::string what;
        if (b.kind == OptimiseConstraint::MinimumLead)
            what = "a minimum lead of " + Shortest(s_.minLead);
        else if (b.kind == OptimiseConstraint::PortOpens)
            what = "a port that opens to steam at every chosen position";
        if (!what.empty() && std::find(unmet.begin(), unmet.end(), what) == unmet.end())
            unmet.push_back(std::move(what));
    }
    for (std::size_t k = 0; k < unmet.size(); ++k) r.unmet += (k == 0 ? "" : " and ") + unmet[k];
    if (!r.unmet.empty()) r.unmet += " cannot be met in this range";
    r.seconds = std::chrono::duration<double>(Clock::now() - began_).count();
    return r;
}

OptimiseResult Optimiser::Failed(OptimiseResult r, std::string why) {
    // Nothing found after a fault can be trusted: the start stands.
    r.status = OptimiseStatus::Failed;
    r.failure = std::move(why);
    r.evaluations = static_cast<int>(cache_.size());
    if (startTrial_) {
        r.before = r.after = startTrial_->score;
        r.positionsBefore = r.positionsAfter = ChosenPositions(*startTrial_);
    }
    for (OptimisedDimension& d : r.dimensions) d.newValue = d.oldValue;
    r.design = Design(startValues_);
    r.binding.clear();
    r.seconds = std::chrono::duration<double>(Clock::now() - began_).count();
    return r;
}

void Optimiser::EndConstraints(const Trial& t, bool binding,
                               std::vector<BindingConstraint>& out) const {
    auto where = [&](int as) {
        if (as == -1) return std::string(GearName(Gear::FullForward));
        if (as == -2) return std::string(GearName(Gear::FullReverse));
        const auto i = static_cast<std::size_t>(as);
        return PositionName(positions_[i], t.positions[i]);
    };
    if (t.score.geometryError) {
        for (std::size_t k = 0; k < t.failing.size(); ++k) {
            const int as = t.checkedAs[k];
            const bool events = as >= 0 && !t.events[static_cast<std::size_t>(as)].ok();
            if (t.failing[k] > 0 || events)
                out.push_back({OptimiseConstraint::NoGeometryError, std::max(as, -1), true, 0, true,
                               "the linkage does not close all round at " + where(as)});
        }
        return;
    }
    const long double near = kBindTolerance * portScale_;
    for (std::size_t i = 0; i < t.positions.size(); ++i) {
        const std::string at = where(static_cast<int>(i));
        const ValveEventsResult& e = t.events[i];
        for (const EndEvents* end : {&e.front, &e.rear}) {
            const bool front = end == &e.front;
            const std::string_view side = front ? "front" : "rear";
            const int index = static_cast<int>(i);
            const std::string minimum = Shown(s_.minLead, 4);
            if (end->lead < s_.minLead)
                out.push_back({OptimiseConstraint::MinimumLead, index, front, 0, true,
                               Cat({"lead at the ", side, " end at ", at, " is ",
                                    Shown(end->lead, 4), ", below the minimum ", minimum})});
            else if (binding && end->lead - s_.minLead <= near)
                out.push_back(
                    {OptimiseConstraint::MinimumLead, index, front, 0, false,
                     Cat({"lead at the ", side, " end at ", at, " is the minimum ", minimum})});
            if (end->maxSteamOpening < kOpenMargin)
                out.push_back({OptimiseConstraint::PortOpens, index, front, 0, true,
                               Cat({"the ", side, " port at ", at, " does not open to steam"})});
            else if (binding && end->maxSteamOpening <= near)
                out.push_back({OptimiseConstraint::PortOpens, index, front, 0, false,
                               Cat({"the ", side, " port at ", at, " only just opens to steam"})});
        }
    }
}

std::vector<BindingConstraint> Optimiser::Binding(
    const Trial& t, const std::vector<OptimisedDimension>& dims) const {
    std::vector<BindingConstraint> out;
    EndConstraints(t, true, out);
    for (std::size_t i = 0; i < Count(); ++i) {
        const SearchRange& b = bounds_[i];
        const long double width = static_cast<long double>(b.hi) - b.lo;
        const std::string caption(FindDimension(s_.dimensions[i].id)->caption);
        if (!(width > 0) || dims[i].noEffect) continue;
        if (t.values[i] < b.lo || t.values[i] > b.hi) continue;  // the start, outside its range
        if (t.values[i] - static_cast<long double>(b.lo) <= kBindTolerance * width)
            out.push_back({OptimiseConstraint::LowerBound, -1, true, s_.dimensions[i].id, false,
                           caption + " is at its lower bound " + Str(b.lo, 0, 4)});
        else if (static_cast<long double>(b.hi) - t.values[i] <= kBindTolerance * width)
            out.push_back({OptimiseConstraint::UpperBound, -1, true, s_.dimensions[i].id, false,
                           caption + " is at its upper bound " + Str(b.hi, 0, 4)});
    }
    for (const Trial* b : broken_) {
        double dist = 0;
        for (std::size_t k : active_) dist = std::max(dist, std::fabs(b->scaled[k] - t.scaled[k]));
        if (!active_.empty() && dist <= kGeometryNeighbourhood) {
            out.push_back({OptimiseConstraint::NoGeometryError, -1, true, 0, false,
                           "designs close by give a geometry error"});
            break;
        }
    }
    return out;
}

}  // namespace

bool IsBetterScore(const OptimiseScore& a, const OptimiseScore& b) {
    if (a.geometryError != b.geometryError) return !a.geometryError;
    if (a.geometryError) return false;
    if (a.violation != b.violation) return a.violation < b.violation;
    return *a.objective < *b.objective;
}

float OptimisePosition::On(const Model& design) const {
    return gear ? GearRevArmPos(design, *gear) : revArmPos;
}

bool OptimiseResult::changed() const {
    return std::any_of(dimensions.begin(), dimensions.end(),
                       [](const OptimisedDimension& d) { return d.newValue != d.oldValue; });
}

SearchRange OptimiseRange(const Model& design, int dimensionId, double percent) {
    const long double v = GetDimension(design, dimensionId);
    const long double p = static_cast<long double>(percent) / 100;
    const long double stroke = design.design.StrokeLen;
    const long double scale = (std::isfinite(stroke) && stroke > 0) ? stroke : 1.0L;
    const DimensionInfo* info = FindDimension(dimensionId);
    const bool positive = info && info->positive;
    const long double size = positive ? (v > 0 ? v : scale) : std::max(std::fabs(v), scale);
    const long double half = size * p;
    long double lo = v - half;
    const long double hi = v + half;
    if (positive) lo = std::max(lo, (v > 0 ? v : hi) / 100);
    return SearchRange{ToFloat(lo), ToFloat(hi)};
}

std::vector<OptimisePosition> ConstraintPositions(const OptimiseSettings& settings) {
    std::vector<OptimisePosition> out = settings.positions;
    if (!settings.allGears) return out;
    for (Gear g : kStandardGears) {
        const bool chosen = std::any_of(out.begin(), out.end(), [g](const OptimisePosition& p) {
            return p.gear && *p.gear == g;
        });
        if (!chosen) out.push_back(OptimisePosition::At(g));
    }
    return out;
}

std::string CheckOptimiseBounds(int dimensionId, std::string_view label, std::string_view lo,
                                std::string_view hi, SearchRange& out) {
    long double v[2] = {0, 0};
    const std::string_view text[2] = {lo, hi};
    const char* which[2] = {"lower", "upper"};
    for (int k = 0; k < 2; ++k) {
        if (!ParseWholeNumber(text[k], v[k]))
            return "the " + std::string(which[k]) + " bound " + std::string(text[k]) +
                   " is not a number";
        // Stored as a 32-bit float, a larger number would quietly become the largest float.
        if (!(std::fabs(v[k]) <= static_cast<long double>(FLT_MAX)))
            return "the " + std::string(which[k]) + " bound " + std::string(text[k]) +
                   " is beyond the 32-bit float range (3.4e38)";
    }
    const float l = ToFloat(v[0]), h = ToFloat(v[1]);
    if (v[0] < v[1] && l == h)
        return "the bounds " + std::string(lo) + " and " + std::string(hi) +
               " are the same 32-bit float (" + Str(l, 0, 6) + "): the range is empty";
    if (!(l < h)) return "the lower bound must be below the upper";
    const DimensionInfo* info = FindDimension(dimensionId);
    if (info && info->positive && !(l > 0))
        return std::string(label) + " cannot reach 0 or below: the lower bound must be above 0";
    out = SearchRange{l, h};
    return "";
}

OptimiseScore ScoreDesign(const Model& design, const OptimiseSettings& settings) {
    OptimiseSettings alone = settings;
    alone.dimensions.clear();
    alone.progress = nullptr;
    Optimiser o(design, alone);
    return o.ScoreStart();
}

OptimiseResult OptimiseGear(const Model& design, const OptimiseSettings& settings) {
    OptimiseResult r;
    r.design = design;
    try {
        Optimiser o(design, settings);
        if (std::string why = o.Refusal(); !why.empty()) {
            r.status = OptimiseStatus::Refused;
            r.refusal = std::move(why);
            return r;
        }
        return o.Run();
    } catch (const std::exception& e) {
        r.failure = e.what();
    } catch (...) {
        r.failure = "an unknown fault";
    }
    // Only a fault outside the search itself (no memory left for its report) comes here.
    r.status = OptimiseStatus::Failed;
    r.dimensions.clear();
    return r;
}

std::string_view OptimiseStatusText(OptimiseStatus s) {
    switch (s) {
        case OptimiseStatus::Improved: return "improved";
        case OptimiseStatus::NothingBetter: return "nothing better found";
        case OptimiseStatus::OnlyGeometryErrors: return "only geometry errors in the range";
        case OptimiseStatus::Cancelled: return "cancelled";
        case OptimiseStatus::Refused: return "refused";
        case OptimiseStatus::Failed: return "failed";
    }
    return "";
}

std::string DescribeOptimise(const OptimiseResult& r) {
    auto score = [](const OptimiseScore& s) {
        if (s.geometryError) return std::string("a geometry error");
        std::string t = Str(*s.objective, 0, 4);
        if (s.violation > 0) t += " with broken constraints";
        return t;
    };
    const std::string designs = Str(static_cast<long long>(r.evaluations), 0) + " designs";
    auto amount = [](double v) {
        return v >= kMaxConstraint ? "more than " + Shown(kMaxConstraint, 1) : Shown(v, 1);
    };
    // A start that breaks constraints is judged by how much it breaks them first.
    const bool brokenStart = !r.before.geometryError && r.before.violation > 0;
    const std::string unmet = r.unmet.empty() ? "" : ": " + r.unmet;
    const std::string timeUp = r.timeLimitReached ? " The search stopped at its time limit of " +
                                                        Shown(r.seconds, 1) + " s."
                                                  : "";
    switch (r.status) {
        case OptimiseStatus::Improved:
            if (brokenStart && r.after.violation == 0)
                return "Improved: the constraints were broken by " + amount(r.before.violation) +
                       " and now all hold, with objective " + score(r.after) + ", in " + designs +
                       "." + timeUp;
            if (brokenStart && r.before.violation != r.after.violation)
                return "The constraints were broken by " + amount(r.before.violation) +
                       ", now by " + amount(r.after.violation) + unmet + " (" + designs + ")." +
                       timeUp;
            if (brokenStart)
                return "The constraints are still broken by " + amount(r.after.violation) + unmet +
                       "; the objective went from " + Str(*r.before.objective, 0, 4) + " to " +
                       Str(*r.after.objective, 0, 4) + " in " + designs + "." + timeUp;
            return "Improved: the objective went from " + score(r.before) + " to " +
                   score(r.after) + " in " + designs + "." + timeUp;
        case OptimiseStatus::NothingBetter:
            if (brokenStart)
                return "Nothing better found in " + designs +
                       ": the design is kept, its constraints broken by " +
                       amount(r.before.violation) + unmet + "." + timeUp;
            return "Nothing better found in " + designs + ": the design is kept (objective " +
                   score(r.before) + ")." + timeUp;
        case OptimiseStatus::OnlyGeometryErrors:
            return "Every design tried in the range gives a geometry error (" + designs +
                   "): the design is kept.";
        case OptimiseStatus::Cancelled:
            return "Cancelled after " + designs +
                   (r.changed() ? ": the best design so far has "
                                  "objective " +
                                      score(r.after) + "."
                                : ": the design is kept.");
        case OptimiseStatus::Refused: return r.refusal;
        case OptimiseStatus::Failed:
            return "Failed after " + designs + ": " + r.failure + ". The design is kept.";
    }
    return "";
}

}  // namespace tarn
