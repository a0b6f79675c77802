// A device whose camera is missing: plain results and the fixed messages,
// never a crash.
#include <gtest/gtest.h>

#include "OutputCapture.h"
#include "device/KelDevice_B.h"

namespace {

using kelo::test::OutputCapture;

TEST(DeviceWithoutCamera, SnapReportsNotConnectedAndTimedRetrievalResetsTheError) {
    Brevanta::KelDevice_B device(nullptr);
    OutputCapture output;
    Frame frame(4, 1);

    EXPECT_FALSE(device.snap(frame));
    EXPECT_EQ(output.stdErr(), "Device not connected\n");
    EXPECT_EQ(device.getLastError(), 1);

    output.clear();
    std::int64_t timestamp = 99;
    EXPECT_FALSE(device.retrieveFrameTimed(frame, timestamp));
    EXPECT_EQ(output.stdOut(), "\ncamera not initialized");
    EXPECT_EQ(output.stdErr(), "");
    EXPECT_EQ(device.getLastError(), 0);
    EXPECT_EQ(timestamp, 99);
    EXPECT_EQ(frame, Frame(4, 1));

    output.clear();
    EXPECT_FALSE(device.retrieveFrame(frame));
    EXPECT_EQ(device.getLastError(), 1);
    EXPECT_EQ(output.stdOut() + output.stdErr(), "");
}

TEST(DeviceWithoutCamera, SetGrabModeReturnsFalseInsteadOfDereferencingNull) {
    Brevanta::KelDevice_B device(nullptr);
    for (int mode = 0; mode <= 5; ++mode) EXPECT_FALSE(device.setGrabMode(mode)) << mode;
    EXPECT_FALSE(device.isGrabbing());
}

TEST(DeviceWithoutCamera, StopGrabbingDoesNothingInsteadOfDereferencingNull) {
    Brevanta::KelDevice_B device(nullptr);
    device.stopGrabbing();
    EXPECT_FALSE(device.isGrabbing());
}

TEST(DeviceWithoutCamera, EveryOtherOperationAnswersEmptyWithoutCrashing) {
    Brevanta::KelDevice_B device(nullptr);
    OutputCapture output;
    EXPECT_FALSE(device.open(false));
    EXPECT_EQ(output.stdErr(), "\nCamera not Connected");
    output.clear();

    device.setImageSize(640, 480);
    device.setImageOffset(8, 8);
    device.setExposureTime(1000.0);
    device.setGain(3.0);
    device.setPixelFormat(0);
    device.setTriggerMode(1);
    device.setExposureAutoOff();
    device.setGainAutoOff();
    device.setAutoExposureLowerLimit(10.0);
    device.setAutoExposureUpperLimit(1e6);
    device.close();
    EXPECT_FALSE(device.setFlashMode(1));
    EXPECT_FALSE(device.setExposureAutoContinuous());
    EXPECT_FALSE(device.setGainAutoContinuous());
    EXPECT_EQ(device.getWidth(), 0);
    EXPECT_EQ(device.getGain(), 0.0);
    EXPECT_EQ(device.pixelFormat, 1);

    double min = -1.0;
    double max = -1.0;
    device.getGainRange(min, max);
    EXPECT_EQ(min, 0.0);
    EXPECT_EQ(max, 0.0);
    EXPECT_EQ(device.getExposureTime(), 0.0);
    EXPECT_EQ(device.getResultingFrameRate(), 0.0);
    EXPECT_EQ(device.getUserDefinedName(), "");
    EXPECT_FALSE(device.isConnected());
    EXPECT_EQ(output.stdOut() + output.stdErr(), "");
}

}  // namespace
