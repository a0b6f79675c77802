#include "acquisition/StageTimes.h"

namespace kelo::acquisition {

void StageTimes::reset() {
    for (std::size_t i = 0; i < kStages; ++i) {
        totals[i].store(0, std::memory_order_relaxed);
        counts[i].store(0, std::memory_order_relaxed);
    }
}

void StageTimes::add(Stage stage, std::int64_t nanoseconds) {
    const auto i = static_cast<std::size_t>(stage);
    totals[i].fetch_add(nanoseconds, std::memory_order_relaxed);
    counts[i].fetch_add(1, std::memory_order_relaxed);
}

std::int64_t StageTimes::count(Stage stage) const {
    return counts[static_cast<std::size_t>(stage)].load(std::memory_order_relaxed);
}

double StageTimes::meanMilliseconds(Stage stage) const {
    const auto i = static_cast<std::size_t>(stage);
    const std::int64_t n = counts[i].load(std::memory_order_relaxed);
    return n == 0 ? 0.0
                  : static_cast<double>(totals[i].load(std::memory_order_relaxed)) / 1e6 /
                        static_cast<double>(n);
}

}  // namespace kelo::acquisition
