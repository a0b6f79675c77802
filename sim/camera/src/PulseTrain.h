// Periodic trigger pulses from a thread of their own.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace kelo::simcam {

class PulseTrain {
public:
    explicit PulseTrain(std::function<void()> pulse) : pulse(std::move(pulse)) {}
    ~PulseTrain() { setRate(0.0); }
    PulseTrain(const PulseTrain&) = delete;
    PulseTrain& operator=(const PulseTrain&) = delete;

    // Pulses `hz` times a second from now on; 0 (or less) stops them. Must
    // not be called with a lock that the pulse function takes.
    void setRate(double hz);

private:
    void run(double hz);

    const std::function<void()> pulse;
    std::mutex controlMutex;  // serialises setRate; guards thread
    std::thread thread;
    std::mutex mutex;  // guards stop
    std::condition_variable wake;
    bool stop = false;
};

}  // namespace kelo::simcam
