// Work shared out over threads: a batch of independent tasks, run side by side.
#pragma once

#include <functional>
#include <vector>

namespace tarn {

// The threads the machine runs at once; 1 where it cannot tell.
int HardwareThreads();

// Runs every task once, on the calling thread and up to threads - 1 helpers, each thread taking
// the next task not yet taken, and returns when all are done. Where a helper cannot start, the
// threads already running share its tasks.
void RunTasks(const std::vector<std::function<void()>>& tasks, int threads);

}  // namespace tarn
