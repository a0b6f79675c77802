// Tests against the simulated camera, through the program's own registry:
// the SDK is started once per process, as in the programs. Each test plugs
// in cameras of its own (fresh serial numbers), all showing one synthetic
// unit written once per test program into a scratch working folder.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "SimulatedUnitFolder.h"
#include "device/DeviceRegistry.h"
#include "device/KelDevice.h"
#include "simcam/SimulatorControl.h"

namespace kelo::devicetest {

constexpr const char* kUnitId = "K3S00042";

class SimulatedCameraTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

    // Plugs in exactly `count` new cameras showing the unit (noise off,
    // white scene) and returns their serial numbers.
    std::vector<std::string> plugCameras(std::size_t count);
    // One new camera, attached, with a device of the registry; fails the
    // test when that does not work.
    Brevanta::KelDevice* attachOneCamera();
    // attachOneCamera, then opened with 1 x 1 binning.
    Brevanta::KelDevice* openOneCamera();

    DeviceRegistry& registry = DeviceRegistry::instance();
    std::string serial;  // of the camera attachOneCamera plugged in

private:
    static std::unique_ptr<kelo::test::SimulatedUnitFolder> folder;
};

// The largest pixel value of a frame, 0 for an empty one.
std::uint16_t brightest(const Frame& frame);
// The mean pixel value of a frame, 0 for an empty one.
double meanLevel(const Frame& frame);

}  // namespace kelo::devicetest
