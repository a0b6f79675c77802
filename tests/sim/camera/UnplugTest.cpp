// Unplugging and plugging a simulated camera in again.
#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "SimCameraTestSupport.h"
#include "simcam/SimulatedCameras.h"

namespace kelo::simcamtest {
namespace {

using camera::TimeoutHandling;

class UnplugTest : public SimCameraTest {};

bool enumerated(const std::string& serial) {
    camera::DeviceInfoList list;
    simcam::simulatedCameras().enumerateDevices(list);
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
    EXPECT_THROW(simcam::simulatedCameras().createDevice({kSerial, kUnitId, "simulated"}),
                 camera::RuntimeException);
    // Releasing a removed camera is quiet.
    device->stopGrabbing();
    device->close();
}

TEST_F(UnplugTest, AWaitingRetrievalLearnsOfTheRemovalAtOnce) {
    auto device = openCamera();
    // The longest exposure: no frame comes first, and a retrieval left to
    // its frame or its time-out would miss the deadline.
    setFloat(*device, "ExposureTime", 10e6);
    device->startGrabbing(camera::GrabStrategy::OneByOne, camera::GrabLoop::ProvidedByUser);
    auto retrieval = std::async(std::launch::async, [&device] {
        camera::GrabResult result;
        return device->retrieveResult(20000, result, TimeoutHandling::Return);
    });
    // A moment for the retrieval to start waiting; one that starts after the
    // removal throws at once as well.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(simcam::unplug(kSerial));
    ASSERT_EQ(retrieval.wait_for(std::chrono::seconds(2)), std::future_status::ready);
    EXPECT_THROW(retrieval.get(), camera::RuntimeException);
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
