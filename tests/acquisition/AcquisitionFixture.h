// Tests of the acquisition controller against the simulated camera, through
// the program's own registry. Each test plugs in a camera of its own (a
// fresh serial number) showing the synthetic unit K3S00042, written once per
// test program into a scratch working folder.
#pragma once

#include <gtest/gtest.h>

#include <QObject>
#include <QThread>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "OutputCapture.h"
#include "SimulatedUnitFolder.h"
#include "TestSupport.h"
#include "acquisition/KelSpectro.h"

namespace kelo::acquisitiontest {

constexpr const char* kUnitId = "K3S00042";
constexpr double kExposureUs = 2000.0;

class AcquisitionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void TearDown() override;

    // A controller on a new camera showing `scene` without noise, initialised
    // from the unit with the short test exposure; fails the test otherwise.
    std::unique_ptr<Brevanta::KelSpectro> openController(const std::string& scene = "halogen");
    // A camera of the registry for a newly plugged camera showing `unitId`.
    Brevanta::KelDevice* attachCamera(const std::string& unitId, const std::string& scene);

    static std::filesystem::path folder();

    std::string serial;  // of the camera attachCamera plugged in

private:
    static std::unique_ptr<kelo::test::SimulatedUnitFolder> workDir;
};

// True once `condition` holds, false when `timeout` passed first. Processes
// the calling thread's events while it waits.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::seconds(20));

// The largest magnitude among `values`; 0 for none.
double largest(const std::vector<double>& values);

// Every signal of a controller as the emitting thread delivers it, kept in
// order; safe to read from the test thread while a live loop emits.
class SignalLog {
public:
    struct Event {
        enum Kind { Spectrum, FrameId, Fps, Progress, Dark, Ended } kind;
        double value = 0.0;    // frame id, rate, progress or the end's code
        std::size_t size = 0;  // spectrum length
    };

    explicit SignalLog(Brevanta::KelSpectro& spectro);
    ~SignalLog();
    SignalLog(const SignalLog&) = delete;
    SignalLog& operator=(const SignalLog&) = delete;

    std::vector<Event> events() const;
    int count(Event::Kind kind) const;
    // The values of the events of one kind, in order.
    std::vector<double> values(Event::Kind kind) const;
    std::vector<std::vector<double>> spectra() const;

private:
    void add(Event event);

    mutable std::mutex mutex;  // guards the members below
    std::vector<Event> log;
    std::vector<std::vector<double>> spectrumValues;
    std::vector<QMetaObject::Connection> connections;
};

// The live loop run as the application runs it: the controller moved to a
// QThread whose start runs getSpectraC, the end reported by acquisitionEnded.
// Stopped (one stop request) and joined when it goes out of scope.
class LiveRun {
public:
    explicit LiveRun(Brevanta::KelSpectro& spectro);
    ~LiveRun();
    LiveRun(const LiveRun&) = delete;
    LiveRun& operator=(const LiveRun&) = delete;

    bool finished() const { return done; }
    // Requests the stop once and waits for the loop; its result.
    bool stop();
    // Waits for the loop to end by itself; false when it is still running
    // after `timeout`.
    bool waitForEnd(std::chrono::milliseconds timeout);
    bool result() const { return loopResult; }
    // The code acquisitionEnded carried; -1 before it came.
    int endedCode() const { return ended; }

private:
    Brevanta::KelSpectro& spectro;
    QThread thread;
    std::atomic<bool> done{false};
    std::atomic<bool> loopResult{false};
    std::atomic<int> ended{-1};
    QMetaObject::Connection endConnection;
};

}  // namespace kelo::acquisitiontest
