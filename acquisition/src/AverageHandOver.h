// The hand-over between the live loop's two stages: the thread that gathers
// and averages frames passes each finished average to the thread that
// solves it, one at a time. It holds at most one finished average waiting
// for the solver, so nothing piles up while the solver is behind. The
// buffers are allocated once, when the hand-over is made; handing over and
// taking swap them.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace kelo::acquisition {

// One averaged cell vector and what the solver needs to publish it.
struct FinishedAverage {
    std::vector<double> cells;   // the mean of the frames' cell values
    std::uint32_t averages = 1;  // frames in the average
    int total = 0;               // frames added since the loop started, these included
    bool dark = false;           // requested as the dark
    std::int64_t startedNs = 0;  // when its first frame was asked for (monotonic clock)
};

class AverageHandOver {
public:
    explicit AverageHandOver(std::size_t cellCount);

    // Gathering thread. Waits until no finished average waits for the
    // solver; false when the hand-over is closed.
    bool waitUntilFree();
    // The average being gathered, filled by the gathering thread.
    FinishedAverage& gathered() { return gathering; }
    // Passes gathered() on to the solver, waiting first until it is free;
    // dropped when the hand-over is closed.
    void handOver();

    // Solving thread. Waits for a finished average and makes it taken();
    // false once the hand-over is closed and nothing waits any more.
    bool take();
    FinishedAverage& taken() { return solving; }

    // Either thread: no more averages are handed over. One already waiting
    // is still taken.
    void close();

private:
    std::mutex mutex;  // guards waiting, full and closed
    std::condition_variable changed;
    FinishedAverage gathering;  // gathering thread only
    FinishedAverage waiting;    // swapped with the others under the mutex
    FinishedAverage solving;    // solving thread only
    bool full = false;          // `waiting` holds a finished average
    bool closed = false;
};

}  // namespace kelo::acquisition
