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

// The utility's controller, initialised from the unit's files with the
// settings applied and the lamp on during exposure; null with the reason on
// standard error (naming `command`).
std::shared_ptr<Brevanta::KelSpectro> openSpectraSession(cSpectraUtility& utility,
                                                         const std::string& command,
                                                         const CameraSettings& settings);

}  // namespace kelo::cli
