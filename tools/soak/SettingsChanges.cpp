#include "SettingsChanges.h"

namespace kelo::soak {

namespace {

// The ranges the operator picks from: milliseconds, decibels, frames.
constexpr double kExposureMinMs = 1.0;
constexpr double kExposureMaxMs = 60.0;
constexpr int kGainMaxDb = 24;
constexpr int kAveragesMax = 8;
constexpr int kKinds = 6;

}  // namespace

SettingsChanges::SettingsChanges(cSpectraUtility& utility, Brevanta::KelSpectro& controller)
    : utility(utility), controller(controller) {}

void SettingsChanges::changeOne(std::mt19937_64& random) {
    switch (std::uniform_int_distribution<int>(0, kKinds - 1)(random)) {
        case 0:
            changeExposure(random);
            break;
        case 1:
            changeGain(random);
            break;
        case 2:
            changeAverages(random);
            break;
        case 3:
            toggleRange();
            break;
        case 4:
            toggleDark();
            break;
        default:
            toggleAutoExposure();
            break;
    }
}

void SettingsChanges::changeExposure(std::mt19937_64& random) {
    // The exposure box is disabled while the camera sets the exposure.
    if (autoExposureOn) toggleAutoExposure();
    const double ms =
        std::uniform_real_distribution<double>(kExposureMinMs, kExposureMaxMs)(random);
    controller.setExposureTime(ms * 1000.0);
}

void SettingsChanges::changeGain(std::mt19937_64& random) {
    controller.setGain(std::uniform_int_distribution<int>(0, kGainMaxDb)(random));
}

void SettingsChanges::changeAverages(std::mt19937_64& random) {
    controller.setAverages(std::uniform_int_distribution<int>(1, kAveragesMax)(random));
}

void SettingsChanges::toggleRange() {
    // The Color action: colorimetry works on the restricted grid.
    restrictedRange = !restrictedRange;
    controller.setRestrictedRange(restrictedRange);
    utility.clearCollected();
    utility.setColorimetry(restrictedRange);
    utility.setWavelengths(controller.getWavelengths());
}

void SettingsChanges::toggleDark() {
    darkOn = !darkOn;
    // Dark on: collect one (the live loop takes its next average), then
    // subtract it.
    if (darkOn) utility.collectDark();
    controller.setDarkSubtraction(darkOn);
}

void SettingsChanges::toggleAutoExposure() {
    autoExposureOn = !autoExposureOn;
    if (autoExposureOn) {
        controller.setExposureAutoContinuous();
    } else {
        controller.setExposureAutoOff();
    }
    utility.setExposureNormalisation(autoExposureOn);
    utility.clearCollected();
}

}  // namespace kelo::soak
