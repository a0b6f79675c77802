#include "SpectraSession.h"

#include <iostream>

#include "device/KelDevice.h"

namespace kelo::cli {

std::shared_ptr<Brevanta::KelSpectro> openSpectraSession(cSpectraUtility& utility,
                                                         const std::string& command,
                                                         const CameraSettings& settings) {
    std::shared_ptr<Brevanta::KelSpectro> spectro = utility.getSpectro();
    if (spectro == nullptr) {
        std::cerr << "kelo " << command << ": no camera attached\n";
        return nullptr;
    }
    if (!utility.initSpectro()) {
        std::cerr << "\nkelo " << command << ": the first camera cannot be used\n";
        return nullptr;
    }
    if (settings.averages) spectro->setAverages(*settings.averages);
    if (settings.exposureMs) spectro->setExposureTime(*settings.exposureMs * 1000.0);
    if (settings.gain) spectro->setGain(*settings.gain);
    spectro->setFlashMode(Brevanta::KelDevice::kFlashDuringExposure);
    return spectro;
}

}  // namespace kelo::cli
