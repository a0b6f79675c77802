// The instrument through Aravis on its in-process fake camera (this program
// runs with KELO_CAMERA_BACKEND=aravis-fake): the fake camera stands in for
// the first simulated camera and its images are that camera's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <sstream>

#include "PackedPixels.h"
#include "SimulatedUnitFolder.h"
#include "backends/BackendChoice.h"
#include "camera/InstantCamera.h"
#include "config/SystemConfig.h"
#include "device/CameraList.h"
#include "device/DeviceRegistry.h"
#include "device/KelDevice_B.h"
#include "engine/SpectralProcessor.h"
#include "simcam/SimulatedCameras.h"
#include "simcam/SimulatorControl.h"

namespace {

using Brevanta::CameraFeature;
using Brevanta::KelDevice;

constexpr const char* kUnitId = "K3S00042";
constexpr double kExposureUs = 10000.0;

class AravisFakeCamera : public ::testing::Test {
protected:
    static void SetUpTestSuite() { folder = std::make_unique<kelo::test::SimulatedUnitFolder>(kUnitId); }
    static void TearDownTestSuite() { folder.reset(); }

    void SetUp() override {
        serial = folder->plugCameras(1, "fluorescent").front();
        SystemConfig record;
        std::ostringstream ignored;
        ASSERT_TRUE(record.load(kUnitId, ignored));
        record.getDataSize(width, height);
    }

    // The fake camera through the device layer, opened for the unit's image.
    KelDevice* openFakeCamera() {
        DeviceRegistry& registry = DeviceRegistry::instance();
        if (!registry.initialize()) return nullptr;
        std::vector<std::string> ids;
        registry.getDeviceList(ids);
        KelDevice* device = registry.createDevice(serial);
        if (device == nullptr || !device->open(false)) return nullptr;
        prepare(*device);
        return device;
    }

    void prepare(KelDevice& device) const {
        device.setImageSize(static_cast<int>(width), static_cast<int>(height));
        device.setImageOffset(0, 0);
        device.setExposureTime(kExposureUs);
        device.setGain(0.0);
    }

    static std::unique_ptr<kelo::test::SimulatedUnitFolder> folder;
    std::string serial;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

std::unique_ptr<kelo::test::SimulatedUnitFolder> AravisFakeCamera::folder;

// The restricted spectrum of one frame.
std::vector<double> spectrumOf(SpectralProcessor& processor, Frame frame) {
    std::vector<double> cells, spectrum;
    std::uint8_t saturated = 0;
    EXPECT_TRUE(processor.computeCellValues(std::move(frame), cells));
    EXPECT_TRUE(processor.solveSpectrum(cells, spectrum, saturated));
    return spectrum;
}

TEST_F(AravisFakeCamera, IsListedAsTheFirstSimulatedCameraAndTheNetworkIsNotSearched) {
    const kelo::camera::DeviceInfoList cameras = kelo::device::listCameras();
    ASSERT_EQ(cameras.size(), 1u);
    EXPECT_EQ(cameras[0].serialNumber, serial);
    EXPECT_EQ(cameras[0].userDefinedName, kUnitId);
    EXPECT_EQ(cameras[0].backend, "aravis-fake");
    EXPECT_FALSE(DeviceRegistry::networkSearch());
    DeviceRegistry::setNetworkSearch(true);
    EXPECT_FALSE(DeviceRegistry::networkSearch()) << "the fake camera never searches the network";

    folder->plugCameras(0, "fluorescent");
    EXPECT_TRUE(kelo::device::listCameras().empty());
}

TEST_F(AravisFakeCamera, ServesSettingsFramesAndTheTriggerAndNamesWhatItLacks) {
    KelDevice* device = openFakeCamera();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->serialNumber, serial);
    EXPECT_EQ(device->getUserDefinedName(), kUnitId);
    EXPECT_EQ(device->getWidth(), static_cast<int>(width));
    EXPECT_EQ(device->getHeight(), static_cast<int>(height));
    EXPECT_DOUBLE_EQ(device->getExposureTime(), kExposureUs);
    device->setGain(6.5);
    EXPECT_DOUBLE_EQ(device->getGain(), 6.5);
    device->setGain(0.0);
    const std::map<CameraFeature, std::string> lacking = {
        {CameraFeature::AutoExposure, "AutoExposureTimeLowerLimit"},
        {CameraFeature::Flash, "LineSelector"}};
    EXPECT_EQ(device->missingFeatures(), lacking);
    EXPECT_GT(device->getResultingFrameRate(), 0.0);

