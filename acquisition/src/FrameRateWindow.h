// The frame rate the live loop reports: the mean of nine sweep rates, each
// truncated to whole sweeps per second.
#pragma once

#include <mutex>
#include <optional>

namespace kelo::acquisition {

class FrameRateWindow {
public:
    // Forgets the rates gathered so far (a setting changed the rate).
    void restart();
    // Adds the rate of one sweep in sweeps per second. When it is the ninth
    // of the window, returns the window's mean and starts a new window.
    std::optional<int> add(double sweepsPerSecond);

private:
    static constexpr int kRates = 9;

    // Guards the window: the worker adds while the user-interface thread
    // restarts.
    std::mutex mutex;
    int fpsCount = 1;  // rates in the window, plus one
    int fpsSum = 0;
};

}  // namespace kelo::acquisition
