// Grabbing from a simulated camera: frame timing, time-outs, strategies,
// limited grabs, the buffer pool and injected frame drops. Timing is read
// from the frames' stamps, the start of their exposure, which follow the
// camera's schedule however late the test reads them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <future>
#include <thread>
#include <vector>

#include "SimCameraTestSupport.h"

namespace kelo::simcamtest {
namespace {

using camera::GrabLoop;
using camera::GrabStrategy;
using camera::TimeoutHandling;

// Stamps are whole nanoseconds; a microsecond covers their rounding and is
// far below any delay.
constexpr double kStampToleranceMs = 1e-3;

double shortest(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}

class GrabTest : public SimCameraTest {
protected:
    void SetUp() override {
        SimCameraTest::SetUp();
        device = openCamera();
        setUnitWindow(*device, 1000.0, 0.0);
    }

    // Ms between the exposure starts of consecutive frames of a running grab:
    // at least `count` gaps, and more (for up to 5 s) until one is `periodMs`.
    // A free-running camera starts each exposure one frame period after the
    // last, or later when a busy machine held up its thread, never sooner.
    std::vector<double> frameGaps(double periodMs, std::size_t count) {
        std::vector<double> gaps;
        bool onePeriod = false;
        std::int64_t previous = 0;
        camera::GrabResult result;
        eventually(
            [&] {
                if (!device->retrieveResult(100, result, TimeoutHandling::Return)) return false;
                if (previous != 0) {
                    gaps.push_back((result->timeStamp() - previous) / 1e6);
                    onePeriod |= std::abs(gaps.back() - periodMs) <= kStampToleranceMs;
                }
                previous = result->timeStamp();
                return onePeriod && gaps.size() >= count;
            },
            std::chrono::seconds(5));
        if (gaps.empty()) gaps.push_back(0.0);  // no frames: no period either
        return gaps;
    }

    std::unique_ptr<camera::CameraDevice> device;
};

TEST_F(GrabTest, FramesArriveOneExposureApartWhenExposureIsLongerThanReadOut) {
    setFloat(*device, "ExposureTime", 25000.0);
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    EXPECT_NEAR(shortest(frameGaps(25.0, 12)), 25.0, kStampToleranceMs);
}

TEST_F(GrabTest, FramesArriveOneReadOutApartWhenExposureIsShorter) {
    const double readOutMs = 1000.0 / floatValue(*device, "ResultingFrameRate");
    EXPECT_GT(readOutMs, 5.0);
    EXPECT_LT(readOutMs, 7.5);
    // The test image is quick to draw: even where drawing the scene takes
    // longer than a read-out (a build instrumented for checks), the camera's
    // thread keeps to the schedule the stamps are compared with.
    setEnumeration(*device, "TestPattern", "GreyDiagonalSawtooth");
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    EXPECT_NEAR(shortest(frameGaps(readOutMs, 40)), readOutMs, kStampToleranceMs);
}

TEST_F(GrabTest, ANewExposureTakesEffectWhileGrabbing) {
    setFloat(*device, "ExposureTime", 20000.0);
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    EXPECT_NEAR(shortest(frameGaps(20.0, 5)), 20.0, kStampToleranceMs);
    setFloat(*device, "ExposureTime", 40000.0);
    // Frames exposed before the change keep the old period; from the first
    // gap of the new one on, every gap has it.
    EXPECT_NEAR(frameGaps(40.0, 1).back(), 40.0, kStampToleranceMs);
    EXPECT_NEAR(shortest(frameGaps(40.0, 5)), 40.0, kStampToleranceMs);
}

TEST_F(GrabTest, RetrievalWaitsForItsTimeOutThenReportsNoImage) {
    setEnumeration(*device, "TriggerMode", "On");
    setEnumeration(*device, "TriggerSource", "Line1");
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    camera::GrabResult result;
    EXPECT_FALSE(device->retrieveResult(120, result, TimeoutHandling::Return));
    EXPECT_EQ(result, nullptr);
    EXPECT_THROW(device->retrieveResult(30, result, TimeoutHandling::ThrowException),
                 camera::TimeoutException);
    EXPECT_TRUE(device->isGrabbing());

    // A frame that starts while a retrieval waits is what it returns.
    const std::int64_t waiting = stampNow();
    simcam::setTriggerRate(50.0);
    ASSERT_TRUE(device->retrieveResult(5000, result, TimeoutHandling::Return));
    EXPECT_GT(result->timeStamp(), waiting);
}

TEST_F(GrabTest, StoppingWakesAWaitingRetrieval) {
    // The longest exposure: a stop or a retrieval that waited for it, or for
    // the retrieval's time-out, would miss the deadlines below.
    setFloat(*device, "ExposureTime", 10e6);
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    auto retrieval = std::async(std::launch::async, [this] {
        camera::GrabResult result;
        return device->retrieveResult(20000, result, TimeoutHandling::ThrowException);
    });
    // A moment for the retrieval to start waiting; one that starts after the
    // stop finds the grab stopped and returns at once as well.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    auto stop = std::async(std::launch::async, [this] { device->stopGrabbing(); });
    EXPECT_EQ(stop.wait_for(std::chrono::seconds(3)), std::future_status::ready);
    ASSERT_EQ(retrieval.wait_for(std::chrono::seconds(3)), std::future_status::ready);
    EXPECT_FALSE(retrieval.get());
    EXPECT_FALSE(device->isGrabbing());
    camera::GrabResult result;
    EXPECT_FALSE(device->retrieveResult(10, result, TimeoutHandling::ThrowException));
}

TEST_F(GrabTest, OneByOneKeepsEveryFrameAndLatestOnlyTheNewest) {
    // A reader that comes late to a grab of five frames, about 50 ms of them.
    setFloat(*device, "ExposureTime", 8000.0);
    camera::GrabResult result;
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser, 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    int retrieved = 0;
    while (device->retrieveResult(2000, result, TimeoutHandling::Return)) ++retrieved;
    EXPECT_EQ(retrieved, 5);

    // Once the camera has made all five, a single retrieval takes the last
    // and ends the grab. The reader cannot see when the camera is done, so
    // after finding it still at work (a busy machine) it starts over and
    // comes later.
    bool onlyTheNewestWaited = false;
    for (int lateMs = 150; lateMs <= 2400 && !onlyTheNewestWaited; lateMs *= 2) {
        device->startGrabbing(GrabStrategy::LatestImageOnly, GrabLoop::ProvidedByUser, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(lateMs));
        EXPECT_TRUE(device->retrieveResult(2000, result, TimeoutHandling::Return));
        onlyTheNewestWaited = !device->isGrabbing();
    }
    EXPECT_TRUE(onlyTheNewestWaited);
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
    const std::int64_t started = stampNow();
    device->startGrabbing(GrabStrategy::OneByOne, GrabLoop::ProvidedByUser);
    camera::GrabResult result;
    EXPECT_FALSE(device->retrieveResult(50, result, TimeoutHandling::Return));
    ASSERT_TRUE(device->retrieveResult(2000, result, TimeoutHandling::Return));
    // The first frame delivered is the fourth exposed, three periods on.
    EXPECT_GE(result->timeStamp() - started, 3 * 20'000'000);
}

TEST_F(GrabTest, ResultsOutliveTheirDevice) {
    const camera::GrabResult result = grabOne(*device);
    const std::vector<std::uint16_t> pixels = pixelsOf(result);
    device.reset();
    EXPECT_EQ(pixelsOf(result), pixels);
}

}  // namespace
}  // namespace kelo::simcamtest
