// The camera device's node settings and grabs against the simulated camera.
#include <gtest/gtest.h>

#include "OutputCapture.h"
#include "SimulatedCameraFixture.h"

namespace {

namespace simcam = kelo::simcam;
using kelo::devicetest::brightest;
using kelo::devicetest::meanLevel;
using kelo::devicetest::SimulatedCameraTest;
using kelo::test::OutputCapture;

using CameraDevice = SimulatedCameraTest;

// Long enough for the lit white scene to raise the mean of the unit's window
// above 255 in 12-bit counts.
constexpr double kBrightExposureUs = 200000.0;
constexpr int kUnitWidth = 1280;
constexpr int kUnitHeight = 670;

TEST_F(CameraDevice, OpensWithItsSerialNumberAndTwelveBitPixels) {
    Brevanta::KelDevice* device = openOneCamera();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->serialNumber, serial);
    EXPECT_TRUE(device->isConnected());

    device->setImageSize(kUnitWidth, kUnitHeight);
    EXPECT_EQ(device->getWidth(), kUnitWidth);
    EXPECT_EQ(device->getHeight(), kUnitHeight);
    device->setExposureTime(kBrightExposureUs);
    device->setFlashMode(2);
    Frame frame;
    ASSERT_TRUE(device->snap(frame));
    EXPECT_EQ(frame.size(), std::size_t{kUnitWidth} * kUnitHeight);
    EXPECT_GT(meanLevel(frame), 255.0);
    EXPECT_LE(brightest(frame), 4095);
    device->close();
}

// The same light in 8 bits is a sixteenth of its 12-bit counts.
TEST_F(CameraDevice, EightBitFormatDeliversBytesWidened) {
    Brevanta::KelDevice* device = openOneCamera();
    ASSERT_NE(device, nullptr);
    device->setImageSize(kUnitWidth, kUnitHeight);
    device->setPixelFormat(0);
    EXPECT_EQ(device->pixelFormat, 0);
    device->setExposureTime(kBrightExposureUs);
    device->setFlashMode(2);
    Frame frame;
    ASSERT_TRUE(device->snap(frame));
    EXPECT_LE(brightest(frame), 255);
    const double eightBitMean = meanLevel(frame);

    device->setPixelFormat(7);
    EXPECT_EQ(device->pixelFormat, 1);
    ASSERT_TRUE(device->snap(frame));
    EXPECT_GT(meanLevel(frame), 12.0 * eightBitMean);
    EXPECT_LT(meanLevel(frame), 20.0 * eightBitMean);
    device->close();
}

TEST_F(CameraDevice, BinningHalvesTheLargestWindow) {
    Brevanta::KelDevice* device = attachOneCamera();
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(device->open(true));
    OutputCapture output;
    device->setImageSize(720, 540);
    EXPECT_EQ(device->getWidth(), 720);
    EXPECT_EQ(output.stdErr(), "");
    device->setImageSize(1280, 670);
    EXPECT_EQ(output.stdErr(), "Cannot set Width and height \n");
    EXPECT_EQ(device->getWidth(), 720);
    EXPECT_EQ(device->getHeight(), 540);
    device->close();
}

TEST_F(CameraDevice, OffsetBeyondTheSensorIsReported) {
    Brevanta::KelDevice* device = openOneCamera();
    ASSERT_NE(device, nullptr);
    OutputCapture output;
    device->setImageSize(1280, 670);
    device->setImageOffset(16, 8);
    EXPECT_EQ(output.stdErr(), "");
    device->setImageOffset(400, 0);
    EXPECT_EQ(output.stdErr(), "Cannot set Offsets\n");
    device->close();
}

TEST_F(CameraDevice, ExposureLimitsAreInclusiveAndOutsideValuesIgnoredSilently) {
    Brevanta::KelDevice* device = openOneCamera();
    ASSERT_NE(device, nullptr);
    double min = 0.0;
    double max = 0.0;
    device->getExposureTimeRange(min, max);
    ASSERT_LT(min, max);

    OutputCapture output;
    device->setExposureTime(max);
    EXPECT_EQ(device->getExposureTime(), max);
    device->setExposureTime(max + 1.0);
    EXPECT_EQ(device->getExposureTime(), max);
    device->setExposureTime(min);
    EXPECT_EQ(device->getExposureTime(), min);
    device->setExposureTime(min - 0.001);
    EXPECT_EQ(device->getExposureTime(), min);
    EXPECT_EQ(output.stdOut() + output.stdErr(), "");
    device->close();
}

