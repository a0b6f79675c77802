// The camera's brightness controller: after each frame it moves exposure
// (within the auto-exposure limits) and then gain towards the brightness
// aim, as far as their automatic modes allow.
#pragma once

#include "CameraSettings.h"

namespace kelo::simcam {

// `settings` are the camera's settings now; the frame was taken with
// `frameExposureUs` and `frameGainDb`, and its brightest visible cell window
// had `brightestSignal` counts (12-bit) above dark. A mode set to "Once" goes
// back to "Off" once its setting has arrived or hit a limit.
void adjustAutomaticSettings(CameraSettings& settings, double frameExposureUs, double frameGainDb,
                             double brightestSignal);

}  // namespace kelo::simcam
