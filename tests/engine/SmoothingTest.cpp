// The line-width kernels and the part of the smoothed fit that is returned,
// against values worked out independently of the code.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "KernelSmoothing.h"
#include "SpectralGrids.h"

namespace {

using kelo::engine::centralPart;
using kelo::engine::convolveFull;
using kelo::engine::fullGrid;
using kelo::engine::gaussianKernel;
using kelo::engine::integerGrid;

TEST(GaussianKernel, DefaultRestrictedGridPeaksAt595WithTheTruncatedFactor) {
    const std::vector<double> grid = integerGrid(390, 411);
    const std::vector<double> kernel = gaussianKernel(grid, 3.0);
    ASSERT_EQ(kernel.size(), 411u);
    EXPECT_EQ(grid[205], 595.0);
    // exp(-d^2 / (3 * 0.3606 * 3)), normalised; 0.3607 would move these in
    // the fifth digit.
    EXPECT_NEAR(kernel[205], 0.3131777846910431, 1e-16);
    EXPECT_NEAR(kernel[204], 0.23012959426452637, 1e-16);
    EXPECT_NEAR(kernel[206], 0.23012959426452637, 1e-16);
    EXPECT_EQ(kernel[0], 0.0);
    EXPECT_NEAR(std::accumulate(kernel.begin(), kernel.end(), 0.0), 1.0, 1e-15);
}

TEST(GaussianKernel, DefaultFullGridWithShiftStartsAt384AndPeaksAt704) {
    const std::vector<double> grid = fullGrid(380, 1, 4, 641);
    ASSERT_EQ(grid.size(), 641u);
    EXPECT_EQ(grid.front(), 384.0);
    EXPECT_EQ(grid.back(), 1024.0);
    const std::vector<double> kernel = gaussianKernel(grid, 3.0);
    EXPECT_EQ(grid[320], 704.0);
    EXPECT_NEAR(kernel[320], 0.3131777846910431, 1e-16);
    EXPECT_NEAR(kernel[321], 0.23012959426452637, 1e-16);
}

TEST(GaussianKernel, EvenSizeCentresOnTheUpperMiddleElement) {
    const std::vector<double> kernel = gaussianKernel(integerGrid(500, 4), 2.0);
    ASSERT_EQ(kernel.size(), 4u);
    EXPECT_NEAR(kernel[0], 0.030288451795226976, 1e-16);
    EXPECT_NEAR(kernel[1], 0.24241070106196952, 1e-16);
    EXPECT_NEAR(kernel[2], 0.484890146080834, 1e-16);
    EXPECT_NEAR(kernel[3], 0.24241070106196952, 1e-16);
}

TEST(Convolution, IsTheFullLinearConvolution) {
    const double x[] = {1, 2, 0};
    const double kernel[] = {0.25, 0.5, 0.25};
    std::vector<double> c(5, 0.0);
    convolveFull(x, kernel, 3, c.data());
    EXPECT_EQ(c, (std::vector<double>{0.25, 1.0, 1.25, 0.5, 0.0}));
}

TEST(CentralPart, OddSizeTakesC205ToC614ThenRepeatsIt) {
    std::vector<double> c(2 * 411 - 1);
    std::iota(c.begin(), c.end(), 0.0);
    std::vector<double> out(411, -1.0);
    centralPart(c.data(), 411, out.data());
    for (std::size_t i = 0; i < 410; ++i) ASSERT_EQ(out[i], 205.0 + double(i)) << i;
    EXPECT_EQ(out[410], 614.0);
}

TEST(CentralPart, EvenSizeStartsAtTheKernelCentre) {
    const std::vector<double> c = {0, 1, 2, 3, 4, 5, 6};
    std::vector<double> out(4, -1.0);
    centralPart(c.data(), 4, out.data());
    EXPECT_EQ(out, (std::vector<double>{2, 3, 4, 4}));
}

}  // namespace
