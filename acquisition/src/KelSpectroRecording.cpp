// Recording of frame series: cell values first, spectra afterwards, so that
// the solver does not limit the frame rate.
#include <QCoreApplication>

#include "AcquisitionGuard.h"
#include "acquisition/KelSpectro.h"
#include "device/KelDevice.h"
#include "engine/SpectralProcessor.h"

namespace Brevanta {

bool KelSpectro::recordInterfero(int numOfSamples, int skipFrame) {
    kelo::acquisition::AcquisitionGuard guard(acquisitionBusy);
    if (!guard.isAdmitted() || device == nullptr || processor == nullptr) return false;
    recorded.clear();
    // Nothing to grab: the camera is not started.
    if (numOfSamples < 1 || skipFrame < 1) return false;
    try {
        bool ok = false;
        int frames = 0;
        const double fps = device->getResultingFrameRate();
        device->setTriggerMode(KelDevice::kSoftwareTrigger);
        device->setGrabMode(KelDevice::kGrabEveryImage);
        for (int captureId = 1; captureId <= numOfSamples; ++captureId) {
            for (int k = 0; k < skipFrame; ++k) {
                QCoreApplication::processEvents();
                if (stopRecording) {
                    device->stopGrabbing();
                    return false;
                }
                ok = device->retrieveFrame(frame);
                if (!ok) break;  // this sample is over; the next one starts
                ++frames;
                ok = processor->computeCellValues(frame, cells);
                if (!ok) continue;
                if (k == 0) recorded.push_back(cells);
                emit recordedfps(fps, frames, captureId);
            }
        }
        device->setGrabMode(KelDevice::kGrabStop);
        return ok;
    } catch (...) {
        errorCode = kErrorRaised;
        stopGrabQuietly();
        return false;
    }
}

void KelSpectro::processRecordedInterfero() {
    if (processor == nullptr) return;
    try {
        std::vector<double> sampleSpectrum;
        // The size is read again each time: a recording started from the
        // events processed here may have replaced the samples.
        for (std::size_t index = 0; index < recorded.size(); ++index) {
            QCoreApplication::processEvents();
            if (stopRecording) {
                if (device != nullptr) device->stopGrabbing();
                return;
            }
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
