// Unplugging and plugging a simulated camera in again.
#include <gtest/gtest.h>

#include <thread>

#include "SimCameraTestSupport.h"

namespace kelo::simcamtest {
namespace {

using camera::TimeoutHandling;

class UnplugTest : public SimCameraTest {};

bool enumerated(const std::string& serial) {
    camera::DeviceInfoList list;
    camera::transportLayerFactory().enumerateDevices(list);
    for (const camera::DeviceInfo& info : list)
        if (info.serialNumber == serial) return true;
    return false;
}

TEST_F(UnplugTest, AnUnpluggedCameraIsRemovedAndNoLongerListed) {
    auto device = openCamera();
    setUnitWindow(*device, 5000.0, 0.0);
    device->startGrabbing(camera::GrabStrategy::OneByOne, camera::GrabLoop::ProvidedByUser);
    camera::FloatNode& exposure = *device->nodeMap().floatNode("ExposureTime");

    EXPECT_TRUE(simcam::unplug(kSerial));
    EXPECT_TRUE(device->isRemoved());
    EXPECT_FALSE(enumerated(kSerial));
    camera::GrabResult result;
    EXPECT_THROW(device->retrieveResult(100, result, TimeoutHandling::Return),
                 camera::RuntimeException);
    EXPECT_THROW(exposure.setValue(1000.0), camera::RuntimeException);
    EXPECT_EQ(exposure.accessMode(), camera::AccessMode::NotAvailable);
    EXPECT_THROW(device->open(), camera::RuntimeException);
    EXPECT_THROW(camera::transportLayerFactory().createDevice({kSerial, kUnitId}),
                 camera::RuntimeException);
    // Releasing a removed camera is quiet.
    device->stopGrabbing();
    device->close();
}

TEST_F(UnplugTest, AWaitingRetrievalLearnsOfTheRemovalAtOnce) {
    auto device = openCamera();
    setFloat(*device, "ExposureTime", 2e6);
    device->startGrabbing(camera::GrabStrategy::OneByOne, camera::GrabLoop::ProvidedByUser);
    std::thread unplugger([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        simcam::unplug(kSerial);
    });
    const auto start = std::chrono::steady_clock::now();
    camera::GrabResult result;
    EXPECT_THROW(device->retrieveResult(3000, result, TimeoutHandling::Return),
                 camera::RuntimeException);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    unplugger.join();
}

TEST_F(UnplugTest, PluggingInListsTheCameraForANewDevice) {
    auto old = openCamera();
    EXPECT_TRUE(simcam::unplug(kSerial));
    EXPECT_TRUE(simcam::unplug(kSerial));  // already out
    EXPECT_TRUE(simcam::plugIn(kSerial));
    EXPECT_TRUE(enumerated(kSerial));
    EXPECT_TRUE(old->isRemoved());  // the old device stays gone, as with hardware

    auto device = openCamera();
    EXPECT_FALSE(device->isRemoved());
    setUnitWindow(*device, 2000.0, 0.0);
    EXPECT_NE(grabOne(*device), nullptr);
}

TEST_F(UnplugTest, UnknownSerialNumbersAreRefused) {
    EXPECT_FALSE(simcam::unplug("123"));
    EXPECT_FALSE(simcam::plugIn("123"));
    EXPECT_TRUE(enumerated(kSerial));
}

}  // namespace
}  // namespace kelo::simcamtest
