#include "TimerThread.h"

#include <chrono>

namespace kelo::simcam {

void TimerThread::start(double seconds, bool repeat, std::function<void()> action) {
    std::lock_guard<std::mutex> control(controlMutex);
    cancelLocked();
    if (!(seconds > 0.0)) return;
    thread = std::thread([this, seconds, repeat, action = std::move(action)] {
        run(seconds, repeat, action);
    });
}

void TimerThread::cancel() {
    std::lock_guard<std::mutex> control(controlMutex);
    cancelLocked();
}

void TimerThread::cancelLocked() {
    if (!thread.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex);
        cancelled = true;
        wake.notify_all();
    }
    thread.join();
    cancelled = false;
}

void TimerThread::run(double seconds, bool repeat, const std::function<void()>& action) {
    using Clock = std::chrono::steady_clock;
    const auto period =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    Clock::time_point next = Clock::now();
    do {
        next += period;
        {
            std::unique_lock<std::mutex> lock(mutex);
            if (wake.wait_until(lock, next, [this] { return cancelled; })) return;
        }
        action();
    } while (repeat);
}

}  // namespace kelo::simcam
