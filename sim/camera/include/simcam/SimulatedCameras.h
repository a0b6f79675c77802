// The simulated cameras as one backend among others: their enumeration and
// devices, and the simulator's start (settings from the environment) and
// stop.
#pragma once

#include "camera/CameraDevice.h"

namespace kelo::simcam {

void startSimulator();
// Ends the pulse train and a pending unplug.
void stopSimulator();
// Never destroyed: devices may use it during static destruction.
camera::TransportLayerFactory& simulatedCameras();

}  // namespace kelo::simcam
