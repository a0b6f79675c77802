// The live loop: two stages on two threads. The worker gathers and averages
// the frames of the next spectrum while a solve stage of its own solves the
// previous average and publishes it; the averages pass between them through
// a hand-over of depth one, in order.
#include <algorithm>
#include <exception>
#include <optional>
#include <string>

#include "AcquisitionGuard.h"
#include "FrameRateWindow.h"
#include "MonotonicClock.h"
#include "SolveStage.h"
#include "acquisition/KelSpectro.h"
#include "device/KelDevice.h"
#include "engine/SpectralProcessor.h"

using kelo::acquisition::AcquisitionGuard;
using kelo::acquisition::AverageHandOver;
using kelo::acquisition::FinishedAverage;
using kelo::acquisition::monotonicNanoseconds;
using kelo::acquisition::secondsBetween;
using kelo::acquisition::SolveStage;
using kelo::acquisition::Stage;
using kelo::acquisition::StageClock;
using kelo::engine::SolveStart;

namespace Brevanta {

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
    setErrorText({});
    errorCode = kNoError;
    // Read after the solve stage has been joined.
    LivePublication publication;
    try {
        frameRate->restart();
        stageTimes.reset();
        SolveStage solving(cellCount, [this, &publication](const FinishedAverage& average) {
            publishAverage(average, publication);
        });
        int total = 0;
        if (startGrab(KelDevice::kGrabLatestImage))
            while (!stopRequested && liveSweep(total, solving)) {
            }
        // An average finished before the loop ended is still published.
        solving.finish();
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
    return publication.solvedAverages != 0 && code == kNoError;
}

bool KelSpectro::liveSweep(int& total, SolveStage& solving) {
    AverageHandOver& handOver = solving.handOver();
    // The next average starts once the previous one is being solved: frames
    // that come meanwhile are dropped by the camera's latest-image grab
    // rather than averaged into a spectrum that would wait.
    StageClock clock(stageTimes);
    if (!handOver.waitUntilFree()) return false;  // the solve stage failed
    clock.lap(Stage::HandOver);

    FinishedAverage& average = handOver.gathered();
    average.startedNs = monotonicNanoseconds();
    std::fill(cellSum.begin(), cellSum.end(), 0.0);
    const std::uint32_t n = averages;

    const FrameStep step = device->getTriggerMode() == KelDevice::kSoftwareTrigger
                               ? accumulateRetrievedFrames(1, n, total)
                               : triggeredFrames(n, total);
    if (step == FrameStep::NoFrame) return noFrame();
    if (step == FrameStep::NotConverted) return true;  // no spectrum from this sweep

    averageCells(n, average.cells);
    average.averages = n;
    average.total = total;
    // The request names the next average to complete; the solve stage
    // stores it in turn, after the spectra before it.
    average.dark = darkRequested.exchange(false);
    handOver.handOver();
    return true;
}

void KelSpectro::publishAverage(const FinishedAverage& average, LivePublication& publication) {
    if (average.dark && storeDark(average.cells)) {
        publication.startedNs = 0;  // no spectrum from this average
        return;
    }

    StageClock clock(stageTimes);
    // Warm after a solved average of the same count in this loop: its
    // spectrum is the closest start there is.
    const SolveStart start =
        average.averages == publication.solvedAverages ? SolveStart::warm : SolveStart::cold;
    std::uint8_t flag = 0;
    const bool solved = processor->solveSpectrum(average.cells, liveSpectrum, flag, start);
    publication.solvedAverages = solved ? average.averages : 0;
    clock.lap(Stage::Solve);
    if (!solved) {
        publication.startedNs = 0;
        return;
    }
    saturated = flag != 0;

    // The loop's pace: from the start of the previous average to the start
    // of this one, which the gathering keeps or the solve sets by making it
    // wait; for the first spectrum, and the first after an average that
    // published none, from this average's start to now. Publication times
    // would jitter with each solve's length.
    const std::int64_t now = monotonicNanoseconds();
    const double sweep = publication.startedNs != 0
                             ? secondsBetween(publication.startedNs, average.startedNs)
                             : secondsBetween(average.startedNs, now);
    publication.startedNs = average.startedNs;
    if (const std::optional<int> fps = frameRate->add(sweep)) emit fpsReady(*fps);
    clock.restart();
    emit frameId(average.total);
    emit spectrumReady(liveSpectrum, saturated);
    clock.lap(Stage::Signal);
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

}  // namespace Brevanta
