// The gear optimiser: varies a chosen set of dimensions within bounds so that the front and rear
// cut-offs (and, on request, the leads) agree at chosen gear positions, keeping every lead at or
// above a minimum, every port opening to steam and the linkage closing all round. Works on copies
// of the design; the caller's model is never touched.
//
// Use: fill OptimiseSettings, call OptimiseGear (it blocks; run it on a worker thread from a
// window, on a copy of the model taken on the window's thread, since the tick writes the live one,
// with `progress` and `cancel` wired to the dialog), then show DescribeOptimise(result),
// the dimensions' old and new values, and AnalysePositions(result.design,
// StandardGearPositions(result.design)) beside the same for the old design. Applying the result
// to the live model is SetDimension(model, d.id, d.newValue) for every entry of
// result.dimensions, then CentreRevArm, as closing a dimension dialog does.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/analysis/valveevents.h"
#include "core/model/model.h"

namespace tarn {

// The bounds a dimension is searched within.
struct SearchRange {
    float lo = 0;
    float hi = 0;
};

// A gear position to optimise at: a standard gear follows the design's own mid gear as the varied
// dimensions move it (CentreRevArm of each trial design); an absolute reverse-arm position stays.
struct OptimisePosition {
    std::optional<Gear> gear;  // empty: revArmPos
    float revArmPos = 0;

