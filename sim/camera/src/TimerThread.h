// An action run from a thread of its own a given time from now, once or
// again at that period, until cancelled: the simulator's trigger pulse
// train and its scheduled unplugging.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace kelo::simcam {

class TimerThread {
public:
    TimerThread() = default;
    ~TimerThread() { cancel(); }
    TimerThread(const TimerThread&) = delete;
    TimerThread& operator=(const TimerThread&) = delete;

    // Replaces what runs now: `action` after `seconds`, and every `seconds`
    // after that when `repeat`. 0 or less only cancels. Must not be called
    // with a lock that the action takes.
    void start(double seconds, bool repeat, std::function<void()> action);
    void cancel();

private:
    void cancelLocked();
    void run(double seconds, bool repeat, const std::function<void()>& action);

    std::mutex controlMutex;  // serialises start and cancel; guards thread
    std::thread thread;
    std::mutex mutex;  // guards cancelled
    std::condition_variable wake;
    bool cancelled = false;
};

}  // namespace kelo::simcam
