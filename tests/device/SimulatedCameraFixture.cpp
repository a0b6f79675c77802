#include "SimulatedCameraFixture.h"

#include <algorithm>
#include <numeric>

#include "OutputCapture.h"

namespace kelo::devicetest {

std::unique_ptr<kelo::test::SimulatedUnitFolder> SimulatedCameraTest::folder;

void SimulatedCameraTest::SetUpTestSuite() {
    folder = std::make_unique<kelo::test::SimulatedUnitFolder>(kUnitId);
}

void SimulatedCameraTest::TearDownTestSuite() {
    folder.reset();
}

std::vector<std::string> SimulatedCameraTest::plugCameras(std::size_t count) {
    return folder->plugCameras(count, "white");
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
