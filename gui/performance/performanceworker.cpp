// The performance thread: waits for a job, runs it with the mutex released and the cancel flag
// watched, keeps each stage's outcome for the GUI thread to take.
#include "gui/performance/performanceworker.h"

#include <algorithm>

#include "core/model/numfmt.h"

namespace tarn {

namespace {

constexpr int kPositionSteps = 17;

// Positions evenly over the reverser's range with the standard gears among them, full forward
// first.
std::vector<float> RangePositions(const Model& design) {
    const float full = GearRevArmPos(design, Gear::FullForward);
    const float back = GearRevArmPos(design, Gear::FullReverse);
    std::vector<float> out;
    for (int k = 0; k < kPositionSteps; ++k) {
        const long double t = static_cast<long double>(k) / (kPositionSteps - 1);
        out.push_back(ToFloat(full + (back - static_cast<long double>(full)) * t));
    }
    for (const Gear g : kStandardGears) out.push_back(GearRevArmPos(design, g));
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    if (full > back) std::reverse(out.begin(), out.end());
    return out;
}

}  // namespace

std::vector<double> CurveSpeeds(double revPerMin) {
    if (!(revPerMin > 0)) revPerMin = 200;
    std::vector<double> out;
    for (int k = 1; k <= 8; ++k) out.push_back(revPerMin * k / 4);
    return out;
}

PerformanceWorker::PerformanceWorker(EngineSimulator simulator, std::function<void()> finished)
    : simulator_(std::move(simulator)),
      finished_(std::move(finished)),
      thread_([this] { Run(); }) {}

PerformanceWorker::~PerformanceWorker() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
        pending_.reset();
        cancel_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void PerformanceWorker::Submit(PerformanceJob job) {
    {
        const std::lock_guard lock(mutex_);
        pending_ = std::move(job);
        if (busy_) cancel_ = true;
    }
    wake_.notify_all();
}

void PerformanceWorker::Cancel() {
    const std::lock_guard lock(mutex_);
    pending_.reset();
    if (busy_) cancel_ = true;
    if (!busy_) idle_.notify_all();
}

void PerformanceWorker::WaitIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !pending_ && !busy_; });
}

std::optional<PerformanceOutcome> PerformanceWorker::Take() {
    const std::lock_guard lock(mutex_);
    std::optional<PerformanceOutcome> out = std::move(done_);
    done_.reset();
    return out;
}

void PerformanceWorker::Deliver(PerformanceOutcome outcome) {
    {
        const std::lock_guard lock(mutex_);
        // A newer outcome, or a later stage of the same job, replaces one not yet taken.
        if (!done_ || done_->generation < outcome.generation ||
            (done_->generation == outcome.generation && outcome.complete))
            done_ = std::move(outcome);
    }
    if (finished_) finished_();
}

bool PerformanceWorker::Compute(const PerformanceJob& job) {
    EngineSolverOptions options;
    options.cancel = &cancel_;
    const double revPerMin = RevPerSecond(job.conditions, job.design.design.DriverDia) * 60;

    auto cardsOf = [&](const Model& design) {
        std::vector<GearCard> cards;
        for (const Gear g : job.gears) {
            if (cancel_) break;
            cards.push_back(
                {g, simulator_.single(design, job.conditions, GearRevArmPos(design, g), options)});
        }
        if (job.reverser && !cancel_)
            cards.push_back({Gear::FullForward,
                             simulator_.single(design, job.conditions, *job.reverser, options),
                             true});
        return cards;
    };
    auto curvesOf = [&](const Model& design) {
        PerformanceCurves c;
        c.revPerMin = CurveSpeeds(revPerMin);
        c.midGear = design.motion.RevArmPositions[0];
        std::vector<float> gears;
        for (std::size_t i = 0; i < kStandardGears.size(); ++i) {
            gears.push_back(GearRevArmPos(design, kStandardGears[i]));
            c.gearOffsets[i] = static_cast<double>(gears.back()) - static_cast<double>(c.midGear);
        }
        const std::vector<EnginePerformance> map =
            simulator_.map(design, job.conditions, gears, c.revPerMin, options);
        const std::size_t n = c.revPerMin.size();
        for (std::size_t i = 0; i < gears.size(); ++i)
            for (std::size_t j = 0; j < n && i * n + j < map.size(); ++j)
                c.bySpeed[i].push_back(map[i * n + j]);
        if (cancel_) return c;
        c.positionRevPerMin = revPerMin;
        const std::vector<float> positions = RangePositions(design);
        const double speed[] = {revPerMin};
        c.byPosition = simulator_.map(design, job.conditions, positions, speed, options);
        return c;
    };

    PerformanceOutcome out;
    out.generation = job.generation;
    out.conditions = job.conditions;
    if (job.reference) out.referenceName = job.reference->design.DesignName;
    out.cards = cardsOf(job.design);
    if (job.reference) out.referenceCards = cardsOf(*job.reference);
    if (cancel_) return false;
    Deliver(out);
    out.curves = curvesOf(job.design);
    if (job.reference && !cancel_) out.referenceCurves = curvesOf(*job.reference);
    if (cancel_) return false;
    out.complete = true;
    Deliver(std::move(out));
    return true;
}

void PerformanceWorker::Run() {
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return stop_ || pending_; });
        if (stop_) return;
        const PerformanceJob job = std::move(*pending_);
        pending_.reset();
        busy_ = true;
        cancel_ = false;
        ++begun_;
        lock.unlock();
        if (!Compute(job)) ++cancelled_;
        lock.lock();
        busy_ = false;
        if (!pending_) idle_.notify_all();
    }
}

}  // namespace tarn
