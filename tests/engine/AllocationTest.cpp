// Frame work allocates nothing once the buffers exist: counted by replacing
// the global allocation functions of this test program.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <sstream>

#include "TestSupport.h"
#include "engine/SpectralProcessor.h"
#include "sim/SyntheticUnit.h"

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

namespace {

class CountedAllocations {
public:
    CountedAllocations() {
        allocations = 0;
        counting = true;
    }
    ~CountedAllocations() { counting = false; }
    long count() const { return allocations; }
};

TEST(Allocation, FrameOperationsAllocateNothingAfterTheFirstFrame) {
    kelo::test::ScopedWorkDir dir;
    kelo::sim::SyntheticUnitOptions options;
    options.id = "K3S00042";
    std::ostringstream unitLog;
    ASSERT_EQ(kelo::sim::writeSyntheticUnit(options, unitLog), "");

    std::ostream quiet(nullptr);  // a stream that discards, without growing
    SpectralProcessor processor(quiet);
    ASSERT_TRUE(processor.initialize("K3S00042"));
    ASSERT_EQ(processor.unavailableReason(), "");

    Frame frame(1280 * 670);
    for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = std::uint16_t(100 + i % 1000);
    std::vector<double> cells, spectrum;
    std::uint8_t saturated = 0;
    for (bool restricted : {true, false}) {
        processor.setRestrictedRange(restricted);
        // The first frame of a mode prepares the solver for its matrix.
        ASSERT_TRUE(processor.computeCellValues(frame, cells));
        ASSERT_TRUE(processor.solveSpectrum(cells, spectrum, saturated));

        Frame next = frame;
        std::vector<double> input = cells;
        CountedAllocations counted;
        ASSERT_TRUE(processor.computeCellValues(std::move(next), cells));
        ASSERT_TRUE(processor.solveSpectrum(std::move(input), spectrum, saturated));
        EXPECT_EQ(counted.count(), 0) << (restricted ? "restricted" : "full");
    }
}

}  // namespace
