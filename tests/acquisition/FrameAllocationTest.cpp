// The live loop's per-frame work allocates nothing once its buffers exist.
#include <atomic>

#include "AcquisitionFixture.h"
#include "AllocationCounter.h"

namespace kelo::acquisitiontest {
namespace {

using Brevanta::KelSpectro;

class FrameAllocation : public AcquisitionTest {};

TEST_F(FrameAllocation, FramesInsideAnAverageAllocateNothing) {
    constexpr int kAverages = 40;
    constexpr int kFirst = 10;  // frames of one average between which is counted
    constexpr int kLast = 35;
    std::unique_ptr<KelSpectro> spectro = openController();
    spectro->setAverages(kAverages);

    kelo::test::CountedAllocations counted;
    std::atomic<long> atFirst{-1}, atLast{-1};
    // Runs on the worker as each frame is added; it allocates nothing itself.
    QObject::connect(
        spectro.get(), &KelSpectro::avgProgress, spectro.get(),
        [&](double progress) {
            const int frame = static_cast<int>(progress * kAverages / 100.0 + 0.5);
            if (frame == kFirst && atFirst < 0) atFirst = counted.count();
            if (frame == kLast && atFirst >= 0 && atLast < 0) atLast = counted.count();
        },
        Qt::DirectConnection);
    LiveRun live(*spectro);
    ASSERT_TRUE(waitUntil([&] { return atLast >= 0; }));
    live.stop();

    EXPECT_EQ(atLast - atFirst, 0);
}

}  // namespace
}  // namespace kelo::acquisitiontest
