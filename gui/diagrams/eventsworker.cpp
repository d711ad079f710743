// The events thread: waits for a job, computes it with the mutex released, keeps the outcome for
// the GUI thread to take.
#include "gui/diagrams/eventsworker.h"

#include "core/analysis/eventsgrid.h"

namespace tarn {

EventsOutcome ComputeEvents(EventsJob job) {
    EventsOutcome out;
    out.generation = job.generation;
    out.results = AnalysePositions(job.design, job.positions);
    if (job.withCurve) out.curve = ComputeGearCurve(job.design);
    if (job.reference) {
        const std::vector<float> matching =
            MatchingPositions(job.design, job.positions, *job.reference);
        out.referenceResults = AnalysePositions(*job.reference, matching);
        if (job.withReferenceCurve) out.referenceCurve = ComputeGearCurve(*job.reference);
    }
    out.design = std::move(job.design);
    return out;
}

EventsWorker::EventsWorker(std::function<void()> finished)
    : finished_(std::move(finished)), thread_([this] { Run(); }) {}

EventsWorker::~EventsWorker() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
        pending_.reset();
    }
    wake_.notify_all();
    thread_.join();
}

void EventsWorker::Submit(EventsJob job) {
    {
        const std::lock_guard lock(mutex_);
        pending_ = std::move(job);
    }
    wake_.notify_all();
}

void EventsWorker::WaitIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !pending_ && !busy_; });
}

std::optional<EventsOutcome> EventsWorker::Take() {
    const std::lock_guard lock(mutex_);
    std::optional<EventsOutcome> out = std::move(done_);
    done_.reset();
    return out;
}

void EventsWorker::Run() {
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return stop_ || pending_; });
        if (stop_) return;
        EventsJob job = std::move(*pending_);
        pending_.reset();
        busy_ = true;
        lock.unlock();
        EventsOutcome outcome = ComputeEvents(std::move(job));
        lock.lock();
        // A newer outcome replaces an older one not yet taken.
        if (!done_ || done_->generation < outcome.generation) done_ = std::move(outcome);
        busy_ = false;
        const bool idle = !pending_;
        lock.unlock();
        if (finished_) finished_();
        if (idle) idle_.notify_all();
        lock.lock();
    }
}

}  // namespace tarn
