// Frame work, warm solves included, allocates nothing once the buffers exist.
#include <gtest/gtest.h>

#include <sstream>

#include "AllocationCounter.h"
#include "TestSupport.h"
#include "engine/SpectralProcessor.h"
#include "sim/SyntheticUnit.h"

namespace {

using kelo::test::CountedAllocations;

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
        // Warm solves alternate between two cell vectors, through at least
        // one forming of the factorisation afresh.
        std::vector<double> varied = cells;
        for (std::size_t i = 0; i < varied.size(); ++i) varied[i] *= 1.0 + 0.01 * double(i % 7);
        CountedAllocations counted;
        ASSERT_TRUE(processor.computeCellValues(std::move(next), cells));
        ASSERT_TRUE(processor.solveSpectrum(std::move(input), spectrum, saturated));
        for (int solve = 0; solve < 70; ++solve)
            ASSERT_TRUE(processor.solveSpectrum(solve % 2 ? cells : varied, spectrum, saturated,
                                                kelo::engine::SolveStart::warm));
        EXPECT_EQ(counted.count(), 0) << (restricted ? "restricted" : "full");
        EXPECT_TRUE(processor.fitDiagnostics().warmStart);
    }
}

}  // namespace
