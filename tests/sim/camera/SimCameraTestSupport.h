// Helpers of the simulated-camera tests: a synthetic unit K3S00042 in a
// scratch working folder, the simulator pointed at it, cameras opened
// through the SDK, node settings, grabs, and the unit's files read back
// independently of the camera to compute what a frame must show.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "../SimTestSupport.h"
#include "camera/CameraDevice.h"
#include "simcam/SimulatorControl.h"

namespace kelo::simcamtest {

constexpr const char* kSerial = "40012345";
constexpr const char* kUnitId = "K3S00042";

struct Pixel {
    int x = 0;
    int y = 0;
};

// The default unit's geometry and transfer matrix, decoded here.
struct UnitView {
    std::vector<Pixel> cellCentres;
    std::vector<Pixel> badPixels;
    DenseMatrix transfer;  // kCells x kPoints, columns from 380 nm
};

// Suites whose tests drive simulated cameras of the default unit. Each test
// starts from a simulator with the default camera, noise off and the scene
// "halogen", reading units from the suite's working folder.
class SimCameraTest : public simtest::DefaultUnitTest {
public:
    static const UnitView& unit();

protected:
    void SetUp() override;
    void TearDown() override;

    static simcam::SimulatorSettings quietSettings();

    // A device for the first enumerated camera with `serial`, opened.
    static std::unique_ptr<camera::CameraDevice> openCamera(const std::string& serial = kSerial);
};

void setFloat(camera::CameraDevice& device, const char* name, double value);
void setInteger(camera::CameraDevice& device, const char* name, std::int64_t value);
void setEnumeration(camera::CameraDevice& device, const char* name, const char* symbol);
void setBoolean(camera::CameraDevice& device, const char* name, bool value);
double floatValue(camera::CameraDevice& device, const char* name);

// The unit's window as the spectrometer uses it: 1280 x 670 at the sensor's
// origin, Mono12, with the exposure and gain given.
void setUnitWindow(camera::CameraDevice& device, double exposureUs, double gainDb);

// The output line drives the lamp: 0 off, 1 on, 2 during exposure.
void setLamp(camera::CameraDevice& device, int mode);

// One image of a grab limited to one; fails the test when none comes.
camera::GrabResult grabOne(camera::CameraDevice& device, unsigned timeoutMs = 3000);

// The result's pixels, 8-bit values widened.
std::vector<std::uint16_t> pixelsOf(const camera::GrabResult& result);

// Mean of each cell's 17 x 17 window around its centre, skipping the unit's
// bad pixels.
std::vector<double> windowMeans(const std::vector<std::uint16_t>& pixels, int width);

// exposure x gain x k x (T s) for each cell: the signal above dark.
std::vector<double> expectedSignals(const std::string& scene, double exposureUs, double gainDb);

// The simulated camera stamps its frames on the steady clock, so a test can
// set moments of its own against their stamps: now, as such a stamp.
inline std::int64_t stampNow() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Waits until `condition` holds or `timeout` passes; returns the last value.
template <typename Condition>
bool eventually(Condition condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace kelo::simcamtest
