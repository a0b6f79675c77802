// The light of the scenes, checked against physics written out here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "simcam/SceneSpectra.h"
#include "simcam/SimulatorControl.h"

namespace kelo::simcam {
namespace {

// Centroid of the columns first..last (nm) after removing the straight line
// through the two end columns, so a line on a smooth band is located alone.
double lineCentroid(const std::string& scene, int first, int last) {
    const std::vector<double> light = sceneSpectrum(scene, first, last - first + 1);
    const double left = light.front();
    const double slope = (light.back() - left) / (last - first);
    double weight = 0.0;
    double moment = 0.0;
    for (int j = 0; j <= last - first; ++j) {
        const double above = light[j] - (left + slope * j);
        weight += above;
        moment += above * (first + j);
    }
    return moment / weight;
}

TEST(SceneSpectraTest, NarrowLinesKeepTheirSubNanometrePosition) {
    EXPECT_NEAR(lineCentroid("fluorescent", 400, 410), 404.7, 0.1);
    EXPECT_NEAR(lineCentroid("fluorescent", 431, 441), 435.8, 0.1);
    EXPECT_NEAR(lineCentroid("laser532", 526, 538), 532.0, 0.01);
    // The two yellow lines 2.1 nm apart: the column between them is lit, the
    // ones on either side as the line positions say.
    const std::vector<double> yellow = sceneSpectrum("fluorescent", 576, 5);
    EXPECT_GT(yellow[1], yellow[0]);  // 577 holds the 577.0 line
    EXPECT_GT(yellow[3], yellow[4]);  // 579 holds the 579.1 line
}

TEST(SceneSpectraTest, ColumnsStartAtTheFirstWavelength) {
    const std::vector<double> laser = sceneSpectrum("laser532", 530.0, 5);
    ASSERT_EQ(laser.size(), 5u);
    EXPECT_EQ(std::max_element(laser.begin(), laser.end()) - laser.begin(), 2);
    EXPECT_EQ(sceneSpectrum("halogen", 380.0, 0).size(), 0u);
}

TEST(SceneSpectraTest, HalogenFollowsABlackBodyNear3000Kelvin) {
    // Planck's law, ratio of two wavelengths at 3000 K.
    const auto planck = [](double nm) {
        return 1.0 / (std::pow(nm * 1e-9, 5) * (std::exp(0.01438777 / (nm * 1e-9 * 3000.0)) - 1));
    };
    const std::vector<double> light = sceneSpectrum("halogen", 400.0, 501);
    EXPECT_NEAR(light[300] / light[100], planck(700.0) / planck(500.0), 1e-3);
    EXPECT_NEAR(light[0] / light[500], planck(400.0) / planck(900.0), 1e-3);
}

TEST(SceneSpectraTest, SamplesAreTheLampTimesTheirReflectance) {
    const std::vector<double> white = sceneSpectrum("white", 380.0, 641);
    const std::vector<double> grey = sceneSpectrum("grey50", 380.0, 641);
    const std::vector<double> red = sceneSpectrum("red", 380.0, 641);
    const std::vector<double> blue = sceneSpectrum("blue", 380.0, 641);
    for (std::size_t j = 20; j < white.size(); j += 40) {
        ASSERT_GT(white[j], 0.0) << 380 + j;
        EXPECT_NEAR(grey[j] / white[j], 0.5 / 0.99, 1e-12) << 380 + j;
    }
    EXPECT_GT(red[300] / white[300], 0.8);  // 680 nm
    EXPECT_LT(red[70] / white[70], 0.1);    // 450 nm
    EXPECT_GT(blue[70] / white[70], 0.5);
    EXPECT_LT(blue[300] / white[300], 0.1);
    EXPECT_TRUE(sceneNeedsLamp("yellow"));
    EXPECT_FALSE(sceneNeedsLamp("fluorescent"));
}

TEST(SceneSpectraTest, DarkIsBlackAndUnknownScenesAreRefused) {
    const std::vector<double> dark = sceneSpectrum("dark", 380.0, 641);
    EXPECT_TRUE(std::all_of(dark.begin(), dark.end(), [](double v) { return v == 0.0; }));
    EXPECT_THROW(sceneSpectrum("sunlight", 380.0, 10), std::invalid_argument);
    EXPECT_FALSE(isKnownScene("Halogen"));
    const std::vector<std::string> expected = {"dark",     "halogen", "led",    "fluorescent",
                                               "laser532", "white",   "grey50", "red",
                                               "green",    "blue",    "yellow"};
    EXPECT_EQ(sceneNames(), expected);
    for (const std::string& name : expected) EXPECT_TRUE(isKnownScene(name)) << name;
}

}  // namespace
}  // namespace kelo::simcam
