#include "core/common/parallel.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <future>
#include <system_error>
#include <thread>

namespace tarn {

int HardwareThreads() { return std::max(1, static_cast<int>(std::thread::hardware_concurrency())); }

void RunTasks(const std::vector<std::function<void()>>& tasks, int threads) {
    std::atomic<std::size_t> next{0};
    auto work = [&tasks, &next] {
        for (std::size_t i = next++; i < tasks.size(); i = next++) tasks[i]();
    };
    std::vector<std::future<void>> helpers;
    const int wanted = std::min<int>(threads, static_cast<int>(tasks.size())) - 1;
    for (int k = 0; k < wanted; ++k) {
        try {
            helpers.push_back(std::async(std::launch::async, work));
        } catch (const std::system_error&) {
            break;  // no more threads: the others share the work
        }
    }
    work();
    for (auto& h : helpers) h.get();
}

}  // namespace tarn
