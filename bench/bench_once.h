// The test run passes over every benchmark once, briefly, so that none breaks unseen
// (`--benchmark_min_time=0` with TARN_BENCH_ONCE set). A benchmark with a fixed count of
// iterations or repetitions takes that count from here.
#pragma once

#include <cstdlib>

namespace tarn::bench {

// count, or 1 in the test run's pass.
inline int Times(int count) { return std::getenv("TARN_BENCH_ONCE") ? 1 : count; }

}  // namespace tarn::bench
