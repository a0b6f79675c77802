#include "AutoExposure.h"

#include <algorithm>
#include <cmath>

namespace kelo::simcam {

namespace {

// Multiplies `value` by `factor` within [low, high]; returns the factor that
// is left over for the next setting.
double stepWithin(double& value, double factor, double low, double high) {
    const double wanted = value * factor;
    const double reached = std::clamp(wanted, low, high);
    const double leftOver = wanted / reached;
    value = reached;
    return leftOver;
}

bool arrived(double factor) {
    return std::abs(factor - 1.0) <= sensorModel().autoTolerance;
}

// A setting in mode "Once" is done when the aim is met or it hit a limit.
void settleOnce(AutoMode& mode, double factor, double leftOver) {
    if (mode == AutoMode::Once && (arrived(factor) || !arrived(leftOver))) mode = AutoMode::Off;
}

}  // namespace

void adjustAutomaticSettings(CameraSettings& settings, double frameExposureUs, double frameGainDb,
                             double brightestSignal) {
    if (settings.exposureAuto == AutoMode::Off && settings.gainAuto == AutoMode::Off) return;
    const SensorModel& model = sensorModel();
    const double aim = model.autoTargetFraction * (model.maxCount12 - model.darkLevel);
    const double factor =
        brightestSignal > 0.0
            ? std::clamp(aim / brightestSignal, 1.0 / model.maxAutoStep, model.maxAutoStep)
            : model.maxAutoStep;

    double leftOver = factor;
    if (settings.exposureAuto != AutoMode::Off) {
        const double lower =
            std::max(std::min(settings.autoExposureLowerUs, settings.autoExposureUpperUs),
                     model.minExposureUs);
        const double upper =
            std::min(std::max(settings.autoExposureLowerUs, settings.autoExposureUpperUs),
                     model.maxExposureUs);
        // Also when the aim is met: a frame outside the limits is brought in.
        double exposure = frameExposureUs;
        leftOver = stepWithin(exposure, arrived(factor) ? 1.0 : factor, lower, upper);
        settings.exposureUs = exposure;
        settleOnce(settings.exposureAuto, factor, leftOver);
        if (arrived(factor)) leftOver = 1.0;
    }
    if (settings.gainAuto != AutoMode::Off && !arrived(leftOver)) {
        double gain = linearGain(frameGainDb);
        const double gainLeftOver =
            stepWithin(gain, leftOver, linearGain(model.minGainDb), linearGain(model.maxGainDb));
        settings.gainDb = 20.0 * std::log10(gain);
        settleOnce(settings.gainAuto, leftOver, gainLeftOver);
    } else if (arrived(factor)) {
        settleOnce(settings.gainAuto, factor, 1.0);
    }
}

}  // namespace kelo::simcam
