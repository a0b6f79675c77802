// Attaching, listing and creating devices for simulated cameras through the
// program's registry.
#include <gtest/gtest.h>

#include "OutputCapture.h"
#include "SimulatedCameraFixture.h"
#include "device/KelDeviceBFactory.h"

namespace {

namespace simcam = kelo::simcam;
using kelo::devicetest::kUnitId;
using kelo::test::OutputCapture;
using kelo::devicetest::SimulatedCameraTest;

using Factory = SimulatedCameraTest;

TEST_F(Factory, OfThreeCamerasListsAllButAttachesOnlyTheFirstTwo) {
    const std::vector<std::string> serials = plugCameras(3);
    OutputCapture output;
    ASSERT_TRUE(registry.initialize());
    EXPECT_EQ(output.stdOut(),
              "Camera created" + serials[0] + "\nCamera created" + serials[1] + "\n");

    std::vector<std::string> ids;
    registry.getDeviceList(ids);
    EXPECT_EQ(ids, serials);
    const std::uint16_t created = registry.createdCount();
    Brevanta::KelDevice* first = registry.createDevice(serials[0]);
    Brevanta::KelDevice* second = registry.createDevice(serials[1]);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(registry.createDevice(serials[2]), nullptr);
    EXPECT_EQ(registry.createdCount(), created + 3);
    EXPECT_TRUE(first->isConnected());
    EXPECT_EQ(first->getUserDefinedName(), kUnitId);
}

TEST_F(Factory, WithoutCamerasSaysSoOncePerInitialize) {
    plugCameras(0);
    OutputCapture output;
    EXPECT_FALSE(registry.initialize());
    EXPECT_EQ(output.stdOut(), "no device present\n");
    EXPECT_FALSE(registry.initialize());
    EXPECT_EQ(output.stdOut(), "no device present\nno device present\n");

    std::vector<std::string> ids = {"stale"};
    registry.getDeviceList(ids);
    EXPECT_TRUE(ids.empty());
}

TEST_F(Factory, SerialNumbersMatchExactlyIncludingLetterCase) {
    simcam::SimulatorSettings settings = simcam::currentSettings();
    settings.cameras = {{"K3cam01X", kUnitId}};
    simcam::configure(settings);
    OutputCapture quiet;
    ASSERT_TRUE(registry.initialize());
    std::vector<std::string> ids;
    registry.getDeviceList(ids);
    EXPECT_EQ(registry.createDevice("k3cam01x"), nullptr);
    EXPECT_EQ(registry.createDevice("K3CAM01X"), nullptr);
    EXPECT_EQ(registry.createDevice("K3cam01"), nullptr);
    EXPECT_NE(registry.createDevice("K3cam01X"), nullptr);
}

// Unplugging the first camera shifts the list; the device for the second
// camera must still drive the second camera, not the first one's slot.
TEST_F(Factory, CreateDeviceAfterAnUnplugBindsTheCameraOfThatSerialNumber) {
    const std::vector<std::string> serials = plugCameras(3);
    OutputCapture quiet;
    ASSERT_TRUE(registry.initialize());
    ASSERT_TRUE(simcam::unplug(serials[0]));
    std::vector<std::string> ids;
    registry.getDeviceList(ids);
    ASSERT_EQ(ids, (std::vector<std::string>{serials[1], serials[2]}));

    Brevanta::KelDevice* device = registry.createDevice(serials[1]);
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(device->isConnected());
    ASSERT_TRUE(device->open(false));
    EXPECT_EQ(device->serialNumber, serials[1]);
    // Listed now but never attached.
    EXPECT_EQ(registry.createDevice(serials[2]), nullptr);
}

TEST_F(Factory, DevicesOfAnEarlierInitializeFailQuietlyAfterANewOne) {
    Brevanta::KelDevice* old = openOneCamera();
    ASSERT_NE(old, nullptr);
    OutputCapture output;
    ASSERT_TRUE(registry.initialize());
    EXPECT_FALSE(old->isConnected());
    Frame frame;
    EXPECT_FALSE(old->snap(frame));
    old->close();
}

TEST_F(Factory, AnswersAQtInterfaceCastWithItsFactoryPart) {
    Brevanta::KelDeviceBFactory factory;
    QObject* object = &factory;
    EXPECT_EQ(qobject_cast<Brevanta::KelIFactory*>(object),
              static_cast<Brevanta::KelIFactory*>(&factory));
    EXPECT_STREQ(qobject_interface_iid<Brevanta::KelIFactory*>(), "KelIFactory");
}

}  // namespace
