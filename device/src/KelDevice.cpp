#include "device/KelDevice.h"

namespace Brevanta {

const char* describe(CameraFeature feature) {
    switch (feature) {
        case CameraFeature::Gain:
            return "gain";
        case CameraFeature::AutoExposure:
            return "automatic exposure";
        case CameraFeature::HardwareTrigger:
            return "hardware trigger";
        case CameraFeature::Flash:
            return "flash";
    }
    return "";
}

KelDevice::KelDevice(QObject* parent) : QObject(parent) {}

KelDevice::~KelDevice() = default;

}  // namespace Brevanta
