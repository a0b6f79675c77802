// Averaged spectra: the single acquisition, and what the live loop shares
// with it: adding up frames, the wait for a hardware trigger and the dark
// taken from a completed average.
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <thread>

#include "AcquisitionGuard.h"
#include "MonotonicClock.h"
#include "acquisition/KelSpectro.h"
#include "device/KelDevice.h"
#include "engine/SpectralProcessor.h"

using kelo::acquisition::AcquisitionGuard;
using kelo::acquisition::monotonicNanoseconds;
using kelo::acquisition::ratePerSecond;
using kelo::acquisition::Stage;
using kelo::acquisition::StageClock;

namespace Brevanta {

namespace {

// How often the trigger wait looks at its flags while the camera is not in
// hardware-trigger mode.
constexpr std::chrono::milliseconds kTriggerPollInterval{1};

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

        averageCells(n, cells);
        if (darkRequested.exchange(false)) storeDark(cells);
        std::uint8_t flag = 0;
        if (!processor->solveSpectrum(cells, spectrum, flag)) return false;
        saturated = flag != 0;
        flagSaturated = saturated;
        const std::int64_t t1 = monotonicNanoseconds();
        emit spectrumReady(spectrum, flagSaturated);
        emit frameId(static_cast<int>(n));
        emit fpsReady(static_cast<int>(std::lround(ratePerSecond(t0, t1))));
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

std::string KelSpectro::missingFrameText() {
    if (!device->isConnected()) return "the camera was disconnected";
    return "no frame from the camera within " + std::to_string(device->getFrameTimeoutMs()) + " ms";
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

void KelSpectro::averageCells(std::uint32_t n, std::vector<double>& mean) const {
    const std::size_t count = std::min<std::size_t>(cellCount, mean.size());
    for (std::size_t i = 0; i < count; ++i) mean[i] = cellSum[i] / n;
}

bool KelSpectro::storeDark(const std::vector<double>& darkCells) {
    // The request was taken before, so that one arriving meanwhile is kept;
    // a store that fails makes the next average try again.
    if (!processor->setDarkCells(darkCells)) {
        darkRequested = true;
        return false;
    }
    emit darkImageCollected();
    return true;
}

}  // namespace Brevanta
