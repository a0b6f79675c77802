// A grabbing camera allocates nothing per frame once its buffers exist.
#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "SimCameraTestSupport.h"

namespace kelo::simcamtest {
namespace {

class GrabAllocationTest : public SimCameraTest {};

TEST_F(GrabAllocationTest, FramesAndNodeWritesAllocateNothingWhileGrabbing) {
    simcam::setNoise(true);
    auto device = openCamera();
    setUnitWindow(*device, 1000.0, 0.0);
    setEnumeration(*device, "ExposureAuto", "Continuous");
    setEnumeration(*device, "GainAuto", "Continuous");
    camera::FloatNode& upperLimit = *device->nodeMap().floatNode("AutoExposureTimeUpperLimit");
    for (camera::GrabStrategy strategy :
         {camera::GrabStrategy::OneByOne, camera::GrabStrategy::LatestImageOnly}) {
        device->startGrabbing(strategy, camera::GrabLoop::ProvidedByUser);
        camera::GrabResult result;
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(device->retrieveResult(1000, result, camera::TimeoutHandling::Return));

        test::CountedAllocations counted;
        for (int i = 0; i < 10; ++i) {
            result.reset();
            upperLimit.setValue(5000.0 + i);
            if (!device->retrieveResult(1000, result, camera::TimeoutHandling::Return)) break;
        }
        const long allocations = counted.count();
        EXPECT_NE(result, nullptr);
        EXPECT_EQ(allocations, 0);
        device->stopGrabbing();
    }
}

}  // namespace
}  // namespace kelo::simcamtest
