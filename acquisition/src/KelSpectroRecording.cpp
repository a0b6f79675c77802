// Recording of frame series: cell values first, spectra afterwards, so that
// the solver does not limit the frame rate.
#include <QCoreApplication>

#include "AcquisitionGuard.h"
#include "acquisition/KelSpectro.h"
#include "device/KelDevice.h"
#include "engine/SpectralProcessor.h"

namespace Brevanta {

bool KelSpectro::recordInterfero(int numOfSamples, int skipFrame) {
    kelo::acquisition::AcquisitionGuard guard(*gate);
    if (!mayStart(guard)) {
        emit acquisitionEnded(kErrorBusy);
        return false;
    }
    bool ok = false;
    stopRequested = false;
    errorCode = kNoError;
    {
        std::lock_guard<std::mutex> lock(recordedMutex);
        recorded.clear();
    }
    // Nothing to grab: the camera is not started.
    if (device != nullptr && processor != nullptr && numOfSamples >= 1 && skipFrame >= 1) {
        try {
            int frames = 0;
            const double fps = device->getResultingFrameRate();
            device->setTriggerMode(KelDevice::kSoftwareTrigger);
            bool stopped = !startGrab(KelDevice::kGrabEveryImage);
            for (int captureId = 1; captureId <= numOfSamples && !stopped; ++captureId) {
                for (int k = 0; k < skipFrame; ++k) {
                    QCoreApplication::processEvents();
                    stopped = stopRequested;
                    if (stopped) break;
                    ok = device->retrieveFrame(frame);
                    if (!ok) break;  // this sample is over; the next one starts
                    ++frames;
                    ok = processor->computeCellValues(frame, cells);
                    if (!ok) continue;
                    if (k == 0) {
                        std::lock_guard<std::mutex> lock(recordedMutex);
                        recorded.push_back(cells);
                    }
                    emit recordedfps(fps, frames, captureId);
                }
            }
            if (stopped) ok = false;
        } catch (...) {
            errorCode = kErrorRaised;
            ok = false;
        }
        stopGrabQuietly();
    }
    emit acquisitionEnded(errorCode);
    return ok;
}

void KelSpectro::processRecordedInterfero() {
    kelo::acquisition::AcquisitionGuard guard(*gate);
    if (!mayStart(guard) || processor == nullptr) return;
    stopRequested = false;
    try {
        std::vector<double> sampleSpectrum;
        // No recording can run meanwhile, so the samples stay as they are.
        for (std::size_t index = 0; index < recorded.size(); ++index) {
            QCoreApplication::processEvents();
            if (stopRequested) return;
            std::uint8_t flag = 0;
            if (!processor->solveSpectrum(recorded[index], sampleSpectrum, flag)) continue;
            saturated = flag != 0;
            emit saveSpectrum(sampleSpectrum, static_cast<int>(index), saturated);
        }
    } catch (...) {
        errorCode = kErrorRaised;
    }
}

}  // namespace Brevanta
