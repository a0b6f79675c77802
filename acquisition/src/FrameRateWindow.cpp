#include "FrameRateWindow.h"

#include <cmath>
#include <limits>

namespace kelo::acquisition {

void FrameRateWindow::restart() {
    std::lock_guard<std::mutex> lock(mutex);
    fpsCount = 1;
    seconds = 0.0;
}

std::optional<int> FrameRateWindow::add(double sweepSeconds) {
    // A sweep of no measurable length (or no length at all) has no rate; it
    // is left out.
    if (!(sweepSeconds > 0.0) || !std::isfinite(sweepSeconds)) return std::nullopt;
    std::lock_guard<std::mutex> lock(mutex);
    seconds += sweepSeconds;
    if (++fpsCount <= kSweeps) return std::nullopt;
    const double rate = std::trunc(kSweeps / seconds);
    fpsCount = 1;
    seconds = 0.0;
    return rate < std::numeric_limits<int>::max() ? static_cast<int>(rate)
                                                  : std::numeric_limits<int>::max();
}

}  // namespace kelo::acquisition
