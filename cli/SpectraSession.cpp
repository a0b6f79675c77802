#include "SpectraSession.h"

#include "CameraLimits.h"
#include "Commands.h"
#include "device/KelDevice.h"

namespace kelo::cli {

std::shared_ptr<Brevanta::KelSpectro> openSpectraSession(cSpectraUtility& utility,
                                                         const std::string& command,
                                                         const CameraSettings& settings,
                                                         int& failureStatus) {
    failureStatus = 1;
    std::shared_ptr<Brevanta::KelSpectro> spectro = utility.getSpectro();
    if (spectro == nullptr) {
        commandFailure(command, "no camera attached");
        return nullptr;
    }
    if (!utility.initSpectro()) {
        commandFailure(command, "the first camera cannot be used");
        return nullptr;
    }
    if (settings.exposureMs || settings.gain) {
        const std::string refused =
            settingsRefusal(firstCameraLimits(), settings.exposureMs, settings.gain);
        if (!refused.empty()) {
            spectro->closeDevice();
            failureStatus = usageError(command, refused);
            return nullptr;
        }
    }
    if (settings.averages) spectro->setAverages(*settings.averages);
    if (settings.exposureMs) spectro->setExposureTime(*settings.exposureMs * 1000.0);
    if (settings.gain) spectro->setGain(*settings.gain);
    spectro->setFlashMode(Brevanta::KelDevice::kFlashDuringExposure);
    return spectro;
}

}  // namespace kelo::cli
