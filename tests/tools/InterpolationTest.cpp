// Sprague and linear refinement of 5 nm tables against functions whose
// values between the nodes are known.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "Interpolation.h"

namespace kelo::colourdata {
namespace {

double quartic(double x) {
    return 0.5 - 1.2 * x + 0.3 * x * x - 0.04 * x * x * x + 0.002 * x * x * x * x;
}

std::vector<double> nodesOf(double (*function)(double), int count) {
    std::vector<double> nodes;
    for (int i = 0; i < count; ++i) nodes.push_back(function(i));
    return nodes;
}

TEST(Sprague, ReproducesAQuarticWhereNoExtrapolatedNodeIsUsed) {
    const int nodeCount = 14;
    const std::vector<double> refined = spragueRefine(nodesOf(quartic, nodeCount), 5);
    ASSERT_EQ(refined.size(), (nodeCount - 1) * 5u + 1);
    // Interval k uses nodes k-2 .. k+3: intervals 2 .. nodeCount-4 are all real.
    for (int interval = 2; interval <= nodeCount - 4; ++interval) {
        for (int step = 0; step < 5; ++step) {
            const double x = interval + step / 5.0;
            EXPECT_NEAR(refined[interval * 5 + step], quartic(x), 1e-12) << "at x = " << x;
        }
    }
}

TEST(Sprague, ReproducesAStraightLineUpToBothEnds) {
    std::vector<double> nodes;
    for (int i = 0; i < 8; ++i) nodes.push_back(3.0 - 0.75 * i);
    const std::vector<double> refined = spragueRefine(nodes, 5);
    for (std::size_t k = 0; k < refined.size(); ++k)
        EXPECT_NEAR(refined[k], 3.0 - 0.75 * (k / 5.0), 1e-12) << "at step " << k;
}

// A single 1 among zeros shows each weight of the quintic on its own.
TEST(Sprague, InterpolatesAnImpulseWithTheRecommendedWeights) {
    const std::vector<double> nodes = {0, 0, 0, 0, 1, 0, 0, 0, 0};
    const std::vector<double> refined = spragueRefine(nodes, 5);
    // Interval 3 (F-2 .. F3 = 0, 0, 0, 1, 0, 0) at X = 0.4:
    // (16 X + 16 X^2 + 66 X^3 - 124 X^4 + 50 X^5) / 24.
    EXPECT_NEAR(refined[3 * 5 + 2], 0.4384, 1e-15);
    // Interval 4 (F-2 .. F3 = 0, 0, 1, 0, 0, 0) at X = 0.2:
    // 1 + (-30 X^2 - 70 X^3 + 126 X^4 - 50 X^5) / 24.
    EXPECT_NEAR(refined[4 * 5 + 1], 0.9344, 1e-15);
}

TEST(Sprague, ExtrapolatesTwoNodesAtEachEndWithTheOver209Weights) {
    const std::vector<double> nodes = {1, 2, 4, 8, 16, 32};
    const std::array<double, 2> below = spragueBelowFirst(nodes);
    EXPECT_NEAR(below[0], -568.0 / 209, 1e-13);
    EXPECT_NEAR(below[1], -20.0 / 209, 1e-13);
    const std::array<double, 2> above = spragueAboveLast(nodes);
    EXPECT_NEAR(above[0], 10316.0 / 209, 1e-12);
    EXPECT_NEAR(above[1], 12580.0 / 209, 1e-12);
}

TEST(Sprague, RefusesFewerThanSixNodes) {
    EXPECT_THROW(spragueRefine({1, 2, 3, 4, 5}, 5), std::invalid_argument);
    EXPECT_THROW(spragueBelowFirst({1, 2, 3}), std::invalid_argument);
}

TEST(LinearRefinement, SplitsEachIntervalIntoEqualSteps) {
    const std::vector<double> expected = {0, 2, 4, 6, 8, 10, 9, 8, 7, 6, 5};
    const std::vector<double> refined = linearRefine({0, 10, 5}, 5);
    ASSERT_EQ(refined.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_DOUBLE_EQ(refined[i], expected[i]);
    EXPECT_THROW(linearRefine({1}, 5), std::invalid_argument);
}

}  // namespace
}  // namespace kelo::colourdata
