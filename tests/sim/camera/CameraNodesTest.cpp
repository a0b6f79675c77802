// The simulated camera's nodes: names, limits, access while grabbing, and
// the SDK's errors for misuse.
#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "SimCameraTestSupport.h"
#include "simcam/SensorModel.h"
#include "simcam/SimulatedCameras.h"

namespace kelo::simcamtest {
namespace {

using camera::AccessMode;

class CameraNodesTest : public SimCameraTest {};

TEST_F(CameraNodesTest, EnumerationListsThePluggedCamerasWithTheirUnitNames) {
    simcam::SimulatorSettings settings = quietSettings();
    settings.cameras = {{"1", "K3S00001"}, {"2", "K3S00002"}, {"3", "K3S00003"}};
    simcam::configure(settings);
    camera::DeviceInfoList list = {{"stale", "stale", "simulated"}};
    EXPECT_EQ(simcam::simulatedCameras().enumerateDevices(list), 3u);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].serialNumber, "1");
    EXPECT_EQ(list[2].userDefinedName, "K3S00003");
    EXPECT_EQ(simcam::simulatedCameras().enumerateDevices(list, true), 6u);
    EXPECT_THROW(simcam::simulatedCameras().createDevice({"4", "K3S00004", "simulated"}),
                 camera::RuntimeException);
}

TEST_F(CameraNodesTest, ExposureAndGainAcceptTheirLimitsAndRefuseBeyond) {
    auto device = openCamera();
    camera::FloatNode& exposure = camera::required(device->nodeMap().floatNode("ExposureTime"));
    const simcam::SensorModel& model = simcam::sensorModel();
    EXPECT_EQ(exposure.minimum(), model.minExposureUs);
    EXPECT_EQ(exposure.maximum(), model.maxExposureUs);
    exposure.setValue(exposure.maximum());
    EXPECT_EQ(exposure.value(), model.maxExposureUs);
    EXPECT_THROW(exposure.setValue(exposure.maximum() + 1.0), camera::OutOfRangeException);
    EXPECT_THROW(exposure.setValue(std::nan("")), camera::OutOfRangeException);
    EXPECT_EQ(exposure.value(), model.maxExposureUs);

    camera::FloatNode& gain = camera::required(device->nodeMap().floatNode("Gain"));
    EXPECT_EQ(gain.minimum(), 0.0);
    EXPECT_EQ(gain.maximum(), 24.0);
    gain.setValue(12.5);
    EXPECT_EQ(gain.value(), 12.5);
    EXPECT_THROW(gain.setValue(-0.1), camera::OutOfRangeException);
    EXPECT_EQ(camera::required(device->nodeMap().floatNode("ResultingFrameRate")).accessMode(),
              AccessMode::ReadOnly);
}

TEST_F(CameraNodesTest, RegionStaysOnTheSensor) {
    auto device = openCamera();
    camera::IntegerNode& width = camera::required(device->nodeMap().integerNode("Width"));
    camera::IntegerNode& offsetX = camera::required(device->nodeMap().integerNode("OffsetX"));
    EXPECT_EQ(width.maximum(), 1440);
    width.setValue(1280);
    EXPECT_EQ(offsetX.maximum(), 160);
    offsetX.setValue(160);
    EXPECT_EQ(width.maximum(), 1280);
    EXPECT_THROW(width.setValue(1281), camera::OutOfRangeException);
    EXPECT_THROW(offsetX.setValue(161), camera::OutOfRangeException);
    EXPECT_THROW(width.setValue(15), camera::OutOfRangeException);

    // 2 x 2 binning halves the pixel grid and keeps the field of view.
    setInteger(*device, "BinningHorizontal", 2);
    EXPECT_EQ(width.value(), 640);
    EXPECT_EQ(offsetX.value(), 80);
    EXPECT_EQ(width.maximum(), 640);
    EXPECT_THROW(setInteger(*device, "BinningVertical", 3), camera::OutOfRangeException);
}

TEST_F(CameraNodesTest, FrameRateFollowsExposureAndReadOut) {
    auto device = openCamera();
    setUnitWindow(*device, 1000.0, 0.0);
    const double shortExposureRate = floatValue(*device, "ResultingFrameRate");
    EXPECT_GT(shortExposureRate, 140.0);  // read-out of about 6-7 ms limits it
    EXPECT_LT(shortExposureRate, 170.0);

    setEnumeration(*device, "PixelFormat", "Mono8");
    EXPECT_GT(floatValue(*device, "ResultingFrameRate"), 1.5 * shortExposureRate);
    setEnumeration(*device, "PixelFormat", "Mono12");
    setInteger(*device, "BinningVertical", 2);
    setInteger(*device, "BinningHorizontal", 2);
    EXPECT_GT(floatValue(*device, "ResultingFrameRate"), 1.5 * shortExposureRate);

    setFloat(*device, "ExposureTime", 50000.0);
    EXPECT_DOUBLE_EQ(floatValue(*device, "ResultingFrameRate"), 20.0);
}

