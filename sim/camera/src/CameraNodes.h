// The node map of a simulated camera: every node reads and writes the
// camera's shared settings under their lock, so nodes may be used from any
// thread, also while the camera grabs.
#pragma once

#include <memory>
#include <set>
#include <string>

#include "CameraState.h"
#include "camera/NodeMap.h"

namespace kelo::simcam {

// All nodes of the camera except those named in `missing`. Size, binning and
// pixel format are read-only while the camera grabs; everything throws
// RuntimeException once the camera was removed.
std::unique_ptr<camera::NodeMap> makeCameraNodeMap(CameraState& state,
                                                   const std::set<std::string>& missing);

}  // namespace kelo::simcam
