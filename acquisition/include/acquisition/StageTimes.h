// Where the live loop spends its time: totals per stage, wall-clock time and
// the CPU time of the thread that ran the stage, written by the loop's
// threads and readable from any thread.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace kelo::acquisition {

enum class Stage {
    WaitForFrame,  // retrieving the next frame from the camera
    CellValues,    // reducing a frame to cell values and adding them up
    Solve,         // the spectrum of an averaged cell vector
    Signal,        // publishing a spectrum
    HandOver,      // the gathering waiting for the solve to take the previous average
};

class StageTimes {
public:
    void reset();
    void add(Stage stage, std::int64_t wallNanoseconds, std::int64_t cpuNanoseconds);

    std::int64_t count(Stage stage) const;
    // Means per run of the stage; 0 when the stage never ran.
    double meanMilliseconds(Stage stage) const;
    double meanCpuMilliseconds(Stage stage) const;

private:
    static constexpr std::size_t kStages = 5;
    double mean(const std::array<std::atomic<std::int64_t>, kStages>& totals, Stage stage) const;

    std::array<std::atomic<std::int64_t>, kStages> wallTotals{};
    std::array<std::atomic<std::int64_t>, kStages> cpuTotals{};
    std::array<std::atomic<std::int64_t>, kStages> counts{};
};

// Times consecutive stages on one thread: each lap adds the wall-clock and
// thread CPU time since the previous lap (or the start) to its stage.
class StageClock {
public:
    explicit StageClock(StageTimes& times);
    void lap(Stage stage);
    // Starts over without adding anything (the time since was no stage's).
    void restart();

private:
    StageTimes& times;
    std::int64_t wall = 0;
    std::int64_t cpu = 0;
};

}  // namespace kelo::acquisition
