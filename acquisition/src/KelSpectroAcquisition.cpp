// Averaged spectra: the single acquisition, the live loop, the wait for a
// hardware trigger and the dark taken from a completed average.
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
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
    AcquisitionGuard guard(acquisitionBusy);
    if (!guard.isAdmitted() || device == nullptr || processor == nullptr) return false;
    try {
        const std::int64_t t0 = monotonicNanoseconds();
        // The count this average started with, whatever the user sets meanwhile.
        const std::uint32_t n = averages;
        std::fill(cellSum.begin(), cellSum.end(), 0.0);

        bool complete = true;
        if (device->getTriggerMode() == KelDevice::kSoftwareTrigger) {
            for (std::uint32_t k = 1; k <= n && complete; ++k) {
                QCoreApplication::processEvents();
                complete = device->snap(frame) && accumulateFrame(k, n);
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
        return false;
    }
}

bool KelSpectro::triggeredAverage(std::uint32_t n) {
    waitForTrigger = true;
    if (!waitForTriggeredFrame(true)) return false;
    bool complete = accumulateFrame(1, n);
    device->setTriggerMode(KelDevice::kSoftwareTrigger);
    device->setGrabMode(KelDevice::kGrabLatestImage);
    int added = 0;
    complete = complete && accumulateRetrievedFrames(2, n, added);
    device->setTriggerMode(KelDevice::kHardwareTrigger);
    device->stopGrabbing();
    return complete;
}

bool KelSpectro::getSpectraC() {
    AcquisitionGuard guard(acquisitionBusy);
    if (!guard.isAdmitted() || device == nullptr || processor == nullptr) return false;
    bool ok = false;
    try {
        frameRate->restart();
        stageTimes.reset();
        // Armed once per loop: a cancellation that arrives while a sweep is
        // not waiting still ends the next wait, and with it the loop.
        waitForTrigger = true;
        int total = 0;
        device->setGrabMode(KelDevice::kGrabLatestImage);
        while (device->isGrabbing()) liveSweep(total, ok);
        device->setGrabMode(KelDevice::kGrabStop);
        return ok;
    } catch (...) {
        errorCode = kErrorRaised;
        // Nobody reads a grab that goes on after the loop.
        stopGrabQuietly();
        return false;
    }
}

void KelSpectro::liveSweep(int& total, bool& ok) {
    const std::int64_t t0 = monotonicNanoseconds();
    std::fill(cellSum.begin(), cellSum.end(), 0.0);
    const std::uint32_t n = averages;

    if (device->getTriggerMode() == KelDevice::kSoftwareTrigger) {
        if (!accumulateRetrievedFrames(1, n, total)) return;
    } else {
        device->setGrabMode(KelDevice::kGrabStop);
        // A cancelled wait leaves the camera stopped, which ends the loop; so
        // does a triggered frame that cannot be converted.
        if (!waitForTriggeredFrame(false) || !accumulateFrame(1, n)) return;
        ++total;
        device->setTriggerMode(KelDevice::kSoftwareTrigger);
        device->setGrabMode(KelDevice::kGrabLatestImage);
        const bool complete = accumulateRetrievedFrames(2, n, total);
        device->setTriggerMode(KelDevice::kHardwareTrigger);
        if (!complete) return;
    }
    if (finishAverage(n)) return;  // this average became the dark

    std::int64_t mark = monotonicNanoseconds();
    std::uint8_t flag = 0;
    ok = processor->solveSpectrum(cells, liveSpectrum, flag);
    const std::int64_t t1 = monotonicNanoseconds();
    stageTimes.add(Stage::Solve, t1 - mark);
    if (!ok) return;
    saturated = flag != 0;

    if (const std::optional<int> fps = frameRate->add(sweepsPerSecond(t0, t1))) emit fpsReady(*fps);
    mark = monotonicNanoseconds();
    emit frameId(total);
    emit spectrumReady(liveSpectrum, saturated);
    stageTimes.add(Stage::Signal, monotonicNanoseconds() - mark);
}

bool KelSpectro::waitForTriggeredFrame(bool processEvents) {
    for (;;) {
        if (processEvents) QCoreApplication::processEvents();
        // Without a camera no trigger can come.
        if (!waitForTrigger || !device->isConnected()) return false;
        if (device->getTriggerMode() == KelDevice::kHardwareTrigger) {
            if (device->snap(frame)) return true;  // a time-out tries again
        } else {
            std::this_thread::sleep_for(kTriggerPollInterval);
        }
    }
}

bool KelSpectro::accumulateRetrievedFrames(std::uint32_t first, std::uint32_t n, int& total) {
    for (std::uint32_t k = first; k <= n; ++k) {
        const std::int64_t start = monotonicNanoseconds();
        const bool retrieved = device->retrieveFrame(frame);
        const std::int64_t arrived = monotonicNanoseconds();
        stageTimes.add(Stage::WaitForFrame, arrived - start);
        if (!retrieved) return false;
        const bool added = accumulateFrame(k, n);
        stageTimes.add(Stage::CellValues, monotonicNanoseconds() - arrived);
        if (!added) return false;
        ++total;
    }
    return true;
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

void KelSpectro::stopGrabQuietly() {
    try {
        device->setGrabMode(KelDevice::kGrabStop);
    } catch (...) {
    }
}

}  // namespace Brevanta