TEST_F(CameraNodesTest, SizeAndFormatAreLockedWhileGrabbingButExposureIsNot) {
    auto device = openCamera();
    setUnitWindow(*device, 2000.0, 0.0);
    device->startGrabbing(camera::GrabStrategy::LatestImageOnly, camera::GrabLoop::ProvidedByUser);
    camera::NodeMap& nodes = device->nodeMap();
    EXPECT_EQ(nodes.integerNode("Width")->accessMode(), AccessMode::ReadOnly);
    EXPECT_EQ(nodes.enumerationNode("PixelFormat")->accessMode(), AccessMode::ReadOnly);
    EXPECT_THROW(nodes.integerNode("Height")->setValue(100), camera::AccessException);
    EXPECT_EQ(nodes.integerNode("OffsetY")->accessMode(), AccessMode::ReadWrite);

    // Writes from another thread while frames keep coming.
    std::thread writer([&nodes] {
        for (int i = 0; i < 200; ++i) {
            nodes.floatNode("ExposureTime")->setValue(1000.0 + 10.0 * i);
            nodes.floatNode("Gain")->setValue(i % 10);
        }
    });
    camera::GrabResult result;
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(device->retrieveResult(1000, result, camera::TimeoutHandling::Return));
    writer.join();
    EXPECT_EQ(floatValue(*device, "ExposureTime"), 2990.0);
    device->stopGrabbing();
    EXPECT_EQ(nodes.integerNode("Width")->accessMode(), AccessMode::ReadWrite);
}

TEST_F(CameraNodesTest, EnumerationsTakeOnlyTheirSymbols) {
    auto device = openCamera();
    camera::EnumerationNode& format =
        camera::required(device->nodeMap().enumerationNode("PixelFormat"));
    EXPECT_TRUE(format.hasSymbol("Mono8"));
    EXPECT_TRUE(format.hasSymbol("Mono12"));
    EXPECT_FALSE(format.hasSymbol("RGB8"));
    EXPECT_THROW(format.setValue("RGB8"), camera::OutOfRangeException);
    format.setValue("Mono12");
    EXPECT_EQ(format.value(), "Mono12");

    const char* const nodes[][2] = {{"GainAuto", "Continuous"},
                                    {"ExposureAuto", "Once"},
                                    {"TestPattern", "Off"},
                                    {"OverlapMode", "Off"},
                                    {"TriggerSelector", "FrameStart"},
                                    {"TriggerMode", "On"},
                                    {"TriggerSource", "Line1"},
                                    {"TriggerActivation", "FallingEdge"},
                                    {"AcquisitionMode", "Continuous"},
                                    {"TriggerSource", "Software"}};
    for (const auto& [name, symbol] : nodes) {
        setEnumeration(*device, name, symbol);
        EXPECT_EQ(device->nodeMap().enumerationNode(name)->value(), symbol) << name;
    }
    // A node asked for with the wrong type does not exist.
    EXPECT_EQ(device->nodeMap().floatNode("PixelFormat"), nullptr);
    EXPECT_EQ(device->nodeMap().integerNode("NoSuchNode"), nullptr);
}

TEST_F(CameraNodesTest, TheTriggerLineIsAnInputAndTheLampLineAnOutput) {
    auto device = openCamera();
    setEnumeration(*device, "LineSelector", "Line1");
    EXPECT_THROW(setEnumeration(*device, "LineMode", "Output"), camera::OutOfRangeException);
    EXPECT_THROW(setEnumeration(*device, "LineSource", "UserOutput1"), camera::AccessException);
    setLamp(*device, 1);
    EXPECT_EQ(device->nodeMap().enumerationNode("LineSource")->value(), "UserOutput1");
    EXPECT_TRUE(device->nodeMap().booleanNode("UserOutputValue")->value());
    setEnumeration(*device, "LineSelector", "Line1");
    EXPECT_EQ(device->nodeMap().enumerationNode("LineMode")->value(), "Input");
}

TEST_F(CameraNodesTest, ARemovedNodeIsMissingFromTheNextOpen) {
    auto device = openCamera();
    simcam::removeNode(kSerial, "TestPattern");
    EXPECT_NE(device->nodeMap().enumerationNode("TestPattern"), nullptr);
    device->close();
    EXPECT_THROW(device->nodeMap(), camera::LogicalErrorException);
    device->open();
    EXPECT_EQ(device->nodeMap().enumerationNode("TestPattern"), nullptr);
    EXPECT_THROW(camera::required(device->nodeMap().enumerationNode("TestPattern")),
                 camera::LogicalErrorException);
    EXPECT_NE(device->nodeMap().enumerationNode("OverlapMode"), nullptr);

    // A new configuration brings the node back.
    simcam::configure(quietSettings());
    device->close();
    device->open();
    EXPECT_NE(device->nodeMap().enumerationNode("TestPattern"), nullptr);
}

TEST_F(CameraNodesTest, GrabbingNeedsAnOpenCamera) {
    auto device = openCamera();
    device->close();
    EXPECT_THROW(
        device->startGrabbing(camera::GrabStrategy::OneByOne, camera::GrabLoop::ProvidedByUser),
        camera::LogicalErrorException);
    EXPECT_FALSE(device->isGrabbing());
}

}  // namespace
}  // namespace kelo::simcamtest
