// The spectrum utility on the first camera, set up as the application sets
// it up at start, for the commands that save what the application saves.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "spectra/cSpectraUtility.h"

namespace kelo::cli {

struct CameraSettings {
    std::optional<int> averages;
    std::optional<double> exposureMs;  // the unit's user file when absent
    std::optional<double> gain;
};

// The utility's controller, initialised from the unit's files, with the
// settings applied and the lamp on during exposure. Exposure and gain are
// checked against the camera's limits first. Null with the reason on
// standard error (naming `command`) and `failureStatus` set to the exit
// status: 2 for a setting the camera does not accept, 1 otherwise.
std::shared_ptr<Brevanta::KelSpectro> openSpectraSession(cSpectraUtility& utility,
                                                         const std::string& command,
                                                         const CameraSettings& settings,
                                                         int& failureStatus);

}  // namespace kelo::cli
