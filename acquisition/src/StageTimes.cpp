#include "acquisition/StageTimes.h"

#include <ctime>

#include "MonotonicClock.h"

namespace kelo::acquisition {

namespace {

std::int64_t threadCpuNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

}  // namespace

void StageTimes::reset() {
    for (std::size_t i = 0; i < kStages; ++i) {
        wallTotals[i].store(0, std::memory_order_relaxed);
        cpuTotals[i].store(0, std::memory_order_relaxed);
        counts[i].store(0, std::memory_order_relaxed);
    }
}

void StageTimes::add(Stage stage, std::int64_t wallNanoseconds, std::int64_t cpuNanoseconds) {
    const auto i = static_cast<std::size_t>(stage);
    wallTotals[i].fetch_add(wallNanoseconds, std::memory_order_relaxed);
    cpuTotals[i].fetch_add(cpuNanoseconds, std::memory_order_relaxed);
    counts[i].fetch_add(1, std::memory_order_relaxed);
}

std::int64_t StageTimes::count(Stage stage) const {
    return counts[static_cast<std::size_t>(stage)].load(std::memory_order_relaxed);
}

double StageTimes::mean(const std::array<std::atomic<std::int64_t>, kStages>& totals,
                        Stage stage) const {
    const auto i = static_cast<std::size_t>(stage);
    const std::int64_t n = counts[i].load(std::memory_order_relaxed);
    return n == 0 ? 0.0
                  : static_cast<double>(totals[i].load(std::memory_order_relaxed)) / 1e6 /
                        static_cast<double>(n);
}

double StageTimes::meanMilliseconds(Stage stage) const {
    return mean(wallTotals, stage);
}

double StageTimes::meanCpuMilliseconds(Stage stage) const {
    return mean(cpuTotals, stage);
}

StageClock::StageClock(StageTimes& times) : times(times) {
    restart();
}

void StageClock::lap(Stage stage) {
    const std::int64_t wallNow = monotonicNanoseconds();
    const std::int64_t cpuNow = threadCpuNanoseconds();
    times.add(stage, wallNow - wall, cpuNow - cpu);
    wall = wallNow;
    cpu = cpuNow;
}

void StageClock::restart() {
    wall = monotonicNanoseconds();
    cpu = threadCpuNanoseconds();
}

}  // namespace kelo::acquisition
