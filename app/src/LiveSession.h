// The controller's live loop on its worker thread: started so that a stop
// issued at any moment afterwards ends it, and stopped by one sequence that
// every caller of the window shares.
//
// The user-interface thread only.
#pragma once

#include <chrono>

class QThread;

namespace Brevanta {
class KelSpectro;
}

namespace kelo::app {

class LiveSession {
public:
    // How long a stop waits for the worker to finish.
    static constexpr std::chrono::milliseconds kStopTimeout{2000};

    enum class Trigger { Keep, SwitchOff };

    // The thread's start must run the controller's getSpectraC; both are
    // owned elsewhere and outlive the session.
    LiveSession(Brevanta::KelSpectro& controller, QThread& worker);

    // Clears a past stop and starts the worker. False, starting nothing, while
    // the worker has not finished from the last run.
    bool start();

    // The stop sequence: the controller's stop (it ends the loop, a trigger
    // wait and the camera's grab), the worker told to quit, then waited for
    // while the caller's events keep flowing, at most `timeout`. The trigger
    // is switched off afterwards when asked, so that a loop finishing its
    // triggered average cannot switch it on again. True when the worker has
    // finished.
    bool stop(Trigger trigger, std::chrono::milliseconds timeout = kStopTimeout);

    bool isRunning() const;

private:
    Brevanta::KelSpectro& controller;
    QThread& worker;
};

// Waits until `thread` has finished, processing the caller's events, at most
// `timeout`. True when it has.
bool waitForThread(QThread& thread, std::chrono::milliseconds timeout);

}  // namespace kelo::app
