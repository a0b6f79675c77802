#include "PulseTrain.h"

#include <chrono>

namespace kelo::simcam {

void PulseTrain::setRate(double hz) {
    std::lock_guard<std::mutex> control(controlMutex);
    if (thread.joinable()) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stop = true;
            wake.notify_all();
        }
        thread.join();
        stop = false;
    }
    if (hz > 0.0) thread = std::thread([this, hz] { run(hz); });
}

void PulseTrain::run(double hz) {
    using Clock = std::chrono::steady_clock;
    const auto period =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / hz));
    Clock::time_point next = Clock::now();
    while (true) {
        next += period;
        {
            std::unique_lock<std::mutex> lock(mutex);
            if (wake.wait_until(lock, next, [this] { return stop; })) return;
        }
        pulse();
    }
}

}  // namespace kelo::simcam
