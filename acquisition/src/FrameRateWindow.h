// The frame rate the live loop reports: nine sweeps over the time they took,
// in whole sweeps per second. Taken over the window rather than as a mean of
// nine rates, which would overstate it whenever the sweeps' lengths vary (as
// they do when gathering and solving overlap).
#pragma once

#include <mutex>
#include <optional>

namespace kelo::acquisition {

class FrameRateWindow {
public:
    // Forgets the sweeps gathered so far (a setting changed the rate).
    void restart();
    // Adds the length of one sweep in seconds. When it is the ninth of the
    // window, returns the window's rate, truncated, and starts a new window.
    std::optional<int> add(double sweepSeconds);

private:
    static constexpr int kSweeps = 9;

    // Guards the window: the loop adds while the user-interface thread
    // restarts.
    std::mutex mutex;
    int fpsCount = 1;  // sweeps in the window, plus one
    double seconds = 0.0;
};

}  // namespace kelo::acquisition
