// The camera's automatic exposure and gain while grabbing.
#include <gtest/gtest.h>

#include <algorithm>

#include "SimCameraTestSupport.h"

namespace kelo::simcamtest {
namespace {

using camera::TimeoutHandling;

class AutoExposureTest : public SimCameraTest {
protected:
    void SetUp() override {
        SimCameraTest::SetUp();
        device = openCamera();
        setUnitWindow(*device, 10000.0, 0.0);
    }

    // Grabs until the exposure stops changing (or `frames` frames passed);
    // returns the brightest window mean of the last frame.
    double grabUntilSettled(int frames) {
        device->startGrabbing(camera::GrabStrategy::OneByOne, camera::GrabLoop::ProvidedByUser);
        camera::GrabResult result;
        double previous = -1.0;
        int unchanged = 0;
        for (int i = 0; i < frames && unchanged < 3; ++i) {
            EXPECT_TRUE(device->retrieveResult(3000, result, TimeoutHandling::Return));
            const double exposure = floatValue(*device, "ExposureTime");
            unchanged = exposure == previous ? unchanged + 1 : 0;
            previous = exposure;
        }
        device->stopGrabbing();
        const std::vector<double> means = windowMeans(pixelsOf(result), simtest::kImageWidth);
        return *std::max_element(means.begin(), means.end());
    }

    std::unique_ptr<camera::CameraDevice> device;
};

TEST_F(AutoExposureTest, ContinuousExposureBringsTheBrightestCellToItsAim) {
    setFloat(*device, "AutoExposureTimeLowerLimit", 100.0);
    setFloat(*device, "AutoExposureTimeUpperLimit", 100000.0);
    setFloat(*device, "ExposureTime", 40000.0);  // saturated to begin with
    setEnumeration(*device, "ExposureAuto", "Continuous");
    const double brightest = grabUntilSettled(40);
    const double aim = 0.5 * (4095 - 40) + 40;
    EXPECT_NEAR(brightest, aim, 0.05 * aim);
    const double exposure = floatValue(*device, "ExposureTime");
    EXPECT_GT(exposure, 4000.0);
    EXPECT_LT(exposure, 9000.0);
    EXPECT_EQ(device->nodeMap().enumerationNode("ExposureAuto")->value(), "Continuous");
}

TEST_F(AutoExposureTest, ExposureStaysWithinTheLimits) {
    setFloat(*device, "AutoExposureTimeLowerLimit", 100.0);
    setFloat(*device, "AutoExposureTimeUpperLimit", 2000.0);
    setEnumeration(*device, "ExposureAuto", "Continuous");
    grabUntilSettled(30);
    EXPECT_EQ(floatValue(*device, "ExposureTime"), 2000.0);

    // In the dark nothing is bright enough: the exposure climbs to the upper limit.
    simcam::setScene("dark");
    setFloat(*device, "AutoExposureTimeUpperLimit", 30000.0);
    grabUntilSettled(30);
    EXPECT_EQ(floatValue(*device, "ExposureTime"), 30000.0);

    // Too bright for the lower limit.
    simcam::setScene("halogen");
    setFloat(*device, "AutoExposureTimeLowerLimit", 20000.0);
    setFloat(*device, "AutoExposureTimeUpperLimit", 50000.0);
    setFloat(*device, "ExposureTime", 60000.0);
    grabUntilSettled(30);
    EXPECT_EQ(floatValue(*device, "ExposureTime"), 20000.0);
}

TEST_F(AutoExposureTest, OnceSwitchesItselfOffWhenDone) {
    setFloat(*device, "ExposureTime", 2000.0);
    setEnumeration(*device, "ExposureAuto", "Once");
    grabUntilSettled(40);
    EXPECT_EQ(device->nodeMap().enumerationNode("ExposureAuto")->value(), "Off");
    EXPECT_GT(floatValue(*device, "ExposureTime"), 4000.0);
}

TEST_F(AutoExposureTest, GainMakesUpWhatTheExposureLimitCannot) {
    setFloat(*device, "AutoExposureTimeUpperLimit", 2000.0);
    setEnumeration(*device, "ExposureAuto", "Continuous");
    setEnumeration(*device, "GainAuto", "Continuous");
    const double brightest = grabUntilSettled(40);
    EXPECT_EQ(floatValue(*device, "ExposureTime"), 2000.0);
    const double gain = floatValue(*device, "Gain");
    EXPECT_GT(gain, 6.0);  // about 10 dB for a factor of three
    EXPECT_LT(gain, 14.0);
    EXPECT_NEAR(brightest, 2067.5, 0.06 * 2067.5);
}

TEST_F(AutoExposureTest, ManualExposureIsLeftAlone) {
    setFloat(*device, "ExposureTime", 40000.0);
    grabUntilSettled(5);
    EXPECT_EQ(floatValue(*device, "ExposureTime"), 40000.0);
}

}  // namespace
}  // namespace kelo::simcamtest
