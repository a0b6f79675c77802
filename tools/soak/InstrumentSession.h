// The instrument as the application holds it: the spectrum utility and its
// controller, set up from the unit's files, the controller moved to a worker
// thread whose start runs the live loop; torn down as the window tears it
// down when the camera is gone, and set up again.
//
// The user-interface thread (the process's main thread) only.
#pragma once

#include <QThread>
#include <atomic>
#include <memory>
#include <string>

#include "EventWaits.h"
#include "acquisition/KelSpectro.h"
#include "spectra/cSpectraUtility.h"

namespace kelo::soak {

class InstrumentSession {
public:
    InstrumentSession() = default;
    ~InstrumentSession();
    InstrumentSession(const InstrumentSession&) = delete;
    InstrumentSession& operator=(const InstrumentSession&) = delete;

    // The utility, its controller for the first listed camera and the worker.
    // False, with the reason in `failure`, when there is no camera or its
    // unit's files cannot be used.
    bool setUp(std::string& failure);
    // Stops the loop if it runs and waits for it, then releases the worker,
    // the controller and the utility, in the window's order.
    void tearDown();
    bool isSetUp() const { return utility != nullptr; }

    cSpectraUtility& spectra() { return *utility; }
    Brevanta::KelSpectro& controller() { return *spectro; }

    // Starts the live loop (Play).
    void startLive();
    bool isLive() const;
    // The stop of the window: one stop request, then the worker awaited until
    // `deadline`. True when it finished.
    bool stopLive(Clock::time_point deadline);
    // Waits until the loop has ended by itself or `deadline` has passed.
    bool waitForLiveEnd(Clock::time_point deadline);
    // The code acquisitionEnded sent for the last live loop; -1 before it came.
    int liveEndCode() const { return liveEnded; }
    // Spectra the utility has processed since the set-up.
    int processedSpectra() const { return processed; }

private:
    std::unique_ptr<cSpectraUtility> utility;
    std::shared_ptr<Brevanta::KelSpectro> spectro;
    std::unique_ptr<QThread> worker;
    std::atomic<int> liveEnded{-1};  // written on the worker
    int processed = 0;
};

}  // namespace kelo::soak