    static OptimisePosition At(Gear g) { return {g, 0}; }
    static OptimisePosition Absolute(float pos) { return {std::nullopt, pos}; }
    // Where the position lies on a design (its gear position, or revArmPos).
    float On(const Model& design) const;
};

// One dimension to vary (an id of the dimension table that dynamic variables act on: not the two
// gear limits, which place the gear positions themselves) and its bounds; without bounds it is
// searched over OptimiseRange(design, id, rangePercent).
struct OptimiseDimension {
    int id = 0;
    std::optional<SearchRange> bounds;
};

enum class OptimiseObjective {
    // Sum over the positions of (front - rear cut-off)^2, in percent of travel.
    Cutoff,
    // The same plus, per position, (front - rear lead)^2 with the lead difference in percent of
    // the start design's mean valve port width ((ValvePortWidthFront + ValvePortWidthRear) / 2):
    // a lead difference of 1 % of the port counts as much as a cut-off difference of 1 % of
    // travel.
    CutoffAndLead,
};

struct OptimiseSettings {
    std::vector<OptimiseDimension> dimensions;
    double rangePercent = 10;
    std::vector<OptimisePosition> positions{OptimisePosition::At(Gear::NormalForward),
                                            OptimisePosition::At(Gear::NormalReverse)};
    double minLead = 0;  // at both ends of every chosen position, in the design's unit
    OptimiseObjective objective = OptimiseObjective::Cutoff;
    // Designs analysed at most. A design at two chosen positions costs about 3 ms on one core
    // (the events at each position and a geometry sweep there and at both ends of the gear); a
    // local search over six dimensions takes about 150, the global phase up to 300 a restart.
    int maxEvaluations = 3000;
    // Called after every design analysed, one call at a time, on the thread that runs
    // OptimiseGear or, while restarts run side by side, on theirs.
    std::function<void(int done, int budget)> progress;
    // Set from any thread to stop; honoured before the next design (within milliseconds). The
    // result is then the best design found so far, with status Cancelled.
    const std::atomic<bool>* cancel = nullptr;
    // Threads the search uses (the positions of one design, or the restarts of the global phase
    // side by side); 0: one per core. The result does not depend on it.
    int threads = 0;
    // Every standard gear a constraint too: the leads at or above minLead and both ports opening
    // to steam at full forward, normal forward, mid gear, normal reverse and full reverse, as at
    // the chosen positions. The objective is still summed over the chosen positions alone.
    bool allGears = false;
    // Seconds the whole run takes at most; 0 or less: no limit. Like the cancel flag, the only
    // stop that depends on the machine's speed: the result is then the best design found so far,
    // with timeLimitReached set.
    double timeLimit = 10;
};

// The positions a design's leads and steam openings are held at: the chosen positions, then,
// with allGears, every standard gear that is not among them, in the order of kStandardGears.
std::vector<OptimisePosition> ConstraintPositions(const OptimiseSettings& settings);

enum class OptimiseStatus {
    Improved,            // `design` is better than the start
    NothingBetter,       // the start is returned: no design in the range is better
    OnlyGeometryErrors,  // every design tried in the range breaks the linkage
    Cancelled,           // stopped by the cancel flag; the best design found so far is returned
    Refused,             // the settings cannot be used (unknown dimension, no positions ...)
    Failed,              // the search broke off on a fault (`failure` says which); start kept
};

struct OptimisedDimension {
    int id = 0;
    std::string_view name;  // the dimension table's name, e.g. "RadiusRodLen"
    float oldValue = 0;
    float newValue = 0;  // == oldValue when unchanged
    SearchRange bounds;
    // At both ends of its bounds it changes no cut-off, lead, steam opening or geometry error:
    // left out of the search and kept as it was.
    bool noEffect = false;
};

enum class OptimiseConstraint {
    MinimumLead,      // a lead stands at the minimum
    PortOpens,        // a port only just opens to steam
    NoGeometryError,  // designs a little further on break the linkage
    LowerBound,       // a dimension stands at its lower bound
    UpperBound,       // ... at its upper bound
};

// A constraint that holds the result where it is, or one that a design breaks.
struct BindingConstraint {
    OptimiseConstraint kind = OptimiseConstraint::MinimumLead;
    int positionIndex = -1;  // into ConstraintPositions(settings) (lead, port), else -1
    bool front = true;       // which end (lead, port)
    int dimensionId = 0;     // the dimension (bounds), else 0
    // Broken, not binding: a lead below the minimum, a port that does not open, a linkage that
    // does not close ("the rear port at mid gear does not open to steam").
    bool broken = false;
    std::string text;  // "lead at the rear end at normal forward is the minimum 0.0000"
};

// How a design fares: the objective (when the linkage closes at every chosen position and at
// full forward and full reverse) and the constraints it breaks.
struct OptimiseScore {
    bool geometryError = false;
    std::optional<double> objective;  // empty after a geometry error
    double violation = 0;             // constraint violation (0: every constraint holds)
    bool feasible() const { return !geometryError && violation == 0; }
};

// a is strictly better than b: no geometry error beats one; then the smaller constraint
// violation; then the smaller objective.
bool IsBetterScore(const OptimiseScore& a, const OptimiseScore& b);

struct OptimiseResult {
    OptimiseStatus status = OptimiseStatus::Refused;
    std::string refusal;  // why the settings were refused
    // What broke the search off (Failed): NLopt's status and message, and the fault met while a
    // design was analysed, if one was.
    std::string failure;
    std::vector<OptimisedDimension> dimensions;  // in the order of the settings
    std::vector<float> positionsBefore;          // the chosen positions on the start design
    std::vector<float> positionsAfter;           // ... and on the optimised design
    OptimiseScore before, after;
    int evaluations = 0;  // designs analysed
    int budget = 0;
    // What holds the result (broken entries: the constraints it still breaks) and what the start
    // design breaks; empty after a geometry error of the result, a refusal or a failure.
    std::vector<BindingConstraint> binding;
    std::vector<BindingConstraint> startBroken;
    // The optimised design: a copy of the start with the new values set through SetDimension and
    // its mid gear recomputed by CentreRevArm (the arm at mid gear). The start itself (recentred)
    // when nothing better was found.
    Model design;
    bool changed() const;           // some dimension has a new value
    double seconds = 0;             // the run's own time
    bool timeLimitReached = false;  // stopped by the settings' time limit
    int restarts = 0;               // local searches after the first one
    // What the result still breaks, when it breaks a constraint: "a minimum lead of 1 cannot be
    // met in this range".
    std::string unmet;
};

// Optimises a copy of `design`. Throws nothing: a fault inside the search (NLopt's own, or an
// exception while a design is analysed, which NLopt turns into a failure of its own) ends it with
// status Failed and the start design. Never returns a design worse than the start (IsBetterScore) nor
// one with a geometry error other than the start itself, when it has one and no design in the
// range closes (OnlyGeometryErrors). A tie keeps the start's values, and a varied dimension whose
// move gains nothing is put back to its start value. A start value outside explicit bounds is
// brought into them for the search; the start itself still competes.
//
// The method: each dimension is first tried at both ends of its range (a dimension that changes
// nothing there is reported as having no effect and is left out). Then COBYLA (NLopt's
// constrained linear-approximation method, derivative-free) runs on the dimensions scaled to 0..1
// over their bounds from the best design met so far: the start (brought into its bounds) or one
// of the bounds' probes, or, when the start is infeasible (a geometry error or a broken
// constraint), a short space-filling sample of the range. A global phase follows: further COBYLA
// runs from well-spread starts (a low-discrepancy sequence over the scaled ranges, the better of
// each group of sixteen first), four side by side and merged in a fixed order, until eight in a
// row find nothing better, the budget or the time limit is reached or the run is cancelled.
// Designs with a geometry error get a large penalised objective and violated constraints, so the
// method backs away from them. A run stops when its steps fall below 1e-6 of the ranges, when the
// objective is below 1e-6 per position (differences of 0.001 %) or at its share of the budget.
// When the start breaks constraints, a design that breaks one the start keeps is never chosen.
// The same settings give the same result whatever the thread count and timing; only the time
// limit and the cancel flag stop the search at a point that depends on the machine.
OptimiseResult OptimiseGear(const Model& design, const OptimiseSettings& settings);

// The default bounds of a dimension: its value +- percent % of a size. For a length, radius,
// diameter or width (DimensionInfo::positive) the size is the value itself, and the lower bound
// is kept at 1 % of the value at least. An offset, height or pivot position is measured from an
// origin, so its value says nothing about how far it may sensibly move: its size is the larger
// of its magnitude and the stroke (StrokeLen), which gives every value within a stroke of 0 the
// same width and has no jump at 0. A stroke that is not above 0 counts as 1; a positive
// dimension at 0 or below gets the stroke's width and a lower bound of 1 % of its upper bound.
SearchRange OptimiseRange(const Model& design, int dimensionId, double percent);

// Bounds as typed for one dimension, checked: both numbers within the 32-bit float range, apart
// once stored as floats, and above 0 for a dimension that cannot reach 0. Returns "" and fills
// `out`, or says what is wrong, naming the bound and, as `label`, the dimension ("the upper bound
// 1e308 is beyond the 32-bit float range (3.4e38)").
std::string CheckOptimiseBounds(int dimensionId, std::string_view label, std::string_view lo,
                                std::string_view hi, SearchRange& out);

// Runs a search: OptimiseGear, or in a test one that wraps it.
using OptimiseFunction = std::function<OptimiseResult(const Model&, const OptimiseSettings&)>;

// How a design scores under the settings (the start design's port width scales the lead terms).
OptimiseScore ScoreDesign(const Model& design, const OptimiseSettings& settings);

// One line for the user: what was found ("Improved: the objective fell from 12.35 to 0.0001 in
// 214 designs.").
std::string DescribeOptimise(const OptimiseResult& r);
std::string_view OptimiseStatusText(OptimiseStatus s);

}  // namespace tarn
