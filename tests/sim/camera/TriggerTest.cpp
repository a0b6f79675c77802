// Hardware trigger on Line1: frames only after pulses, single or periodic.
#include <gtest/gtest.h>

#include "SimCameraTestSupport.h"

namespace kelo::simcamtest {
namespace {

using Clock = std::chrono::steady_clock;
using camera::GrabLoop;
using camera::GrabStrategy;
using camera::TimeoutHandling;

class TriggerTest : public SimCameraTest {
protected:
    void SetUp() override {
        SimCameraTest::SetUp();
        device = openCamera();
        setUnitWindow(*device, 10000.0, 0.0);
        setEnumeration(*device, "TriggerSelector", "FrameStart");
        setEnumeration(*device, "TriggerMode", "On");
        setEnumeration(*device, "TriggerSource", "Line1");
        setEnumeration(*device, "TriggerActivation", "FallingEdge");
    }

    // Pulses until the camera takes one: it accepts pulses only while it
    // waits for one, which starts a moment after the grab.
    Clock::time_point pulseUntilAFrameStarts() {
        camera::GrabResult result;
        Clock::time_point pulse;
        for (int attempt = 0; attempt < 50; ++attempt) {
            pulse = Clock::now();
            simcam::triggerPulse();
            if (device->retrieveResult(100, result, TimeoutHandling::Return)) return pulse;
        }
        ADD_FAILURE() << "no frame after 50 pulses";
        return pulse;
    }

    std::unique_ptr<camera::CameraDevice> device;
};

TEST_F(TriggerTest, LinePulsesStartNoFrameWhileTheSourceIsSoftware) {
    setEnumeration(*device, "TriggerSource", "Software");
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    camera::GrabResult result;
    for (int i = 0; i < 10; ++i) {
        simcam::triggerPulse();
        EXPECT_FALSE(device->retrieveResult(30, result, TimeoutHandling::Return));
    }
    setEnumeration(*device, "TriggerSource", "Line1");
    pulseUntilAFrameStarts();
}

TEST_F(TriggerTest, NoFrameWithoutAPulseAndOneFramePerPulse) {
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    camera::GrabResult result;
    EXPECT_FALSE(device->retrieveResult(150, result, TimeoutHandling::Return));

    pulseUntilAFrameStarts();
    EXPECT_FALSE(device->retrieveResult(100, result, TimeoutHandling::Return));

    // The frame comes one exposure and one read-out after the pulse.
    ASSERT_TRUE(eventually(
        [&] {
            simcam::triggerPulse();
            return device->retrieveResult(5, result, TimeoutHandling::Return);
        },
        std::chrono::milliseconds(2000)));
    EXPECT_NE(result, nullptr);
}

TEST_F(TriggerTest, TheFrameIsExposedAfterThePulse) {
    setFloat(*device, "ExposureTime", 40000.0);
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // let the camera arm
    const Clock::time_point pulse = Clock::now();
    simcam::triggerPulse();
    camera::GrabResult result;
    ASSERT_TRUE(device->retrieveResult(1000, result, TimeoutHandling::Return));
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - pulse).count();
    EXPECT_GE(ms, 40.0 + 6.0);
    EXPECT_LT(ms, 40.0 + 6.5 + 30.0);
}

TEST_F(TriggerTest, APulseTrainGivesFramesAtItsRate) {
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    simcam::setTriggerRate(40.0);
    camera::GrabResult result;
    ASSERT_TRUE(device->retrieveResult(1000, result, TimeoutHandling::Return));
    const Clock::time_point first = Clock::now();
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(device->retrieveResult(1000, result, TimeoutHandling::Return));
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - first).count();
    EXPECT_NEAR(ms / 10, 25.0, 3.0);

    simcam::setTriggerRate(0.0);
    while (device->retrieveResult(0, result, TimeoutHandling::Return)) {
    }
    EXPECT_FALSE(device->retrieveResult(200, result, TimeoutHandling::Return));
}

TEST_F(TriggerTest, PulsesFasterThanTheCameraAreMissed) {
    setFloat(*device, "ExposureTime", 30000.0);
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    simcam::setTriggerRate(200.0);
    camera::GrabResult result;
    ASSERT_TRUE(device->retrieveResult(1000, result, TimeoutHandling::Return));
    const Clock::time_point first = Clock::now();
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(device->retrieveResult(1000, result, TimeoutHandling::Return));
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - first).count();
    EXPECT_GE(ms / 5, 30.0);  // one frame per exposure and read-out at most
}

TEST_F(TriggerTest, SwitchingTheTriggerOffResumesFreeRunning) {
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    camera::GrabResult result;
    EXPECT_FALSE(device->retrieveResult(100, result, TimeoutHandling::Return));
    setEnumeration(*device, "TriggerMode", "Off");
    EXPECT_TRUE(device->retrieveResult(200, result, TimeoutHandling::Return));
}

TEST_F(TriggerTest, APulseBeforeTheGrabIsLost) {
    simcam::triggerPulse();
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    camera::GrabResult result;
    EXPECT_FALSE(device->retrieveResult(150, result, TimeoutHandling::Return));
}

}  // namespace
}  // namespace kelo::simcamtest
