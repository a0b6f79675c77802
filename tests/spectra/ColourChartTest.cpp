// Matching a colour against the named RGB chart file and the L*a*b* chart.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "OutputCapture.h"
#include "TestSupport.h"
#include "spectra/ColourEngine.h"

namespace {

using kelo::test::OutputCapture;
using kelo::test::ScopedWorkDir;
using kelo::test::writeText;

void expectMatch(const ChartMatch& match, const std::string& name, int distance) {
    EXPECT_EQ(match.name, name);
    EXPECT_EQ(match.distance, distance);
}

class ColourChart : public ::testing::Test {
protected:
    // Writes the chart file and reads it.
    void loadChart(const std::string& text) {
        writeText("data/pmsRgb.dat", text);
        ASSERT_TRUE(engine.loadChart());
    }

    ScopedWorkDir workDir;
    ColourEngine engine;
};

TEST_F(ColourChart, LowerCaseValueMatchesExactlyBeforeAnEarlierUpperCaseOne) {
    // The nearest search would pick the earlier entry; the exact match wins.
    loadChart("Shouting pink,FF0080\nPink,ff0080\n");
    expectMatch(engine.matchRgb(255, 0, 128), "Pink", 0);
}

TEST_F(ColourChart, UpperCaseValueIsFoundByTheNearestSearch) {
    loadChart("Grey,808080\nShouting pink,FF0080\n");
    expectMatch(engine.matchRgb(255, 0, 128), "Shouting pink", 0);
}

TEST_F(ColourChart, RedBelow16IsFoundByTheNearestSearch) {
    // The key "ac81e" has five digits and matches no value exactly.
    loadChart("Almost,0bc81e\nGrass,0ac81e\n");
    expectMatch(engine.matchRgb(10, 200, 30), "Grass", 0);
}

TEST_F(ColourChart, NearestDistanceIsTruncatedAndTiesKeepTheEarlierEntry) {
    // Both at distance 10 from (100, 100, 100); the third at sqrt(300) = 17.3.
    loadChart("Lighter,6e6464\nDarker,5a6464\nFar,6e6e6e\n");
    expectMatch(engine.matchRgb(100, 100, 100), "Lighter", 10);
    expectMatch(engine.matchRgb(111, 110, 110), "Far", 1);
}

TEST_F(ColourChart, MalformedLinesAreSkipped) {
    loadChart(
        "name,value\r\n"
        "\r\n"
        "Red,ff0000\r\n"
        ",00ff00\n"
        "Short,fff\n"
        "Long,ff00000\n"
        "No comma 00ff00\n"
        "Not hex,gg0000\n"
        "Blue,0000ff");
    EXPECT_EQ(engine.chartSize(), 2u);
    expectMatch(engine.matchRgb(255, 0, 0), "Red", 0);
    expectMatch(engine.matchRgb(0, 0, 255), "Blue", 0);
    // sqrt(255^2 + 255^2) = 360.6 to both; Red comes first.
    expectMatch(engine.matchRgb(0, 255, 0), "Red", 360);
}

TEST_F(ColourChart, MissingFileKeepsTheChartRead) {
    loadChart("Red,ff0000\n");
    std::remove("data/pmsRgb.dat");
    OutputCapture output;
    EXPECT_FALSE(engine.loadChart());
    EXPECT_EQ(output.stdOut(), "data/pmsRgb.dat not found\n");
    EXPECT_EQ(engine.chartSize(), 1u);
    expectMatch(engine.matchRgb(250, 0, 0), "Red", 5);
}

TEST_F(ColourChart, EmptyChartMatchesNothing) {
    expectMatch(engine.matchRgb(255, 0, 128), "", 1000);
    loadChart("");
    expectMatch(engine.matchRgb(0, 0, 0), "", 1000);
}

TEST(ColourLabChart, EmptyChartMatchesNothing) {
    ColourEngine engine;
    expectMatch(engine.matchLab(50, 10, -10), "", 1000);
}

TEST(ColourLabChart, LightnessWeighsLessThanHue) {
    ColourEngine engine;
    engine.setLabChart({{"Dark", 20, 0, 0}, {"Tinted", 60, 3, 0}});
    // Dark: sqrt(40^2 / 10) = 12.6; Tinted: 2 * 3^2 = 18.
    expectMatch(engine.matchLab(60, 0, 0), "Dark", 12);

    engine.setLabChart({{"Dark", 20, 0, 0}, {"Tinted", 60, 0, -2}, {"Same", 60, 2, 0}});
    // Tinted and Same tie at 2 * 2^2 = 8; the earlier one stays.
    expectMatch(engine.matchLab(60, 0, 0), "Tinted", 8);
}

TEST(ColourLabChart, NothingCloserThan1000MatchesNothing) {
    ColourEngine engine;
    engine.setLabChart({{"Far", 50, 30, 0}});  // 2 * 30^2 = 1800
    expectMatch(engine.matchLab(50, 0, 0), "", 1000);
}

}  // namespace
