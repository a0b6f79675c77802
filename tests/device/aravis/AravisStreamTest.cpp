// One fake camera through the camera SDK interface alone: its nodes' limits
// and access, and its stream's fixed pool of buffers, results held across a
// stop, and a stop from another thread during a wait.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <vector>

#include "SimulatedUnitFolder.h"
#include "camera/CameraDevice.h"
#include "camera/InstantCamera.h"

namespace {

using namespace kelo::camera;

constexpr unsigned kWaitMs = 5000;

class AravisStream : public ::testing::Test {
protected:
    static void SetUpTestSuite() { folder = std::make_unique<kelo::test::SimulatedUnitFolder>("K3S00042"); }
    static void TearDownTestSuite() { folder.reset(); }

    void SetUp() override {
        folder->plugCameras(1, "fluorescent");
        DeviceInfoList cameras;
        ASSERT_EQ(transportLayerFactory().enumerateDevices(cameras), 1u);
        camera.attach(transportLayerFactory().createDevice(cameras.front()));
        camera.open();
        NodeMap& nodes = camera.nodeMap();
        required(nodes.integerNode("Width")).setValue(256);
        required(nodes.integerNode("Height")).setValue(64);
        required(nodes.floatNode("ExposureTime")).setValue(1000.0);
    }
    void TearDown() override { camera.destroyDevice(); }

    static std::unique_ptr<kelo::test::SimulatedUnitFolder> folder;
    InstantCamera camera;
};

std::unique_ptr<kelo::test::SimulatedUnitFolder> AravisStream::folder;

TEST_F(AravisStream, NodesKeepTheirLimitsAccessAndSymbols) {
    NodeMap& nodes = camera.nodeMap();
    FloatNode& gain = required(nodes.floatNode("Gain"));
    EXPECT_THROW(gain.setValue(gain.maximum() + 1.0), OutOfRangeException);
    IntegerNode& width = required(nodes.integerNode("Width"));
    EXPECT_THROW(width.setValue(width.maximum() + 1), OutOfRangeException);
    IntegerNode& sensorWidth = required(nodes.integerNode("SensorWidth"));
    EXPECT_EQ(sensorWidth.accessMode(), AccessMode::ReadOnly);
    EXPECT_THROW(sensorWidth.setValue(sensorWidth.value()), AccessException);
    // The camera keeps whole microseconds: within one step is what was written.
    FloatNode& exposure = required(nodes.floatNode("ExposureTime"));
    exposure.setValue(1234.4);
    EXPECT_DOUBLE_EQ(exposure.value(), 1234.0);
    EnumerationNode& format = required(nodes.enumerationNode("PixelFormat"));
    EXPECT_THROW(format.setValue("Mono10"), OutOfRangeException);
    format.setValue("Mono12");
    EXPECT_EQ(format.value(), "Mono12");
    EXPECT_EQ(nodes.enumerationNode("ExposureAuto"), nullptr);
    EXPECT_EQ(nodes.floatNode("Width"), nullptr) << "a node of another type is not served";
}

TEST_F(AravisStream, HeldResultsStarveTheStreamAndKeepTheirPixelsAfterTheStop) {
    camera.startGrabbing(GrabStrategy::OneByOne);
    std::vector<GrabResult> held;
    GrabResult result;
    while (camera.retrieveResult(kWaitMs, result, TimeoutHandling::Return)) {
        held.push_back(result);
        ASSERT_LE(held.size(), 64u) << "the stream has more buffers than its pool";
        if (held.size() == 8) break;
    }
    ASSERT_EQ(held.size(), 8u);
    EXPECT_FALSE(camera.retrieveResult(300, result, TimeoutHandling::Return))
        << "every buffer is held: no image can come";
    held.pop_back();
    result.reset();
    EXPECT_TRUE(camera.retrieveResult(kWaitMs, result, TimeoutHandling::Return));

    camera.stopGrabbing();
    camera.close();
    for (const GrabResult& image : held) {
        ASSERT_EQ(image->width(), 256);
        const auto* pixels = static_cast<const std::uint8_t*>(image->buffer());
        EXPECT_LE(pixels[256 * 64 - 1], 255);  // still readable
    }
}

TEST_F(AravisStream, AStopFromAnotherThreadEndsAWaitWithoutAnError) {
    required(camera.nodeMap().enumerationNode("TriggerMode")).setValue("On");
    camera.startGrabbing(GrabStrategy::OneByOne);
    auto waiting = std::async(std::launch::async, [this] {
        GrabResult result;
        return camera.retrieveResult(60000, result, TimeoutHandling::ThrowException);
    });
    // The wait has begun or is about to: either way the stop ends it.
    while (waiting.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready &&
           camera.isGrabbing())
        camera.stopGrabbing();
    ASSERT_EQ(waiting.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_FALSE(waiting.get());
    EXPECT_FALSE(camera.isGrabbing());
}

}  // namespace