TEST_F(CameraDevice, GainOutOfRangeStillRefreshesTheGainField) {
    Brevanta::KelDevice* device = openOneCamera();
    ASSERT_NE(device, nullptr);
    double min = 0.0;
    double max = 0.0;
    device->getGainRange(min, max);
    ASSERT_LT(min, max);

    device->setGain(max);
    EXPECT_EQ(device->getGain(), max);
    device->setGain(6.0);
    EXPECT_EQ(device->getGain(), 6.0);
    OutputCapture output;
    device->setGain(max + 0.5);
    EXPECT_EQ(device->getGain(), 6.0);
    EXPECT_EQ(output.stdOut() + output.stdErr(), "");
    device->close();
}

TEST_F(CameraDevice, FlashLightsTheSceneOnlyWhenAskedAndIgnoresUnknownModes) {
    Brevanta::KelDevice* device = openOneCamera();
    ASSERT_NE(device, nullptr);
    device->setImageSize(256, 128);
    device->setExposureTime(20000.0);
    Frame frame;

    ASSERT_TRUE(device->setFlashMode(0));
    ASSERT_TRUE(device->snap(frame));
    const double unlit = meanLevel(frame);
    ASSERT_TRUE(device->setFlashMode(2));
    ASSERT_TRUE(device->snap(frame));
    const double duringExposure = meanLevel(frame);
    ASSERT_TRUE(device->setFlashMode(1));
    ASSERT_TRUE(device->snap(frame));
    const double on = meanLevel(frame);
    EXPECT_GT(duringExposure, unlit + 1.0);
    EXPECT_GT(on, unlit + 1.0);
    EXPECT_EQ(device->flashMode, 1);

    EXPECT_FALSE(device->setFlashMode(3));
    EXPECT_FALSE(device->setFlashMode(-1));
    EXPECT_EQ(device->flashMode, 1);

    device->close();
    EXPECT_EQ(device->flashMode, 0);
}

TEST_F(CameraDevice, HardwareTriggerWaitsForPulsesAndUnknownTriggerModesChangeNothing) {
    Brevanta::KelDevice* device = openOneCamera();
    ASSERT_NE(device, nullptr);
    device->setImageSize(64, 32);
    device->setExposureTime(1000.0);
    device->setTriggerMode(1);
    EXPECT_EQ(device->getTriggerMode(), 1);
    device->setTriggerMode(2);
    EXPECT_EQ(device->getTriggerMode(), 1);

    OutputCapture output;
    Frame frame;
    ASSERT_TRUE(device->setGrabMode(3));
    EXPECT_FALSE(device->retrieveFrame(frame));  // no pulse within the time-out
    EXPECT_EQ(output.stdOut(), "\nGeneric exceptions");
    EXPECT_FALSE(device->isGrabbing());

    simcam::setTriggerRate(50.0);
    ASSERT_TRUE(device->setGrabMode(3));
    EXPECT_TRUE(device->retrieveFrame(frame));
    simcam::setTriggerRate(0.0);
    EXPECT_EQ(frame.size(), 64u * 32u);

    device->setTriggerMode(0);
    EXPECT_EQ(device->getTriggerMode(), 0);
    ASSERT_TRUE(device->setGrabMode(2));
    EXPECT_TRUE(device->retrieveFrame(frame));
    device->close();
}

TEST_F(CameraDevice, GrabModesStartAndStopGrabbing) {
    Brevanta::KelDevice* device = openOneCamera();
    ASSERT_NE(device, nullptr);
    device->setImageSize(64, 32);
    device->setExposureTime(1000.0);
    EXPECT_GT(device->getResultingFrameRate(), 0.0);

    Frame frame;
    std::int64_t timestamp = 0;
    for (int mode : {2, 3}) {
        ASSERT_TRUE(device->setGrabMode(mode)) << mode;
        EXPECT_TRUE(device->isGrabbing()) << mode;
        std::int64_t previous = timestamp;
        EXPECT_TRUE(device->retrieveFrameTimed(frame, timestamp)) << mode;
        EXPECT_GT(timestamp, previous);
        EXPECT_TRUE(device->retrieveFrame(frame)) << mode;
    }
    ASSERT_TRUE(device->setGrabMode(1));
    EXPECT_TRUE(device->retrieveFrame(frame));

    ASSERT_TRUE(device->setGrabMode(4));
    EXPECT_TRUE(device->isGrabbing());
    EXPECT_TRUE(device->setGrabMode(0));
    EXPECT_FALSE(device->isGrabbing());
    ASSERT_TRUE(device->setGrabMode(2));
    EXPECT_FALSE(device->setGrabMode(5));
    EXPECT_FALSE(device->isGrabbing());
    device->close();
}

