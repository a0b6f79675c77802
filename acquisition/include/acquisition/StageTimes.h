// Where the live loop spends its time: totals per stage, written by the
// worker and readable from any thread.
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
};

class StageTimes {
public:
    void reset();
    void add(Stage stage, std::int64_t nanoseconds);

    std::int64_t count(Stage stage) const;
    // 0 when the stage never ran.
    double meanMilliseconds(Stage stage) const;

private:
    static constexpr std::size_t kStages = 4;
    std::array<std::atomic<std::int64_t>, kStages> totals{};
    std::array<std::atomic<std::int64_t>, kStages> counts{};
};

}  // namespace kelo::acquisition
