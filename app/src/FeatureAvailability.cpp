#include "FeatureAvailability.h"

#include <utility>

namespace kelo::app {

using Brevanta::CameraFeature;

const std::vector<FeatureControlNames>& FeatureAvailability::controls() {
    // The flash modes are the ones that drive the lamp on the output line.
    static const std::vector<FeatureControlNames> all = {
        {CameraFeature::Gain, {"labelGainCaption", "spinBoxGain"}},
        {CameraFeature::AutoExposure,
         {"actionAE", "labelAEMinCaption", "doubleSpinBoxAEMin", "labelAEMaxCaption",
          "doubleSpinBoxAEMax"}},
        {CameraFeature::HardwareTrigger, {"actionHWTrigger"}},
        {CameraFeature::Flash, {"actionFlashOff", "actionFlashAuto", "actionFlashOn"}},
    };
    return all;
}

FeatureAvailability::FeatureAvailability(MissingNodes missing) : missing(std::move(missing)) {}

bool FeatureAvailability::serves(CameraFeature feature) const {
    return missing.count(feature) == 0;
}

QString FeatureAvailability::unavailableReason(CameraFeature feature) const {
    const auto lacking = missing.find(feature);
    if (lacking == missing.end()) return {};
    return QString("This camera has no %1 node: %2 is not available")
        .arg(QString::fromStdString(lacking->second), Brevanta::describe(feature));
}

}  // namespace kelo::app
