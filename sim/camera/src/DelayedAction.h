// One action run once, a given time from now, on a thread of its own; a new
// schedule or the destructor cancels the one pending.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace kelo::simcam {

class DelayedAction {
public:
    DelayedAction() = default;
    ~DelayedAction() { cancel(); }
    DelayedAction(const DelayedAction&) = delete;
    DelayedAction& operator=(const DelayedAction&) = delete;

    // Runs `action` after `seconds`; 0 or less only cancels. Must not be
    // called with a lock that the action takes.
    void schedule(double seconds, std::function<void()> action) {
        cancel();
        if (!(seconds > 0.0)) return;
        const auto due = std::chrono::steady_clock::now() +
                         std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                             std::chrono::duration<double>(seconds));
        thread = std::thread([this, due, action = std::move(action)] {
            {
                std::unique_lock<std::mutex> lock(mutex);
                if (wake.wait_until(lock, due, [this] { return cancelled; })) return;
            }
            action();
        });
    }

    void cancel() {
        if (!thread.joinable()) return;
        {
            std::lock_guard<std::mutex> lock(mutex);
            cancelled = true;
            wake.notify_all();
        }
        thread.join();
        cancelled = false;
    }

private:
    std::thread thread;
    std::mutex mutex;  // guards cancelled
    std::condition_variable wake;
    bool cancelled = false;
};

}  // namespace kelo::simcam
