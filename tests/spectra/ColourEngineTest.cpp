// The colour engine: its data files, the tristimulus sum on the colour grid,
// L*a*b*, sRGB, the white points, and the chart matches.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "OutputCapture.h"
#include "TestSupport.h"
#include "spectra/ColourEngine.h"

namespace {

namespace fs = std::filesystem;
using kelo::test::OutputCapture;
using kelo::test::ScopedWorkDir;
using kelo::test::writeText;
using Triple = ColourEngine::Triple;

const double kEpsilon = std::pow(0.20689655172413793, 3);

// Rows "wl v..." from `first` to `last` nm, every value `value`.
std::string flatTable(int first, int last, int columns, double value) {
    std::ostringstream text;
    for (int nm = first; nm <= last; ++nm) {
        text << nm;
        for (int c = 0; c < columns; ++c) text << " " << value;
        text << "\n";
    }
    return text.str();
}

// Colour data under which every wavelength weighs the same: flat observers
// and illuminants, so the tristimulus values are 100 times the mean
// reflectance over 380..730 nm.
void writeFlatData(const fs::path& root) {
    writeText(root / "data/cmf1931.dat", flatTable(360, 830, 3, 1.0));
    writeText(root / "data/cmf1964.dat", flatTable(360, 830, 3, 1.0));
    writeText(root / "data/D65.dat", flatTable(380, 780, 1, 1.0));
    writeText(root / "data/D50.dat", flatTable(380, 780, 1, 1.0));
    writeText(root / "data/pmsRgb.dat", "white,ffffff\n");
}

std::vector<double> grid(int first, int count) {
    std::vector<double> values;
    for (int i = 0; i < count; ++i) values.push_back(first + i);
    return values;
}

class FlatColourData : public ::testing::Test {
protected:
    void SetUp() override {
        writeFlatData(dir.path());
        OutputCapture quiet;
        ASSERT_TRUE(engine.load());
    }
    double yOf(int firstNm, const std::vector<double>& reflectance) {
        engine.setSpectrometerGrid(grid(firstNm, static_cast<int>(reflectance.size())));
        return engine.computeXYZ(reflectance)[1];
    }
    ScopedWorkDir dir;
    ColourEngine engine;
};

TEST_F(FlatColourData, PerfectWhiteGivesY100) {
    const Triple xyz = engine.computeXYZ(std::vector<double>(351, 1.0));
    EXPECT_DOUBLE_EQ(xyz[0], 100.0);
    EXPECT_DOUBLE_EQ(xyz[1], 100.0);
    EXPECT_DOUBLE_EQ(xyz[2], 100.0);
}

TEST_F(FlatColourData, ReflectanceIsPlacedOnTheColourGridByItsFirstWavelength) {
    // From 400 nm: the first sample stands for 380..400 (21 of 351 points).
    std::vector<double> fromFour(331, 0.0);
    fromFour[0] = 1.0;
    EXPECT_NEAR(yOf(400, fromFour), 100.0 * 21 / 351, 1e-12);

    // From 370 nm: the ten samples below 380 nm are dropped, not shifted in.
    std::vector<double> fromThree(371, 0.0);
    for (int i = 0; i < 10; ++i) fromThree[static_cast<std::size_t>(i)] = 1.0;
    EXPECT_NEAR(yOf(370, fromThree), 0.0, 1e-12);
    fromThree[10] = 1.0;
    EXPECT_NEAR(yOf(370, fromThree), 100.0 / 351, 1e-12);

    // Ending at 389 nm: the last sample stands for the rest up to 730 nm.
    std::vector<double> shortOne(10, 1.0);
    shortOne.back() = 0.5;
    EXPECT_NEAR(yOf(380, shortOne), 100.0 * (9 + 342 * 0.5) / 351, 1e-12);

    EXPECT_EQ(yOf(380, {}), 0.0);
}

TEST(ColourConversions, LightnessAtTheLinearBranchEdge) {
    ColourEngine engine;
    engine.setIlluminant(true);
    engine.setObserver(true);
    const double y = kEpsilon * 100.0;
    ASSERT_EQ(y / 100.0, kEpsilon);
    EXPECT_EQ(engine.xyzToLab(95.042, y, 108.87)[0], kEpsilon * 903.2999877929688);
    // Just above: the cube root.
    const double above = 0.01;
    EXPECT_NEAR(engine.xyzToLab(95.042, above * 100.0, 108.87)[0], 116.0 * std::cbrt(above) - 16.0,
                1e-12);
    // The white itself: L 100, a and b 0.
    const Triple white = engine.xyzToLab(95.042, 100.0, 108.87);
    EXPECT_NEAR(white[0], 100.0, 1e-12);
    EXPECT_NEAR(white[1], 0.0, 1e-12);
    EXPECT_NEAR(white[2], 0.0, 1e-12);
}

TEST(ColourConversions, RgbIsClampedCompandedAndRounded) {
    ColourEngine engine;
    EXPECT_EQ(engine.xyzToRgb(95.047, 100.0, 108.883), (Triple{255, 255, 255}));
    EXPECT_EQ(engine.xyzToRgb(0.0, 0.0, 0.0), (Triple{0, 0, 0}));
    // Pure Z: red negative (0), green 0.041556 (57), blue above 1 (255).
    EXPECT_EQ(engine.xyzToRgb(0.0, 0.0, 100.0), (Triple{0, 57, 255}));
    // Far beyond white: every channel stops at 255.
    EXPECT_EQ(engine.xyzToRgb(500.0, 500.0, 500.0), (Triple{255, 255, 255}));
}

TEST(ColourConversions, WhitePointFollowsTheSetterCalledLast) {
    ColourEngine engine;
    engine.setIlluminant(true);
    engine.setObserver(true);
    EXPECT_EQ(engine.getWhitePoint(), (Triple{95.042, 100, 108.87}));
    engine.setObserver(true);
    engine.setIlluminant(true);
    EXPECT_EQ(engine.getWhitePoint(), (Triple{95.047, 100, 108.883}));

    engine.setIlluminant(false);
    EXPECT_EQ(engine.getWhitePoint(), (Triple{96.41986557609, 100, 82.511648322104}));
    engine.setObserver(true);
    EXPECT_EQ(engine.getWhitePoint(), (Triple{96.42, 100, 82.51}));
    engine.setObserver(false);
    EXPECT_EQ(engine.getWhitePoint(), (Triple{96.72, 100, 81.45}));
    engine.setIlluminant(true);
    EXPECT_EQ(engine.getWhitePoint(), (Triple{94.811, 100, 107.32}));
    EXPECT_TRUE(engine.isD65());
    EXPECT_FALSE(engine.is1931());

    // The matrix follows the illuminant: D50's turns a D50 white to white.
    engine.setIlluminant(false);
    EXPECT_EQ(engine.xyzToRgb(96.42, 100.0, 82.51), (Triple{255, 255, 255}));
}

TEST(ColourDataFiles, MissingFilesAreNamedAndTheLaterOnesNotTried) {
    ScopedWorkDir dir;
    ColourEngine engine;
    {
        OutputCapture output;
        EXPECT_FALSE(engine.load());
        EXPECT_EQ(output.stdOut(), "data/cmf1931.dat file not found\ndata/pmsRgb.dat not found\n");
    }
    writeFlatData(dir.path());
    fs::remove(dir.path() / "data/D50.dat");
    OutputCapture output;
    EXPECT_FALSE(engine.load());
    EXPECT_EQ(output.stdOut(), "data/D50.dat file not found\n");
}

TEST(ColourDataFiles, ShortOrBrokenTablesFailNamingTheFileAndRows) {
    ScopedWorkDir dir;
    writeFlatData(dir.path());
    ColourEngine engine;
    writeText(dir.path() / "data/D65.dat", flatTable(380, 779, 1, 1.0));
    {
        OutputCapture output;
        EXPECT_FALSE(engine.load());
        EXPECT_EQ(output.stdOut(), "data/D65.dat: 400 rows read, 401 expected\n");
    }
    writeText(dir.path() / "data/D65.dat", flatTable(380, 780, 1, 1.0));
    writeText(dir.path() / "data/cmf1931.dat",
              flatTable(360, 400, 3, 1.0) + "401 1 x 1\n" + flatTable(402, 830, 3, 1.0));
    {
        OutputCapture output;
        EXPECT_FALSE(engine.load());
        EXPECT_EQ(output.stdOut(), "data/cmf1931.dat: 41 rows read, 471 expected\n");
    }
    writeText(dir.path() / "data/cmf1931.dat", flatTable(360, 830, 3, 1.0));
    writeText(dir.path() / "data/cmf1964.dat", "no numbers here\n");
    OutputCapture output;
    EXPECT_FALSE(engine.load());
    EXPECT_EQ(output.stdOut(), "data/cmf1964.dat: no rows read\n");
}

// The build's colour data.
class RealColourData : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.path() / "data");
        for (const char* name : {"cmf1931.dat", "cmf1964.dat", "D65.dat", "D50.dat", "pmsRgb.dat"})
            fs::copy_file(fs::path(KELO_DATA_DIR) / name, dir.path() / "data" / name);
        OutputCapture quiet;
        ASSERT_TRUE(engine.load());
        engine.setSpectrometerGrid(grid(390, 411));
    }
    ScopedWorkDir dir;
    ColourEngine engine;
    const std::vector<double> white = std::vector<double>(411, 1.0);
};

