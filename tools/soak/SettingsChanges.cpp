#include "SettingsChanges.h"

#include "Protocol.h"

namespace kelo::soak {

namespace {

// The ranges the operator picks from: milliseconds, decibels, frames.
constexpr double kExposureMinMs = 1.0;
constexpr double kExposureMaxMs = 60.0;
constexpr int kGainMaxDb = 24;
constexpr int kAveragesMax = 8;
constexpr int kKinds = 6;

}  // namespace

SettingsChanges::SettingsChanges(cSpectraUtility& utility, Brevanta::KelSpectro& controller,
                                 EventChannel& events)
    : utility(utility), controller(controller), events(events) {}

void SettingsChanges::changeOne(std::mt19937_64& random) {
    const auto kind = static_cast<Kind>(std::uniform_int_distribution<int>(0, kKinds - 1)(random));
    {
        TimedOperation operation(events, operationOf(kind));
        change(kind, random);
    }
    events.count(counted::kSettingsChange);
}

const char* SettingsChanges::operationOf(Kind kind) {
    switch (kind) {
        case Kind::Exposure:
            return op::kExposure;
        case Kind::Gain:
            return op::kGain;
        case Kind::Averages:
            return op::kAverages;
        case Kind::Range:
            return op::kRange;
        case Kind::Dark:
            return op::kDark;
        case Kind::AutoExposure:
            break;
    }
    return op::kAutoExposure;
}

void SettingsChanges::change(Kind kind, std::mt19937_64& random) {
    switch (kind) {
        case Kind::Exposure:
            changeExposure(random);
            break;
        case Kind::Gain:
            changeGain(random);
            break;
        case Kind::Averages:
            changeAverages(random);
            break;
        case Kind::Range:
            toggleRange();
            break;
        case Kind::Dark:
            toggleDark();
            break;
        case Kind::AutoExposure:
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
