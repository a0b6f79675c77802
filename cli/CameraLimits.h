// The camera settings a command accepts: frames per spectrum, and the
// exposure times and gains the camera accepts. The commands check the
// operator's settings against the camera's limits before applying any: the
// camera itself would ignore a value outside them without a word.
#pragma once

#include <optional>
#include <string>

#include "ArgumentList.h"

namespace Brevanta {
class KelDevice;
}

namespace kelo::cli {

// Frames averaged into one spectrum.
inline constexpr WholeNumberRange kAveragesRange{1, 100000};

struct CameraLimits {
    std::optional<NumberRange> exposureMs;  // empty when the camera does not say
    std::optional<NumberRange> gain;
};

// The limits of `device`, which is open.
CameraLimits limitsOf(Brevanta::KelDevice& device);
// The limits of the first listed camera, which the caller's controller has
// opened.
CameraLimits firstCameraLimits();

// The refusal of the first requested setting that `limits` do not admit,
// naming its option (--exposure-ms, --gain) and the accepted range; empty
// when every requested setting fits.
std::string settingsRefusal(const CameraLimits& limits, std::optional<double> exposureMs,
                            std::optional<double> gain);

}  // namespace kelo::cli
