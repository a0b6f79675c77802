// The operator's changes of settings during live acquisition, each made as
// the main window makes it: exposure time, gain, averages, wavelength range
// (colorimetry on or off), dark on and off, automatic exposure on and off.
// Each change is an operation of the soak, named after what it changes.
#pragma once

#include <random>

#include "EventChannel.h"
#include "acquisition/KelSpectro.h"
#include "spectra/cSpectraUtility.h"

namespace kelo::soak {

class SettingsChanges {
public:
    // The states of a freshly set-up instrument.
    SettingsChanges(cSpectraUtility& utility, Brevanta::KelSpectro& controller,
                    EventChannel& events);

    // Makes one change, chosen with `random`, and counts it.
    void changeOne(std::mt19937_64& random);

private:
    enum class Kind { Exposure, Gain, Averages, Range, Dark, AutoExposure };
    static const char* operationOf(Kind kind);
    void change(Kind kind, std::mt19937_64& random);
    void changeExposure(std::mt19937_64& random);
    void changeGain(std::mt19937_64& random);
    void changeAverages(std::mt19937_64& random);
    void toggleRange();
    void toggleDark();
    void toggleAutoExposure();

    cSpectraUtility& utility;
    Brevanta::KelSpectro& controller;
    EventChannel& events;
    bool restrictedRange = true;
    bool darkOn = false;
    bool autoExposureOn = false;
};

}  // namespace kelo::soak
