// Images into Frames, and the grab failures, on a fake camera that delivers
// chosen pixel types and faults.
#include <gtest/gtest.h>

#include <chrono>

#include "FakeCamera.h"
#include "OutputCapture.h"
#include "camera/InstantCamera.h"
#include "device/KelDevice_B.h"

namespace {

using kelo::camera::kPixelMono12;
using kelo::camera::kPixelMono8;
using kelo::devicetest::FakeCamera;
using kelo::devicetest::FakeImage;
using kelo::test::OutputCapture;
using kelo::devicetest::wordBytes;
using Outcome = FakeCamera::Outcome;

class FakeCameraDevice : public ::testing::Test {
protected:
    FakeCameraDevice() {
        auto camera = std::make_unique<FakeCamera>();
        fake = camera.get();
        slot.attach(std::move(camera));
    }

    void deliver(int width, int height, std::uint32_t pixelType, std::vector<std::uint8_t> bytes) {
        fake->image = std::make_shared<FakeImage>(width, height, pixelType, std::move(bytes));
        fake->outcome = Outcome::Image;
    }

    kelo::camera::InstantCamera slot;
    FakeCamera* fake = nullptr;
    Brevanta::KelDevice_B device{&slot};
    OutputCapture output;
};

TEST_F(FakeCameraDevice, EightBitPixelsAreWidenedWithTheirValues) {
    deliver(2, 2, kPixelMono8, {0, 1, 254, 255});
    Frame frame;
    ASSERT_TRUE(device.snap(frame));
    EXPECT_EQ(frame, (Frame{0, 1, 254, 255}));
    EXPECT_EQ(device.getWidth(), 2);
    EXPECT_EQ(device.getHeight(), 2);
    EXPECT_EQ(device.getLastError(), 0);
    EXPECT_EQ(output.stdOut(), "");
    EXPECT_EQ(output.stdErr(), "");
}

// Widening goes by blocks of pixels; the pixels after the last whole block
// must arrive too.
TEST_F(FakeCameraDevice, EightBitFramesOfSeveralBlocksAndARestArriveWhole) {
    const int width = 37;
    const int height = 3;
    std::vector<std::uint8_t> bytes;
    Frame expected;
    for (int i = 0; i < width * height; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(255 - i));
        expected.push_back(static_cast<std::uint16_t>(255 - i));
    }
    deliver(width, height, kPixelMono8, bytes);
    Frame frame;
    ASSERT_TRUE(device.retrieveFrame(frame));
    EXPECT_EQ(frame, expected);
}

TEST_F(FakeCameraDevice, TwelveBitWordsAreStoredAsDelivered) {
    deliver(3, 1, kPixelMono12, wordBytes({0, 4095, 0x0123}));
    Frame frame;
    std::int64_t timestamp = 0;
    ASSERT_TRUE(device.retrieveFrameTimed(frame, timestamp));
    EXPECT_EQ(frame, (Frame{0, 4095, 0x0123}));
    EXPECT_EQ(device.getWidth(), 3);
    EXPECT_EQ(device.getHeight(), 1);
}

TEST_F(FakeCameraDevice, AnotherPixelTypeResizesTheFrameButLeavesItUnfilled) {
    const std::uint32_t mono16 = 0x01100007;
    deliver(3, 2, mono16, std::vector<std::uint8_t>(12, 0xAA));
    Frame frame(6, 0xBEEF);
    EXPECT_FALSE(device.snap(frame));
    EXPECT_EQ(frame, Frame(6, 0xBEEF));
    EXPECT_EQ(device.getWidth(), 3);
    EXPECT_EQ(device.getHeight(), 2);
    EXPECT_EQ(device.getLastError(), 0);

    deliver(2, 2, mono16, std::vector<std::uint8_t>(8, 0xAA));
    EXPECT_FALSE(device.snap(frame));
    EXPECT_EQ(frame.size(), 4u);
}

TEST_F(FakeCameraDevice, TimedRetrievalStampsTheArrivalOnTheMonotonicClock) {
    using std::chrono::steady_clock;
    const auto nanoseconds = [] {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   steady_clock::now().time_since_epoch())
            .count();
    };
    deliver(1, 1, kPixelMono8, {9});
    Frame frame;
    std::int64_t timestamp = -1;
    const std::int64_t before = nanoseconds();
    ASSERT_TRUE(device.retrieveFrameTimed(frame, timestamp));
    const std::int64_t after = nanoseconds();
    EXPECT_GE(timestamp, before);
    EXPECT_LE(timestamp, after);

    fake->outcome = Outcome::NoImage;
    const std::int64_t stamped = timestamp;
    EXPECT_FALSE(device.retrieveFrameTimed(frame, timestamp));
    EXPECT_EQ(timestamp, stamped);
}

TEST_F(FakeCameraDevice, MissingImageIsReportedAndFlagged) {
    fake->outcome = Outcome::NoImage;
    Frame frame;
    EXPECT_FALSE(device.snap(frame));
    EXPECT_EQ(device.getLastError(), 7);
    EXPECT_EQ(output.stdOut(), "\nRetrieve result returned false");

    // retrieveFrame keeps an earlier error until it sets its own.
    deliver(1, 1, kPixelMono8, {1});
    EXPECT_TRUE(device.retrieveFrame(frame));
    EXPECT_EQ(device.getLastError(), 7);
    fake->outcome = Outcome::NoImage;
    EXPECT_FALSE(device.retrieveFrame(frame));
    EXPECT_EQ(device.getLastError(), 7);

    // The timed retrieval starts from no error and does not flag a missing
    // image.
    output.clear();
    std::int64_t timestamp = 0;
    EXPECT_FALSE(device.retrieveFrameTimed(frame, timestamp));
    EXPECT_EQ(device.getLastError(), 0);
    EXPECT_EQ(output.stdOut(), "\nRetrieve result returned false");
}

TEST_F(FakeCameraDevice, SdkErrorDuringAGrabStopsTheRunningGrab) {
    fake->outcome = Outcome::Timeout;
    Frame frame;
    EXPECT_FALSE(device.snap(frame));
    EXPECT_EQ(output.stdErr(), "\nunable to retrieve result in snap()");
    EXPECT_FALSE(device.isGrabbing());

    output.clear();
    ASSERT_TRUE(device.setGrabMode(3));
    EXPECT_FALSE(device.retrieveFrame(frame));
    EXPECT_EQ(output.stdOut(), "\nGeneric exceptions");
    EXPECT_FALSE(device.isGrabbing());

    output.clear();
    ASSERT_TRUE(device.setGrabMode(2));
    std::int64_t timestamp = 0;
    EXPECT_FALSE(device.retrieveFrameTimed(frame, timestamp));
    EXPECT_EQ(output.stdErr(), "\nunable to retrieve result in snap()");
    EXPECT_FALSE(device.isGrabbing());
}

TEST_F(FakeCameraDevice, OtherErrorsDuringAGrabAreAbsorbed) {
    fake->outcome = Outcome::OtherError;
    Frame frame;
    std::int64_t timestamp = 0;
    EXPECT_FALSE(device.snap(frame));
    EXPECT_EQ(output.stdOut(), "\nException in snap");
    output.clear();
    EXPECT_FALSE(device.retrieveFrame(frame));
    EXPECT_EQ(output.stdOut(), "");
    EXPECT_FALSE(device.retrieveFrameTimed(frame, timestamp));
    EXPECT_EQ(output.stdOut(), "\nException in snap");
}

}  // namespace
