#include "FrameRateWindow.h"

#include <cmath>
#include <limits>

namespace kelo::acquisition {

void FrameRateWindow::restart() {
    std::lock_guard<std::mutex> lock(mutex);
    fpsCount = 1;
    fpsSum = 0;
}

std::optional<int> FrameRateWindow::add(double sweepsPerSecond) {
    // A rate that cannot be a whole number of sweeps (a zero interval) would
    // overflow the sum; it is left out.
    if (!(sweepsPerSecond >= 0.0) || sweepsPerSecond > std::numeric_limits<int>::max() / kRates)
        return std::nullopt;
    std::lock_guard<std::mutex> lock(mutex);
    fpsSum += static_cast<int>(std::trunc(sweepsPerSecond));
    if (++fpsCount <= kRates) return std::nullopt;
    const int mean = fpsSum / kRates;
    fpsCount = 1;
    fpsSum = 0;
    return mean;
}

}  // namespace kelo::acquisition
