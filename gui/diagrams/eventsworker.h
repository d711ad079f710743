// The Valve Events window's numbers worked out off the GUI thread: one thread computes the
// events, the gear curve and the reference's events on copies of the models taken on the GUI
// thread, so a jog step never waits for the analysis.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "core/analysis/valveevents.h"
#include "core/model/model.h"
#include "core/plots/gearcurve.h"

namespace tarn {

struct EventsJob {
    std::uint64_t generation = 0;  // grows with every job the window starts
    Model design;
    std::vector<float> positions;
    bool withCurve = false;  // the design changed since the curve shown was computed
    std::optional<Model> reference;
    bool withReferenceCurve = false;
};

struct EventsOutcome {
    std::uint64_t generation = 0;
    Model design;  // the copy the numbers belong to
    std::vector<ValveEventsResult> results;
    std::optional<GearCurve> curve;
    std::vector<ValveEventsResult> referenceResults;  // at the matching positions
    std::optional<GearCurve> referenceCurve;
};

EventsOutcome ComputeEvents(EventsJob job);

class EventsWorker {
public:
    // `finished` runs on the worker thread each time an outcome is ready to be taken.
    explicit EventsWorker(std::function<void()> finished);
    // Stops the thread once its current job is done and joins it.
    ~EventsWorker();
    EventsWorker(const EventsWorker&) = delete;
    EventsWorker& operator=(const EventsWorker&) = delete;

    // Starts a job; one still waiting is dropped, as its inputs are out of date.
    void Submit(EventsJob job);
    // Blocks until no job waits or runs.
    void WaitIdle();
    // The newest outcome not yet taken.
    std::optional<EventsOutcome> Take();

private:
    void Run();

    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::optional<EventsJob> pending_;
    std::optional<EventsOutcome> done_;
    bool busy_ = false;
    bool stop_ = false;
    std::function<void()> finished_;
    std::thread thread_;  // last: it starts once everything above is ready
};

}  // namespace tarn
