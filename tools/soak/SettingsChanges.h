// The operator's changes of settings during live acquisition, each made as
// the main window makes it: exposure time, gain, averages, wavelength range
// (colorimetry on or off), dark on and off, automatic exposure on and off.
#pragma once

#include <random>

#include "acquisition/KelSpectro.h"
#include "spectra/cSpectraUtility.h"

namespace kelo::soak {

class SettingsChanges {
public:
    // The states of a freshly set-up instrument.
    SettingsChanges(cSpectraUtility& utility, Brevanta::KelSpectro& controller);

    // Makes one change, chosen with `random`.
    void changeOne(std::mt19937_64& random);

private:
    void changeExposure(std::mt19937_64& random);
    void changeGain(std::mt19937_64& random);
    void changeAverages(std::mt19937_64& random);
    void toggleRange();
    void toggleDark();
    void toggleAutoExposure();

    cSpectraUtility& utility;
    Brevanta::KelSpectro& controller;
    bool restrictedRange = true;
    bool darkOn = false;
    bool autoExposureOn = false;
};

}  // namespace kelo::soak
