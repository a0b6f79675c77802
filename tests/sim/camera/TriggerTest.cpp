// Hardware trigger on Line1: frames only after pulses, single or periodic.
// Timing is read from the frames' stamps, the start of their exposure: a busy
// machine delays frames but cannot move a stamp before its pulse.
#include <gtest/gtest.h>

#include "SimCameraTestSupport.h"
#include "simcam/SensorModel.h"

namespace kelo::simcamtest {
namespace {

using camera::GrabLoop;
using camera::GrabStrategy;
using camera::TimeoutHandling;

// A pulse sent by the test, between two moments on the camera's clock: the
// frame it starts is stamped in between.
struct Pulse {
    std::int64_t before = 0;
    std::int64_t after = 0;
};

// Which of `pulses` started `frame`; -1 for none.
int startingPulse(const camera::GrabResult& frame, const std::vector<Pulse>& pulses) {
    if (!frame) return -1;
    for (std::size_t i = 0; i < pulses.size(); ++i)
        if (frame->timeStamp() >= pulses[i].before && frame->timeStamp() <= pulses[i].after)
            return static_cast<int>(i);
    return -1;
}

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

    // From a pulse until the camera can take the next: an exposure and a
    // read-out of the unit's window, in whole ns as the camera's clock counts.
    std::int64_t cycleNs() {
        const double us =
            floatValue(*device, "ExposureTime") +
            simcam::readOutPeriodUs(simtest::kImageWidth, simtest::kImageHeight, 1, 2);
        return static_cast<std::int64_t>(us * 1000.0);
    }

    // Pulses until a frame comes, noting every pulse. The camera accepts
    // pulses only while it waits for one, which starts a moment after the
    // grab; a frame that comes late is taken at a later attempt.
    camera::GrabResult pulseUntilAFrameComes(std::vector<Pulse>& pulses) {
        camera::GrabResult result;
        for (int attempt = 0; attempt < 50; ++attempt) {
            const std::int64_t before = stampNow();
            simcam::triggerPulse();
            pulses.push_back({before, stampNow()});
            if (device->retrieveResult(100, result, TimeoutHandling::Return)) return result;
        }
        ADD_FAILURE() << "no frame after 50 pulses";
        return result;
    }

    // The stamps of the next `count` frames; fewer when they do not come
    // within 5 s.
    std::vector<std::int64_t> nextStamps(std::size_t count) {
        std::vector<std::int64_t> stamps;
        camera::GrabResult result;
        eventually(
            [&] {
                if (device->retrieveResult(100, result, TimeoutHandling::Return))
                    stamps.push_back(result->timeStamp());
                return stamps.size() == count;
            },
            std::chrono::seconds(5));
        return stamps;
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
    std::vector<Pulse> pulses;
    EXPECT_GE(startingPulse(pulseUntilAFrameComes(pulses), pulses), 0);
}

TEST_F(TriggerTest, NoFrameWithoutAPulseAndOneFramePerPulse) {
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    camera::GrabResult result;
    EXPECT_FALSE(device->retrieveResult(150, result, TimeoutHandling::Return));

    std::vector<Pulse> pulses;
    std::vector<camera::GrabResult> frames;
    for (int i = 0; i < 3; ++i) frames.push_back(pulseUntilAFrameComes(pulses));
    // And whatever else comes once the pulses stop.
    while (frames.size() < 10 && device->retrieveResult(200, result, TimeoutHandling::Return))
        frames.push_back(result);
    int previous = -1;
    for (const camera::GrabResult& frame : frames) {
        const int pulse = startingPulse(frame, pulses);
        EXPECT_GT(pulse, previous) << "a frame without a pulse of its own";
        previous = pulse;
    }
}

TEST_F(TriggerTest, TheFrameIsExposedAfterThePulse) {
    setFloat(*device, "ExposureTime", 40000.0);
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    std::vector<Pulse> pulses;
    const camera::GrabResult frame = pulseUntilAFrameComes(pulses);
    const std::int64_t arrived = stampNow();
    ASSERT_GE(startingPulse(frame, pulses), 0);
    // It comes once its exposure and read-out are over.
    EXPECT_GE(arrived - frame->timeStamp(), cycleNs());
}

TEST_F(TriggerTest, APulseTrainStartsFramesNoFasterThanItsRateUntilItStops) {
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    const std::int64_t trainStarted = stampNow();
    simcam::setTriggerRate(40.0);
    const std::vector<std::int64_t> stamps = nextStamps(10);
    ASSERT_EQ(stamps.size(), 10u);
    // The n-th pulse of a 40 Hz train is due n x 25 ms after it started, or
    // later; the camera could take pulses faster.
    for (std::size_t i = 0; i < stamps.size(); ++i)
        EXPECT_GE(stamps[i] - trainStarted, static_cast<std::int64_t>(i + 1) * 25'000'000) << i;

    simcam::setTriggerRate(0.0);
    const std::int64_t trainStopped = stampNow();
    // Frames under way still come; none starts after the train stopped.
    camera::GrabResult result;
    for (int i = 0; i < 10 && device->retrieveResult(200, result, TimeoutHandling::Return); ++i)
        EXPECT_LT(result->timeStamp(), trainStopped);
}

TEST_F(TriggerTest, PulsesFasterThanTheCameraAreMissed) {
    setFloat(*device, "ExposureTime", 30000.0);
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    simcam::setTriggerRate(200.0);
    const std::vector<std::int64_t> stamps = nextStamps(6);
    ASSERT_EQ(stamps.size(), 6u);
    // One frame per exposure and read-out at most, whatever the pulses.
    for (std::size_t i = 1; i < stamps.size(); ++i)
        EXPECT_GE(stamps[i] - stamps[i - 1], cycleNs()) << i;
}

TEST_F(TriggerTest, SwitchingTheTriggerOffResumesFreeRunning) {
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    camera::GrabResult result;
    EXPECT_FALSE(device->retrieveResult(100, result, TimeoutHandling::Return));
    setEnumeration(*device, "TriggerMode", "Off");
    EXPECT_TRUE(device->retrieveResult(2000, result, TimeoutHandling::Return));
}

TEST_F(TriggerTest, APulseBeforeTheGrabIsLost) {
    simcam::triggerPulse();
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    camera::GrabResult result;
    EXPECT_FALSE(device->retrieveResult(150, result, TimeoutHandling::Return));
}

}  // namespace
}  // namespace kelo::simcamtest
