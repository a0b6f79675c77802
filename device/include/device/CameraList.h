// The cameras plugged in now, with their user-defined names, for listings:
// the device factory lists serial numbers only, and names only the cameras
// it attached.
#pragma once

#include "camera/CameraDevice.h"

namespace kelo::device {

// In enumeration order; empty when none is plugged in or the SDK failed.
camera::DeviceInfoList listCameras();

}  // namespace kelo::device
