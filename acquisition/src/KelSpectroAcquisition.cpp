// Averaged spectra: the single acquisition, the live loop, the wait for a
// hardware trigger and the dark taken from a completed average.
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>
#include <string>
#include <thread>

#include "AcquisitionGuard.h"
#include "FrameRateWindow.h"
#include "MonotonicClock.h"
#include "acquisition/KelSpectro.h"
#include "device/KelDevice.h"
#include "engine/SpectralProcessor.h"

using kelo::acquisition::AcquisitionGuard;
using kelo::acquisition::monotonicNanoseconds;
using kelo::acquisition::Stage;
using kelo::acquisition::StageClock;

namespace Brevanta {

namespace {

// How often the trigger wait looks at its flags while the camera is not in
// hardware-trigger mode.
constexpr std::chrono::milliseconds kTriggerPollInterval{1};

double sweepsPerSecond(std::int64_t t0, std::int64_t t1) {
    return t1 > t0 ? 1e9 / static_cast<double>(t1 - t0) : 0.0;
}

}  // namespace

bool KelSpectro::getSpectra(std::vector<double>& spectrum, bool& flagSaturated) {
    AcquisitionGuard guard(*gate);
    if (!mayStart(guard) || device == nullptr || processor == nullptr) return false;
    stopRequested = false;
    setErrorText({});
    try {
        const std::int64_t t0 = monotonicNanoseconds();
        // The count this average started with, whatever the user sets meanwhile.
        const std::uint32_t n = averages;
        std::fill(cellSum.begin(), cellSum.end(), 0.0);

        bool complete = true;
        if (device->getTriggerMode() == KelDevice::kSoftwareTrigger) {
            for (std::uint32_t k = 1; k <= n && complete; ++k) {
                QCoreApplication::processEvents();
                if (stopRequested) return false;
                if (!device->snap(frame)) {
                    setErrorText(missingFrameText());
                    return false;
                }
                complete = accumulateFrame(k, n);
            }
        } else {
            complete = triggeredAverage(n);
        }
        if (!complete) return false;

        finishAverage(n);
        std::uint8_t flag = 0;
        if (!processor->solveSpectrum(cells, spectrum, flag)) return false;
        saturated = flag != 0;
        flagSaturated = saturated;
        const std::int64_t t1 = monotonicNanoseconds();
        emit spectrumReady(spectrum, flagSaturated);
        emit frameId(static_cast<int>(n));
        emit fpsReady(static_cast<int>(std::lround(sweepsPerSecond(t0, t1))));
        return true;
    } catch (...) {
        errorCode = kErrorRaised;
        stopGrabQuietly();
        return false;
    }
}

bool KelSpectro::triggeredAverage(std::uint32_t n) {
    if (!waitForTriggeredFrame(true)) return false;
    bool complete = accumulateFrame(1, n);
    device->setTriggerMode(KelDevice::kSoftwareTrigger);
    int added = 0;
    complete = complete && startGrab(KelDevice::kGrabLatestImage) &&
               accumulateRetrievedFrames(2, n, added) == FrameStep::Added;
    device->setTriggerMode(KelDevice::kHardwareTrigger);
    stopGrabQuietly();
    return complete;
}

bool KelSpectro::getSpectraC() {
    AcquisitionGuard guard(*gate);
    livePending = false;
    if (!guard.isAdmitted()) {
        emit acquisitionEnded(kErrorBusy);
        return false;
    }
    if (device == nullptr || processor == nullptr) {
        emit acquisitionEnded(kErrorNoDevice);
        return false;
    }
    bool ok = false;
    setErrorText({});
    errorCode = kNoError;
    try {
        frameRate->restart();
        stageTimes.reset();
        int total = 0;
        if (startGrab(KelDevice::kGrabLatestImage))
            while (!stopRequested && liveSweep(total, ok)) {
            }
    } catch (const std::exception& error) {
        recordError(device->isConnected() ? std::string("camera error: ") + error.what()
                                          : missingFrameText());
    } catch (...) {
        recordError(missingFrameText());
    }
    // Nobody reads a grab that goes on after the loop.
    stopGrabQuietly();
    const int code = errorCode;
    emit acquisitionEnded(code);
    return ok && code == kNoError;
}

bool KelSpectro::liveSweep(int& total, bool& ok) {
    const std::int64_t t0 = monotonicNanoseconds();
    std::fill(cellSum.begin(), cellSum.end(), 0.0);
    const std::uint32_t n = averages;

    const FrameStep step = device->getTriggerMode() == KelDevice::kSoftwareTrigger
                               ? accumulateRetrievedFrames(1, n, total)
                               : triggeredFrames(n, total);
    if (step == FrameStep::NoFrame) return noFrame();
    if (step == FrameStep::NotConverted) return true;  // no spectrum from this sweep
    if (finishAverage(n)) return true;                 // this average became the dark

    StageClock clock(stageTimes);
    std::uint8_t flag = 0;
    ok = processor->solveSpectrum(cells, liveSpectrum, flag);
    clock.lap(Stage::Solve);
    if (!ok) return true;
    saturated = flag != 0;

    const std::int64_t t1 = monotonicNanoseconds();
    if (const std::optional<int> fps = frameRate->add(sweepsPerSecond(t0, t1))) emit fpsReady(*fps);
    clock.restart();
    emit frameId(total);
    emit spectrumReady(liveSpectrum, saturated);
    clock.lap(Stage::Signal);
    return true;
}

KelSpectro::FrameStep KelSpectro::triggeredFrames(std::uint32_t n, int& total) {
    if (!waitForTriggeredFrame(false)) return FrameStep::NoFrame;
    if (!accumulateFrame(1, n)) {
        recordError("a triggered frame could not be converted to cell values");
        return FrameStep::NoFrame;
    }
    ++total;
    device->setTriggerMode(KelDevice::kSoftwareTrigger);
    FrameStep step = FrameStep::NoFrame;
    if (startGrab(KelDevice::kGrabLatestImage)) step = accumulateRetrievedFrames(2, n, total);
    device->setTriggerMode(KelDevice::kHardwareTrigger);
    return step;
}

bool KelSpectro::noFrame() {
    if (!stopRequested && errorCode == kNoError) recordError(missingFrameText());
    return false;
}

std::string KelSpectro::missingFrameText() {
    if (!device->isConnected()) return "the camera was disconnected";
    return "no frame from the camera within " + std::to_string(device->getFrameTimeoutMs()) +
           " ms";
}

bool KelSpectro::waitForTriggeredFrame(bool processEvents) {
    bool triggered = false;
    while (!triggered) {
        if (processEvents) QCoreApplication::processEvents();
        // Without a camera no trigger can come.
        if (stopRequested || !device->isConnected()) break;
        if (device->getTriggerMode() != KelDevice::kHardwareTrigger) {
            std::this_thread::sleep_for(kTriggerPollInterval);
            continue;
        }
        // One image per pulse; a time-out arms the next grab.
        if (!startGrab(KelDevice::kGrabOne)) break;
        triggered = device->retrieveFrame(frame);
    }
    return triggered;
}

KelSpectro::FrameStep KelSpectro::accumulateRetrievedFrames(std::uint32_t first, std::uint32_t n,
                                                            int& total) {
    for (std::uint32_t k = first; k <= n; ++k) {
        if (stopRequested) return FrameStep::NoFrame;
        StageClock clock(stageTimes);
        const bool retrieved = device->retrieveFrame(frame);
        clock.lap(Stage::WaitForFrame);
        if (!retrieved) return FrameStep::NoFrame;
        const bool added = accumulateFrame(k, n);
        clock.lap(Stage::CellValues);
        if (!added) return FrameStep::NotConverted;
        ++total;
    }
    return FrameStep::Added;
}

bool KelSpectro::accumulateFrame(std::uint32_t k, std::uint32_t n) {
    // The processor works on its own copy of the frame.
    if (!processor->computeCellValues(frame, cells)) return false;
    const std::size_t count = std::min<std::size_t>(cellCount, cells.size());
    for (std::size_t i = 0; i < count; ++i) cellSum[i] += cells[i];
    emit avgProgress(100.0 / n * k);
    return true;
}

bool KelSpectro::finishAverage(std::uint32_t n) {
    const std::size_t count = std::min<std::size_t>(cellCount, cells.size());
    for (std::size_t i = 0; i < count; ++i) cells[i] = cellSum[i] / n;
    // Taken before storing, so that a request arriving meanwhile is kept.
    if (!darkRequested.exchange(false)) return false;
    if (!processor->setDarkCells(cells)) {
        darkRequested = true;
        return false;
    }
    emit darkImageCollected();
    return true;
}

}  // namespace Brevanta