    ASSERT_TRUE(device->setGrabMode(KelDevice::kGrabEveryImage));
    Frame frame;
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(device->retrieveFrame(frame)) << "frame " << i;
        ASSERT_EQ(frame.size(), std::size_t(width) * height);
    }
    device->stopGrabbing();

    // Frames on the trigger line come with the pulses.
    device->setTriggerMode(KelDevice::kHardwareTrigger);
    ASSERT_TRUE(device->setGrabMode(KelDevice::kGrabEveryImage));
    kelo::simcam::setTriggerRate(50.0);
    EXPECT_TRUE(device->retrieveFrame(frame));
    kelo::simcam::setTriggerRate(0.0);
    device->stopGrabbing();
    device->setTriggerMode(KelDevice::kSoftwareTrigger);
    EXPECT_TRUE(device->snap(frame));
    device->close();
}

TEST_F(AravisFakeCamera, GivesTheSpectrumOfTheSimulatedCameraForTheSameScene) {
    std::ostringstream log;
    SpectralProcessor processor(log);
    ASSERT_TRUE(processor.initialize(kUnitId));
    KelDevice* fake = openFakeCamera();
    ASSERT_NE(fake, nullptr);
    Frame throughAravis;
    ASSERT_TRUE(fake->snap(throughAravis));
    fake->close();

    kelo::camera::DeviceInfoList cameras;
    kelo::simcam::simulatedCameras().enumerateDevices(cameras, false);
    kelo::camera::InstantCamera slot;
    slot.attach(kelo::simcam::simulatedCameras().createDevice(cameras.at(0)));
    Brevanta::KelDevice_B simulated(&slot);
    ASSERT_TRUE(simulated.open(false));
    prepare(simulated);
    Frame direct;
    ASSERT_TRUE(simulated.snap(direct));
    simulated.close();

    const std::vector<double> expected = spectrumOf(processor, direct);
    const std::vector<double> actual = spectrumOf(processor, throughAravis);
    ASSERT_EQ(actual.size(), expected.size());
    const double peak = *std::max_element(expected.begin(), expected.end());
    ASSERT_GT(peak, 0.0);
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-6 * peak) << "at " << i;
}

TEST_F(AravisFakeCamera, AnUnpluggedCameraIsLostAndGrabsFailWithoutACrash) {
    KelDevice* device = openFakeCamera();
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(device->setGrabMode(KelDevice::kGrabEveryImage));
    Frame frame;
    ASSERT_TRUE(device->retrieveFrame(frame));
    ASSERT_TRUE(kelo::simcam::unplug(serial));
    bool failed = false;
    for (int i = 0; i < 20 && !failed; ++i) failed = !device->retrieveFrame(frame);
    EXPECT_TRUE(failed);
    EXPECT_FALSE(device->isConnected());
    device->close();
}

TEST(BackendChoice, NamesEveryChoiceAndFallsBackToAutoWithOneLine) {
    using kelo::backends::BackendChoice;
    using kelo::backends::parseBackendChoice;
    std::string warning;
    EXPECT_EQ(parseBackendChoice(nullptr, warning), BackendChoice::Auto);
    EXPECT_EQ(parseBackendChoice("", warning), BackendChoice::Auto);
    EXPECT_EQ(parseBackendChoice("auto", warning), BackendChoice::Auto);
    EXPECT_EQ(parseBackendChoice("gige", warning), BackendChoice::Gige);
    EXPECT_EQ(parseBackendChoice("aravis-fake", warning), BackendChoice::AravisFake);
    EXPECT_EQ(parseBackendChoice("sim", warning), BackendChoice::Sim);
    EXPECT_EQ(warning, "");
    EXPECT_EQ(parseBackendChoice("GigE\n", warning), BackendChoice::Auto);
    EXPECT_EQ(warning,
              "KELO_CAMERA_BACKEND is \"GigE\\x0a\", not one of auto, gige, aravis-fake, sim: "
              "auto is used");
}

TEST(PackedPixels, BothTwelveBitLayoutsUnpackToWords) {
    // Pixels 0xABC, 0x123 and 0xFED (the last alone in one and a half bytes).
    const std::uint8_t mono12p[] = {0xBC, 0x3A, 0x12, 0xED, 0x0F};
    const std::uint8_t mono12Packed[] = {0xAB, 0x3C, 0x12, 0xFE, 0x0D};
    const std::vector<std::uint16_t> expected = {0xABC, 0x123, 0xFED};
    std::vector<std::uint16_t> words(3);
    kelo::arvcam::unpackMono12p(mono12p, 3, words.data());
    EXPECT_EQ(words, expected);
    kelo::arvcam::unpackMono12Packed(mono12Packed, 3, words.data());
    EXPECT_EQ(words, expected);
}

}  // namespace
