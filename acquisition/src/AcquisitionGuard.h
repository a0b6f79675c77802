// Admits one acquisition at a time. The gate tells whether one runs and lets
// a thread wait until none does; the guard that is admitted holds the gate
// for its scope.
#pragma once

#include <condition_variable>
#include <mutex>

namespace kelo::acquisition {

class AcquisitionGate {
public:
    // False: another acquisition holds the gate.
    bool tryEnter() {
        std::lock_guard<std::mutex> lock(mutex);
        if (busy) return false;
        busy = true;
        return true;
    }
    void leave() {
        std::lock_guard<std::mutex> lock(mutex);
        busy = false;
        idle.notify_all();
    }
    bool isBusy() const {
        std::lock_guard<std::mutex> lock(mutex);
        return busy;
    }
    void waitUntilIdle() {
        std::unique_lock<std::mutex> lock(mutex);
        idle.wait(lock, [this] { return !busy; });
    }

private:
    mutable std::mutex mutex;  // guards busy
    std::condition_variable idle;
    bool busy = false;
};

class AcquisitionGuard {
public:
    explicit AcquisitionGuard(AcquisitionGate& gate) : gate(gate), admitted(gate.tryEnter()) {}
    ~AcquisitionGuard() {
        if (admitted) gate.leave();
    }
    AcquisitionGuard(const AcquisitionGuard&) = delete;
    AcquisitionGuard& operator=(const AcquisitionGuard&) = delete;

    // False: another acquisition runs; this one must not start.
    bool isAdmitted() const { return admitted; }

private:
    AcquisitionGate& gate;
    const bool admitted;
};

}  // namespace kelo::acquisition
