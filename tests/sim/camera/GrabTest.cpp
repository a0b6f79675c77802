// Grabbing from a simulated camera: frame timing, time-outs, strategies,
// limited grabs, the buffer pool and injected frame drops.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "SimCameraTestSupport.h"

namespace kelo::simcamtest {
namespace {

using Clock = std::chrono::steady_clock;
using camera::GrabLoop;
using camera::GrabStrategy;
using camera::TimeoutHandling;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

class GrabTest : public SimCameraTest {
protected:
    void SetUp() override {
        SimCameraTest::SetUp();
        device = openCamera();
        setUnitWindow(*device, 1000.0, 0.0);
    }

    // Ms between consecutive frames of a running grab, over `frames` frames.
    // Taken from the frames' own time stamps, so a late retrieval does not
    // shorten the next interval, and as the median, so that a busy machine
    // stalling the camera now and then does not lengthen it.
    double medianFrameInterval(int frames) {
        camera::GrabResult result;
        if (!device->retrieveResult(2000, result, TimeoutHandling::Return)) return 0.0;
        std::vector<double> intervals;
        for (int i = 0; i < frames; ++i) {
            const std::int64_t previous = result->timeStamp();
            if (!device->retrieveResult(2000, result, TimeoutHandling::Return)) return 0.0;
            intervals.push_back((result->timeStamp() - previous) / 1e6);
        }
        std::nth_element(intervals.begin(), intervals.begin() + frames / 2, intervals.end());
        return intervals[frames / 2];
    }

    // Retrieves and drops `frames` frames, those already under way.
    void skipFrames(int frames) {
        camera::GrabResult result;
        for (int i = 0; i < frames; ++i)
            ASSERT_TRUE(device->retrieveResult(2000, result, TimeoutHandling::Return));
    }

    std::unique_ptr<camera::CameraDevice> device;
};

TEST_F(GrabTest, FramesArriveOneExposureApartWhenExposureIsLongerThanReadOut) {
    setFloat(*device, "ExposureTime", 25000.0);
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    EXPECT_NEAR(medianFrameInterval(12), 25.0, 2.5);
}

TEST_F(GrabTest, FramesArriveOneReadOutApartWhenExposureIsShorter) {
    const double readOutMs = 1000.0 / floatValue(*device, "ResultingFrameRate");
    EXPECT_GT(readOutMs, 5.0);
    EXPECT_LT(readOutMs, 7.5);
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    EXPECT_NEAR(medianFrameInterval(40), readOutMs, 0.15 * readOutMs);
}

TEST_F(GrabTest, ANewExposureTakesEffectWhileGrabbing) {
    setFloat(*device, "ExposureTime", 20000.0);
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    EXPECT_NEAR(medianFrameInterval(5), 20.0, 3.0);
    setFloat(*device, "ExposureTime", 40000.0);
    skipFrames(2);
    EXPECT_NEAR(medianFrameInterval(5), 40.0, 4.0);
}

TEST_F(GrabTest, RetrievalWaitsForItsTimeOutThenReportsNoImage) {
    setEnumeration(*device, "TriggerMode", "On");
    setEnumeration(*device, "TriggerSource", "Line1");
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    camera::GrabResult result;
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(device->retrieveResult(120, result, TimeoutHandling::Return));
    EXPECT_GE(millisecondsSince(start), 119.0);
    EXPECT_EQ(result, nullptr);
    EXPECT_THROW(device->retrieveResult(30, result, TimeoutHandling::ThrowException),
                 camera::TimeoutException);
    EXPECT_TRUE(device->isGrabbing());
}

TEST_F(GrabTest, StoppingWakesAWaitingRetrieval) {
    setFloat(*device, "ExposureTime", 5e6);
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    bool retrieved = true;
    double waitedMs = 0.0;
    std::thread reader([&] {
        camera::GrabResult result;
        const Clock::time_point start = Clock::now();
        retrieved = device->retrieveResult(5000, result, TimeoutHandling::ThrowException);
        waitedMs = millisecondsSince(start);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const Clock::time_point stop = Clock::now();
    device->stopGrabbing();
    EXPECT_LT(millisecondsSince(stop), 500.0);  // a 5 s exposure does not hold the stop
    reader.join();
    EXPECT_FALSE(retrieved);
    EXPECT_LT(waitedMs, 1000.0);
    EXPECT_FALSE(device->isGrabbing());
    camera::GrabResult result;
    EXPECT_FALSE(device->retrieveResult(10, result, TimeoutHandling::ThrowException));
}

TEST_F(GrabTest, OneByOneKeepsEveryFrameAndLatestOnlyTheNewest) {
    setFloat(*device, "ExposureTime", 8000.0);
    const auto queuedAfterFiveFrames = [this](GrabStrategy strategy) {
        device->startGrabbing(strategy, GrabLoop::ProvidedByUser, 5);
        // Five frames take about 50 ms; nobody retrieves meanwhile.
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        int queued = 0;
        camera::GrabResult result;
        while (device->retrieveResult(0, result, TimeoutHandling::Return)) ++queued;
        EXPECT_FALSE(device->isGrabbing());
        return queued;
    };
    EXPECT_EQ(queuedAfterFiveFrames(GrabStrategy::OneByOne), 5);
    EXPECT_EQ(queuedAfterFiveFrames(GrabStrategy::LatestImageOnly), 1);
}

TEST_F(GrabTest, ALimitedGrabEndsAfterItsLastImageIsRetrieved) {
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser, 3);
    camera::GrabResult result;
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(device->isGrabbing());
        EXPECT_TRUE(device->retrieveResult(1000, result, TimeoutHandling::Return)) << i;
    }
    EXPECT_FALSE(device->isGrabbing());
    EXPECT_FALSE(device->retrieveResult(100, result, TimeoutHandling::ThrowException));
    // Single images one after the other, as a snap loop takes them.
    for (int i = 0; i < 3; ++i) EXPECT_NE(grabOne(*device), nullptr);
}

TEST_F(GrabTest, HoldingEveryBufferLosesFramesUntilOneIsReleased) {
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    std::vector<camera::GrabResult> held;
    camera::GrabResult result;
    while (device->retrieveResult(300, result, TimeoutHandling::Return)) {
        held.push_back(result);
        result.reset();
        ASSERT_LE(held.size(), 64u);
    }
    EXPECT_GE(held.size(), 4u);  // the pool is finite, and not tiny
    // The held images stay intact.
    const std::vector<std::uint16_t> firstPixels = pixelsOf(held.front());
    held.pop_back();
    EXPECT_TRUE(device->retrieveResult(1000, result, TimeoutHandling::Return));
    EXPECT_EQ(pixelsOf(held.front()), firstPixels);
}

TEST_F(GrabTest, DroppedFramesLeaveAGap) {
    setFloat(*device, "ExposureTime", 20000.0);
    simcam::dropFrames(kSerial, 3);
    const Clock::time_point start = Clock::now();
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    camera::GrabResult result;
    EXPECT_FALSE(device->retrieveResult(50, result, TimeoutHandling::Return));
    EXPECT_TRUE(device->retrieveResult(1000, result, TimeoutHandling::Return));
    EXPECT_GE(millisecondsSince(start), 4 * 20.0 - 2.0);
}

TEST_F(GrabTest, ResultsOutliveTheirDevice) {
    const camera::GrabResult result = grabOne(*device);
    const std::vector<std::uint16_t> pixels = pixelsOf(result);
    device.reset();
    EXPECT_EQ(pixelsOf(result), pixels);
}

}  // namespace
}  // namespace kelo::simcamtest
