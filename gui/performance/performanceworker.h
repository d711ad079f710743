// The Engine Performance window's simulations off the GUI thread: one thread runs the cards of
// the chosen gears and then the curves, on copies of the design, its conditions and the
// reference taken on the GUI thread. A newer job cancels the one running (the solver watches the
// flag), so the window follows edits without waiting for stale work.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "core/analysis/valveevents.h"
#include "core/model/model.h"
#include "core/performance/conditions.h"
#include "core/performance/engine.h"
#include "core/plots/indicatorcard.h"

namespace tarn {

// The simulation the worker calls: the engine model, or a stand-in in tests.
struct EngineSimulator {
    std::function<EnginePerformance(const Model&, const EngineConditions&, float,
                                    const EngineSolverOptions&)>
        single = [](const Model& d, const EngineConditions& c, float p,
                    const EngineSolverOptions& o) { return SimulateEngine(d, c, p, o); };
    std::function<std::vector<EnginePerformance>(const Model&, const EngineConditions&,
                                                 std::span<const float>, std::span<const double>,
                                                 const EngineSolverOptions&)>
        map = [](const Model& d, const EngineConditions& c, std::span<const float> p,
                 std::span<const double> n,
                 const EngineSolverOptions& o) { return SimulateEngineMap(d, c, p, n, o); };
};

struct PerformanceJob {
    std::uint64_t generation = 0;  // grows with every job the window starts
    Model design;
    EngineConditions conditions;
    std::vector<Gear> gears;        // the cards' and the table's
    std::optional<float> reverser;  // a card where the reverser stands, after the gears'
    std::optional<Model> reference;
};

struct PerformanceOutcome {
    std::uint64_t generation = 0;
    bool complete = false;        // false: the cards only, the curves still to come
    EngineConditions conditions;  // the job's
    std::string referenceName;    // the reference's design name, if there is one
    std::vector<GearCard> cards, referenceCards;
    PerformanceCurves curves;
    std::optional<PerformanceCurves> referenceCurves;
};

// The speeds of the curves: eight from a quarter of the engine's speed to twice it (rev/min).
std::vector<double> CurveSpeeds(double revPerMin);

class PerformanceWorker {
public:
    // `finished` runs on the worker thread each time an outcome is ready to be taken: once with
    // the cards, once more with the curves.
    PerformanceWorker(EngineSimulator simulator, std::function<void()> finished);
    // Cancels the job running and joins the thread.
    ~PerformanceWorker();
    PerformanceWorker(const PerformanceWorker&) = delete;
    PerformanceWorker& operator=(const PerformanceWorker&) = delete;

    // Starts a job: one still waiting is dropped and the one running cancelled, as their inputs
    // are out of date.
    void Submit(PerformanceJob job);
    // Drops the job waiting and cancels the one running.
    void Cancel();
    // Blocks until no job waits or runs.
    void WaitIdle();
    // The newest outcome not yet taken.
    std::optional<PerformanceOutcome> Take();
    // Jobs the thread has begun, and of those the ones cancelled before they finished.
    std::uint64_t JobsBegun() const { return begun_; }
    std::uint64_t JobsCancelled() const { return cancelled_; }

private:
    void Run();
    // Computes the job, handing each stage over; false when cancelled.
    bool Compute(const PerformanceJob& job);
    void Deliver(PerformanceOutcome outcome);

    EngineSimulator simulator_;
    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::optional<PerformanceJob> pending_;
    std::optional<PerformanceOutcome> done_;
    bool busy_ = false;
    bool stop_ = false;
    std::atomic<bool> cancel_{false};
    std::atomic<std::uint64_t> begun_{0}, cancelled_{0};
    std::function<void()> finished_;
    std::thread thread_;  // last: it starts once everything above is ready
};

}  // namespace tarn
