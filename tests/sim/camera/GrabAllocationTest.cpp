// A grabbing camera allocates nothing per frame once its buffers exist:
// counted by replacing the global allocation functions of this test program.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "SimCameraTestSupport.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

}  // namespace

void* operator new(std::size_t size) {
    if (counting) ++allocations;
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

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

        allocations = 0;
        counting = true;
        for (int i = 0; i < 10; ++i) {
            result.reset();
            upperLimit.setValue(5000.0 + i);
            if (!device->retrieveResult(1000, result, camera::TimeoutHandling::Return)) break;
        }
        counting = false;
        EXPECT_NE(result, nullptr);
        EXPECT_EQ(allocations, 0);
        device->stopGrabbing();
    }
}

}  // namespace
}  // namespace kelo::simcamtest