TEST_F(RealColourData, PerfectWhiteUnderD65And1931) {
    engine.setIlluminant(true);
    engine.setObserver(true);
    const Triple xyz = engine.computeXYZ(white);
    EXPECT_NEAR(xyz[1], 100.0, 1e-9);
    // The tristimulus values of the illuminant itself, over 380..730 nm.
    EXPECT_NEAR(xyz[0], 95.04, 0.3);
    EXPECT_NEAR(xyz[2], 108.9, 0.5);
    const Triple lab = engine.xyzToLab(xyz[0], xyz[1], xyz[2]);
    EXPECT_NEAR(lab[0], 100.0, 1e-9);
    EXPECT_NEAR(lab[1], 0.0, 0.5);
    EXPECT_NEAR(lab[2], 0.0, 0.5);
    EXPECT_EQ(engine.matchRgb(255, 255, 255).name, "white");
}

TEST_F(RealColourData, EachIlluminantAndObserverHasItsOwnWhite) {
    struct Case {
        bool d65, cie1931;
        Triple expected;
    } cases[] = {
        {true, false, {94.81, 100, 107.3}},
        {false, true, {96.42, 100, 82.5}},
        {false, false, {96.72, 100, 81.4}},
    };
    for (const Case& c : cases) {
        engine.setIlluminant(c.d65);
        engine.setObserver(c.cie1931);
        const Triple xyz = engine.computeXYZ(white);
        EXPECT_NEAR(xyz[0], c.expected[0], 0.4) << c.d65 << c.cie1931;
        EXPECT_NEAR(xyz[1], 100.0, 1e-9) << c.d65 << c.cie1931;
        EXPECT_NEAR(xyz[2], c.expected[2], 0.6) << c.d65 << c.cie1931;
    }
}