TEST_F(CameraDevice, AutomaticExposureFollowsTheSceneWithinItsLimits) {
    Brevanta::KelDevice* device = openOneCamera();
    ASSERT_NE(device, nullptr);
    device->setImageSize(256, 128);
    device->setFlashMode(2);
    device->setExposureTime(100.0);
    device->setAutoExposureLowerLimit(50.0);
    device->setAutoExposureUpperLimit(3000.0);
    ASSERT_TRUE(device->setExposureAutoContinuous());
    ASSERT_TRUE(device->setGrabMode(2));
    Frame frame;
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(device->retrieveFrame(frame));
    EXPECT_GT(device->getExposureTime(), 100.0);
    EXPECT_LE(device->getExposureTime(), 3000.0);

    device->setExposureAutoOff();
    const double settled = device->getExposureTime();
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(device->retrieveFrame(frame));
    EXPECT_EQ(device->getExposureTime(), settled);
    EXPECT_TRUE(device->setGainAutoContinuous());
    device->setGainAutoOff();
    device->close();
}

TEST_F(CameraDevice, MissingTestPatternFailsOpenAfterThePixelFormatWasSet) {
    const std::string lacking = plugCameras(1).front();
    simcam::removeNode(lacking, "TestPattern");
    OutputCapture quiet;
    ASSERT_TRUE(registry.initialize());
    std::vector<std::string> ids;
    registry.getDeviceList(ids);
    Brevanta::KelDevice* device = registry.createDevice(lacking);
    ASSERT_NE(device, nullptr);

    EXPECT_FALSE(device->open(false));
    EXPECT_EQ(device->serialNumber, "");
    // The camera is open and already delivers 12-bit pixels.
    device->setImageSize(kUnitWidth, kUnitHeight);
    device->setExposureTime(kBrightExposureUs);
    device->setFlashMode(2);
    Frame frame;
    ASSERT_TRUE(device->snap(frame));
    EXPECT_GT(meanLevel(frame), 255.0);
    device->close();
}

TEST_F(CameraDevice, UnpluggedCameraIsNoLongerConnectedAndGrabsFail) {
    Brevanta::KelDevice* device = openOneCamera();
    ASSERT_NE(device, nullptr);
    device->setImageSize(64, 32);
    ASSERT_TRUE(simcam::unplug(serial));
    OutputCapture output;
    EXPECT_FALSE(device->isConnected());
    Frame frame;
    EXPECT_FALSE(device->snap(frame));
    EXPECT_EQ(output.stdErr(), "\nunable to retrieve result in snap()");
    EXPECT_EQ(device->getExposureTime(), 0.0);
    device->close();
}

// Ten lost frames of 200 ms leave the one-second snap without an image; the
// grab is stopped and the next snap, with short frames, works.
TEST_F(CameraDevice, SnapTimingOutStopsTheGrabAndTheNextSnapWorks) {
    Brevanta::KelDevice* device = openOneCamera();
    ASSERT_NE(device, nullptr);
    device->setImageSize(64, 32);
    device->setExposureTime(200000.0);
    simcam::dropFrames(serial, 10);
    OutputCapture output;
    Frame frame;
    EXPECT_FALSE(device->snap(frame));
    EXPECT_EQ(output.stdErr(), "\nunable to retrieve result in snap()");
    EXPECT_FALSE(device->isGrabbing());

    device->setExposureTime(1000.0);
    EXPECT_TRUE(device->snap(frame));
    device->close();
}

TEST_F(CameraDevice, ClosedDeviceReleasedItsCamera) {
    Brevanta::KelDevice* device = openOneCamera();
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(device->setGrabMode(2));
    device->close();
    EXPECT_FALSE(device->isGrabbing());
    EXPECT_FALSE(device->isConnected());
    EXPECT_EQ(device->getUserDefinedName(), "");
}

}  // namespace
