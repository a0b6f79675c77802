#include "SimulatedCameraFixture.h"

#include <algorithm>
#include <numeric>
#include <sstream>

#include "OutputCapture.h"
#include "sim/SyntheticUnit.h"

namespace kelo::devicetest {

std::unique_ptr<kelo::test::ScopedWorkDir> SimulatedCameraTest::folder;

void SimulatedCameraTest::SetUpTestSuite() {
    folder = std::make_unique<kelo::test::ScopedWorkDir>();
    sim::SyntheticUnitOptions options;
    options.id = kUnitId;
    options.root = folder->path();
    std::ostringstream log;
    ASSERT_EQ(sim::writeSyntheticUnit(options, log), "");
}

void SimulatedCameraTest::TearDownTestSuite() {
    // No camera may go on rendering from the folder about to be removed.
    simcam::SimulatorSettings unplugged;
    unplugged.cameras.clear();
    simcam::configure(unplugged);
    folder.reset();
}

std::vector<std::string> SimulatedCameraTest::plugCameras(std::size_t count) {
    static int nextSerial = 50000000;
    simcam::SimulatorSettings settings;
    settings.cameras.clear();
    std::vector<std::string> serials;
    for (std::size_t i = 0; i < count; ++i) {
        serials.push_back(std::to_string(nextSerial++));
        settings.cameras.push_back({serials.back(), kUnitId});
    }
    settings.scene = "white";
    settings.noise = false;
    settings.root = folder->path();
    simcam::configure(settings);
    return serials;
}

Brevanta::KelDevice* SimulatedCameraTest::attachOneCamera() {
    serial = plugCameras(1).front();
    test::OutputCapture quiet;
    EXPECT_TRUE(registry.initialize());
    std::vector<std::string> ids;
    registry.getDeviceList(ids);
    EXPECT_EQ(ids, std::vector<std::string>{serial});
    Brevanta::KelDevice* device = registry.createDevice(serial);
    EXPECT_NE(device, nullptr);
    return device;
}

Brevanta::KelDevice* SimulatedCameraTest::openOneCamera() {
    Brevanta::KelDevice* device = attachOneCamera();
    if (device != nullptr) {
        EXPECT_TRUE(device->open(false));
    }
    return device;
}

std::uint16_t brightest(const Frame& frame) {
    return frame.empty() ? 0 : *std::max_element(frame.begin(), frame.end());
}

double meanLevel(const Frame& frame) {
    if (frame.empty()) return 0.0;
    return std::accumulate(frame.begin(), frame.end(), 0.0) / static_cast<double>(frame.size());
}

}  // namespace kelo::devicetest