class ColourChart : public ::testing::Test {
protected:
    void chart(const std::string& text) {
        writeText(dir.path() / "data/pmsRgb.dat", text);
        ASSERT_TRUE(engine.loadChart());
    }
    ScopedWorkDir dir;
    ColourEngine engine;
};

TEST_F(ColourChart, ExactMatchOfTheLowerCaseKeyElseTheNearestColour) {
    chart(
        "name,value\n\nhot pink,ff0080\r\nshort,fff\nno comma\n,123456\nHOT,FF0080\n"
        "leaf,0ac81e\n");
    EXPECT_EQ(engine.chartSize(), 3u);
    const ChartMatch exact = engine.matchRgb(255, 0, 128);
    EXPECT_EQ(exact.name, "hot pink");
    EXPECT_EQ(exact.distance, 0);

    // Red below 16 gives a five-digit key, found only by the nearest search.
    const ChartMatch leaf = engine.matchRgb(10, 200, 30);
    EXPECT_EQ(leaf.name, "leaf");
    EXPECT_EQ(leaf.distance, 0);

    const ChartMatch near = engine.matchRgb(250, 3, 120);
    EXPECT_EQ(near.name, "hot pink");
    EXPECT_EQ(near.distance, 9);  // sqrt(25 + 9 + 64) = 9.9
}

TEST_F(ColourChart, UpperCaseValuesAreFoundByTheNearestSearchAndTiesKeepTheEarlier) {
    chart("HOT,FF0080\nblue-ish,000010\nalso,001000\n");
    EXPECT_EQ(engine.matchRgb(255, 0, 128).name, "HOT");
    EXPECT_EQ(engine.matchRgb(255, 0, 128).distance, 0);
    const ChartMatch tie = engine.matchRgb(0, 0, 0);
    EXPECT_EQ(tie.name, "blue-ish");
    EXPECT_EQ(tie.distance, 16);
}

TEST_F(ColourChart, EmptyOrMissingChart) {
    chart("");
    EXPECT_EQ(engine.matchRgb(1, 2, 3).name, "");
    EXPECT_EQ(engine.matchRgb(1, 2, 3).distance, 1000);

    chart("white,ffffff\n");
    fs::remove(dir.path() / "data/pmsRgb.dat");
    OutputCapture output;
    EXPECT_FALSE(engine.loadChart());
    EXPECT_EQ(output.stdOut(), "data/pmsRgb.dat not found\n");
    EXPECT_EQ(engine.matchRgb(255, 255, 255).name, "white");
}

TEST(LabChart, EmptyChartAndTheWeightedDistance) {
    ColourEngine engine;
    EXPECT_EQ(engine.matchLab(50, 0, 0).name, "");
    EXPECT_EQ(engine.matchLab(50, 0, 0).distance, 1000);

    engine.setLabChart({{"mid", 50, 0, 0}, {"light", 60, 1, 0}});
    // To "mid": sqrt(100 / 10) = 3.16; to "light": 2 * 1 = 2.
    EXPECT_EQ(engine.matchLab(60, 0, 0).name, "light");
    EXPECT_EQ(engine.matchLab(60, 0, 0).distance, 2);
    // To "mid": 2 * 0.81 = 1.62; to "light": sqrt(10) + 2 * 0.01 = 3.18.
    EXPECT_EQ(engine.matchLab(50, 0.9, 0).name, "mid");
    EXPECT_EQ(engine.matchLab(50, 0.9, 0).distance, 1);
}

}  // namespace
