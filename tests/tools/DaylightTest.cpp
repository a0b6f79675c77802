// The daylight weights against figures worked out by hand from the CIE
// daylight formulae, and the sum of the basis functions.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "Daylight.h"

namespace kelo::colourdata {
namespace {

TEST(DaylightFormula, D50TemperatureGivesItsChromaticityAndRoundedWeights) {
    EXPECT_NEAR(kD50Temperature, 5002.78164116829, 1e-9);
    EXPECT_NEAR(daylightChromaticityX(kD50Temperature), 0.345659446783215, 1e-14);
    const DaylightWeights weights = daylightWeights(kD50Temperature);
    EXPECT_DOUBLE_EQ(weights.m1, -1.039);
    EXPECT_DOUBLE_EQ(weights.m2, 0.363);
}

TEST(DaylightFormula, D65TemperatureGivesTheWeightsOfTheD65Table) {
    // 6500 K on the present c2: M1 = -0.29465, M2 = -0.68913 unrounded.
    const DaylightWeights weights = daylightWeights(6500.0 * 1.4388 / 1.4380);
    EXPECT_DOUBLE_EQ(weights.m1, -0.295);
    EXPECT_DOUBLE_EQ(weights.m2, -0.689);
}

TEST(DaylightFormula, RefusesTemperaturesOutsideTheFormulasRange) {
    EXPECT_NO_THROW(daylightWeights(4000.0));
    EXPECT_NO_THROW(daylightWeights(7000.0));
    EXPECT_THROW(daylightWeights(3999.0), std::invalid_argument);
    EXPECT_THROW(daylightWeights(7001.0), std::invalid_argument);
}

TEST(DaylightFormula, SpectrumIsS0PlusTheWeightedS1AndS2) {
    const std::vector<double> spectrum =
        daylightSpectrum({-1.039, 0.363}, {63.4, 100.0}, {38.5, 0.0}, {3.0, 0.0});
    ASSERT_EQ(spectrum.size(), 2u);
    EXPECT_NEAR(spectrum[0], 24.4875, 1e-12);  // D50 at 380 nm
    EXPECT_EQ(spectrum[1], 100.0);             // every D illuminant at 560 nm
    EXPECT_THROW(daylightSpectrum({0, 0}, {1, 2}, {1}, {1, 2}), std::invalid_argument);
}

}  // namespace
}  // namespace kelo::colourdata
