// The colour engine on small hand-written colour tables, where the expected
// tristimulus values are sums one can do by hand, and on the real tables of
// the build's data folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "OutputCapture.h"
#include "TestSupport.h"
#include "spectra/ColourEngine.h"

namespace {

namespace fs = std::filesystem;
using kelo::test::OutputCapture;
using kelo::test::ScopedWorkDir;
using kelo::test::writeText;
using Triple = ColourEngine::Triple;

// `count` lines "wavelength values" for whole nm from `first`.
std::string tableRows(int first, int count, const std::string& values) {
    std::string text;
    for (int i = 0; i < count; ++i) text += std::to_string(first + i) + " " + values + "\n";
    return text;
}

// Flat observers (1931: 2, 1, 0.5; 1964: 3, 1, 2) and illuminants: D65 is 1
// everywhere, D50 is 0 up to 554 nm and 1 from 555 nm. With a flat ȳ and
// illuminant the normalisation is 351 grid points, so a reflectance that is 1
// on m of them gives Y = 100 m / 351.
void writeFlatTables() {
    writeText("data/cmf1931.dat", tableRows(360, 471, "2 1 0.5"));
    writeText("data/cmf1964.dat", "380 3 1 2\n730 3 1 2\n");
    writeText("data/D65.dat", tableRows(380, 401, "1"));
    writeText("data/D50.dat", "380 0\n554 0\n555 1\n730 1\n");
}

std::vector<double> wholeNm(int first, int last) {
    std::vector<double> grid;
    for (int nm = first; nm <= last; ++nm) grid.push_back(nm);
    return grid;
}

void expectTriple(const Triple& actual, const Triple& expected, double tolerance) {
    for (std::size_t i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << i;
}

class ColourEngineFlat : public ::testing::Test {
protected:
    void SetUp() override {
        writeFlatTables();
        ASSERT_TRUE(engine.load());
        engine.setSpectrometerGrid(wholeNm(380, 730));
        output.clear();
    }

    ScopedWorkDir workDir;
    OutputCapture output;
    ColourEngine engine;
};

TEST_F(ColourEngineFlat, PerfectWhiteGivesY100) {
    expectTriple(engine.computeXYZ(std::vector<double>(351, 1.0)), {200, 100, 50}, 1e-12);
}

TEST_F(ColourEngineFlat, GridStartingAt400RepeatsTheFirstSampleFrom380) {
    engine.setSpectrometerGrid(wholeNm(400, 730));
    std::vector<double> reflectance(331, 0.0);
    reflectance[0] = 1.0;
    // 380..399 and 400 itself: 21 grid points.
    const double y = 100.0 * 21 / 351;  // 5.982905982905983
    expectTriple(engine.computeXYZ(reflectance), {2 * y, y, 0.5 * y}, 1e-12);
}

TEST_F(ColourEngineFlat, GridStartingBelow380DropsTheSamplesBelow380) {
    engine.setSpectrometerGrid(wholeNm(370, 730));
    std::vector<double> reflectance(361, 0.0);
    for (int i = 0; i < 10; ++i) reflectance[i] = 1.0;  // 370..379
    reflectance[10] = 0.5;                              // 380
    const double y = 0.5 * 100.0 / 351;
    expectTriple(engine.computeXYZ(reflectance), {2 * y, y, 0.5 * y}, 1e-12);
}

TEST_F(ColourEngineFlat, ReflectanceEndingBefore730RepeatsItsLastSample) {
    std::vector<double> reflectance(300, 0.0);
    reflectance.back() = 1.0;  // 679 nm, repeated up to 730: 52 grid points
    const double y = 100.0 * 52 / 351;
    expectTriple(engine.computeXYZ(reflectance), {2 * y, y, 0.5 * y}, 1e-12);
}

TEST_F(ColourEngineFlat, EmptyReflectanceAndOddGridsNeverReadOutside) {
    expectTriple(engine.computeXYZ({}), {0, 0, 0}, 0);
    // A single sample stands for the whole grid, however the grid lies.
    for (double first : {380.0, 1.0e30, -1.0e30, 200.0}) {
        engine.setSpectrometerGrid({first});
        expectTriple(engine.computeXYZ({0.25}), {50, 25, 12.5}, 1e-12);
    }
    engine.setSpectrometerGrid({});
    expectTriple(engine.computeXYZ({0.25}), {50, 25, 12.5}, 1e-12);
}

// A reflectance far out of range overflows the sums: the engine says there
// is no colour rather than hand NaN on, and the chart match never converts
// a component outside 0..255 to an integer.
TEST_F(ColourEngineFlat, NoColourWhereAValueOnTheWayIsNotFinite) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double bad : {nan, inf, -inf, 1.7e308}) {
        std::vector<double> reflectance(351, 0.5);
        reflectance[100] = bad;
        EXPECT_FALSE(engine.colourOf(reflectance).has_value()) << bad;
    }
    EXPECT_FALSE(engine.colourOf({}).has_value());
    const std::optional<ColourReading> white = engine.colourOf(std::vector<double>(351, 1.0));
    ASSERT_TRUE(white.has_value());
    expectTriple(white->xyz, {200, 100, 50}, 1e-12);

    writeText("data/pmsRgb.dat", "Pink,ff0080\n");
    ASSERT_TRUE(engine.loadChart());
    ColourReading colour;
    colour.rgb = {255, 0, 128};
    EXPECT_EQ(engine.matchChart(colour, 0).name, "Pink");
    for (const Triple& rgb : {Triple{nan, 0, 128}, Triple{255, 1e300, 128}, Triple{-1, 0, 128}}) {
        colour.rgb = rgb;
        const ChartMatch none = engine.matchChart(colour, 0);
        EXPECT_EQ(none.name, "");
        EXPECT_EQ(none.distance, 1000);
    }
    EXPECT_EQ(engine.matchRgb(1 << 20, 0, 128).name, "");
}

TEST_F(ColourEngineFlat, IlluminantAndObserverChooseTheTables) {
    std::vector<double> reflectance(351, 0.0);
    for (int i = 0; i < 175; ++i) reflectance[i] = 1.0;  // 380..554 nm
    const double y = 100.0 * 175 / 351;
    expectTriple(engine.computeXYZ(reflectance), {2 * y, y, 0.5 * y}, 1e-12);

    engine.setObserver(false);
    expectTriple(engine.computeXYZ(reflectance), {3 * y, y, 2 * y}, 1e-12);

    // D50 has no power where this reflectance is.
    engine.setIlluminant(false);
    expectTriple(engine.computeXYZ(reflectance), {0, 0, 0}, 0);
}

TEST(ColourEngineXyz, NothingBeforeTheTablesAreRead) {
    ColourEngine engine;
    expectTriple(engine.computeXYZ(std::vector<double>(351, 1.0)), {0, 0, 0}, 0);
}

TEST(ColourEngineLoad, MissingFilesAreReportedInReadingOrder) {
    ScopedWorkDir workDir;
    OutputCapture output;
    ColourEngine engine;
    const char* chartMissing = "data/pmsRgb.dat not found\n";

    // Without the 1931 table the 1964 table is not tried.
    EXPECT_FALSE(engine.load());
    EXPECT_EQ(output.stdOut(), std::string("data/cmf1931.dat file not found\n") + chartMissing);

    writeText("data/cmf1931.dat", tableRows(360, 471, "1 1 1"));
    output.clear();
    EXPECT_FALSE(engine.load());
    EXPECT_EQ(output.stdOut(), std::string("data/cmf1964.dat file not found\n") + chartMissing);

    writeText("data/cmf1964.dat", "380 1 1 1\n");
    output.clear();
    EXPECT_FALSE(engine.load());
    EXPECT_EQ(output.stdOut(), std::string("data/D65.dat file not found\n") + chartMissing);

    writeText("data/D65.dat", tableRows(380, 401, "1"));
    output.clear();
    EXPECT_FALSE(engine.load());
    EXPECT_EQ(output.stdOut(), std::string("data/D50.dat file not found\n") + chartMissing);

    writeText("data/D50.dat", "380 1\n");
    output.clear();
    EXPECT_TRUE(engine.load());
    EXPECT_EQ(output.stdOut(), chartMissing);
}

class ColourEngineBadTable : public ::testing::Test {
protected:
    void SetUp() override { writeFlatTables(); }

    std::string loadFails() {
        OutputCapture output;
        EXPECT_FALSE(engine.load());
        return output.stdOut();
    }

    ScopedWorkDir workDir;
    ColourEngine engine;
};

TEST_F(ColourEngineBadTable, Short1931TableFailsNamingFileAndRowCount) {
    writeText("data/cmf1931.dat", tableRows(360, 470, "1 1 1"));
    EXPECT_EQ(loadFails(),
              "data/cmf1931.dat: 470 rows read, 471 expected\ndata/pmsRgb.dat not found\n");
}

TEST_F(ColourEngineBadTable, ShortD65TableFailsNamingFileAndRowCount) {
    writeText("data/D65.dat", tableRows(380, 400, "1"));
    EXPECT_EQ(loadFails(),
              "data/D65.dat: 400 rows read, 401 expected\ndata/pmsRgb.dat not found\n");
}

TEST_F(ColourEngineBadTable, LineThatStopsThe1931ReadBeforeTheEndFailsTheTable) {
    writeText("data/cmf1931.dat",
              tableRows(360, 100, "1 1 1") + "460 n/a\n" + tableRows(461, 371, "1 1 1"));
    EXPECT_EQ(loadFails(),
              "data/cmf1931.dat: 100 rows read, 471 expected\ndata/pmsRgb.dat not found\n");
}

TEST_F(ColourEngineBadTable, ListTableWithoutRowsFailsNamingTheFile) {
    writeText("data/D50.dat", "wavelength power\n");
    EXPECT_EQ(loadFails(), "data/D50.dat: no rows read\ndata/pmsRgb.dat not found\n");
}

TEST(ColourEngineWhitePoint, StartsWithD65And1931AndTheIlluminantSettersWhite) {
    ColourEngine engine;
    EXPECT_TRUE(engine.isD65());
    EXPECT_TRUE(engine.is1931());
    EXPECT_EQ(engine.getWhitePoint(), (Triple{95.047, 100, 108.883}));
}

TEST(ColourEngineWhitePoint, TheSetterCalledLastDecides) {
    ColourEngine engine;
    engine.setIlluminant(true);
    engine.setObserver(true);
    EXPECT_EQ(engine.getWhitePoint(), (Triple{95.042, 100, 108.87}));
    engine.setIlluminant(true);
    EXPECT_EQ(engine.getWhitePoint(), (Triple{95.047, 100, 108.883}));

    engine.setIlluminant(false);
    EXPECT_EQ(engine.getWhitePoint(), (Triple{96.41986557609, 100, 82.511648322104}));
    engine.setObserver(true);
    EXPECT_EQ(engine.getWhitePoint(), (Triple{96.42, 100, 82.51}));

    engine.setObserver(false);
    EXPECT_FALSE(engine.is1931());
    EXPECT_EQ(engine.getWhitePoint(), (Triple{96.72, 100, 81.45}));
    engine.setIlluminant(false);
    EXPECT_EQ(engine.getWhitePoint(), (Triple{96.72, 100, 81.45}));

    engine.setIlluminant(true);
    EXPECT_EQ(engine.getWhitePoint(), (Triple{94.811, 100, 107.32}));
    engine.setObserver(false);
    EXPECT_EQ(engine.getWhitePoint(), (Triple{94.811, 100, 107.32}));
}

// Expected L*a*b* and RGB values below were worked out with a separate script
// from the formulas, not with the engine.
TEST(ColourEngineLab, AgainstTheCurrentWhitePoint) {
    ColourEngine engine;
    engine.setIlluminant(true);
    engine.setObserver(true);
    expectTriple(engine.xyzToLab(95.042, 100, 108.87), {100, 0, 0}, 1e-12);
    expectTriple(engine.xyzToLab(20, 30, 40),
                 {61.65422220953167, -37.31612137493173, -9.358777214070258}, 1e-9);
    engine.setIlluminant(false);
    engine.setObserver(false);
    expectTriple(engine.xyzToLab(20, 30, 40),
                 {61.65422220953167, -39.046035487013576, -23.90588801961684}, 1e-9);
}

TEST(ColourEngineLab, DarkColoursUseTheLinearBranch) {
    ColourEngine engine;
    engine.setObserver(true);
    expectTriple(engine.xyzToLab(0.5, 0.5, 0.5),
                 {4.516499938964844, 1.0155544293478092, 0.6344357354507058}, 1e-12);
}

TEST(ColourEngineLab, YExactlyAtEpsilonUsesTheLinearBranch) {
    ColourEngine engine;
    engine.setObserver(true);
    // Y / 100 is exactly (6/29)^3 here; the cube-root branch would give 8.
    const double epsilon = 0.20689655172413793 * 0.20689655172413793 * 0.20689655172413793;
    ASSERT_EQ(epsilon * 100.0 / 100.0, epsilon);
    EXPECT_NEAR(engine.xyzToLab(0, epsilon * 100.0, 0)[0], 8.000032693561904, 1e-12);
}

TEST(ColourEngineRgb, ClampsCompandsAndRounds) {
    ColourEngine engine;
    // Linear red below 0, blue above 1.
    EXPECT_EQ(engine.xyzToRgb(0, 0, 100), (Triple{0, 57, 255}));
    EXPECT_EQ(engine.xyzToRgb(20, 30, 40), (Triple{0, 167, 164}));
    // 3.969, 3.124, 2.994 before rounding: the linear companding branch.
    EXPECT_EQ(engine.xyzToRgb(0.1, 0.1, 0.1), (Triple{4, 3, 3}));
    EXPECT_EQ(engine.xyzToRgb(0, 0, 0), (Triple{0, 0, 0}));
}

TEST(ColourEngineRgb, EachIlluminantHasItsMatrix) {
    ColourEngine engine;
    engine.setIlluminant(false);
    EXPECT_EQ(engine.xyzToRgb(20, 30, 40), (Triple{0, 168, 189}));
    engine.setIlluminant(true);
    EXPECT_EQ(engine.xyzToRgb(20, 30, 40), (Triple{0, 167, 164}));
}

// The real tables, as generated into the build's data folder.
class ColourEngineRealData : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path source = KELO_DATA_DIR;
        for (const char* name :
             {"cmf1931.dat", "cmf1964.dat", "D65.dat", "D50.dat", "pmsRgb.dat"}) {
            if (!fs::exists(source / name))
                GTEST_SKIP() << (source / name).string() << " not generated yet";
            fs::create_directories("data");
            fs::copy_file(source / name, fs::path("data") / name);
        }
        OutputCapture output;
        ASSERT_TRUE(engine.load());
        EXPECT_EQ(output.stdOut(), "");
        engine.setSpectrometerGrid(wholeNm(380, 730));
    }

    ScopedWorkDir workDir;
    ColourEngine engine;
};

TEST_F(ColourEngineRealData, PerfectWhiteUnderD65And1931IsTheStartUpWhite) {
    engine.setIlluminant(true);
    engine.setObserver(true);
    const Triple xyz = engine.computeXYZ(std::vector<double>(351, 1.0));
    EXPECT_NEAR(xyz[1], 100.0, 1e-9);
    const Triple lab = engine.xyzToLab(xyz[0], xyz[1], xyz[2]);
    EXPECT_NEAR(lab[0], 100.0, 0.01);
    EXPECT_NEAR(lab[1], 0.0, 0.5);
    EXPECT_NEAR(lab[2], 0.0, 0.5);
    EXPECT_EQ(engine.xyzToRgb(xyz[0], xyz[1], xyz[2]), (Triple{255, 255, 255}));
    EXPECT_GT(engine.chartSize(), 0u);
}

TEST_F(ColourEngineRealData, EveryObserverAndIlluminantGivesAWhiteNearItsWhitePoint) {
    for (bool d65 : {true, false}) {
        for (bool cie1931 : {true, false}) {
            engine.setIlluminant(d65);
            engine.setObserver(cie1931);
            const Triple xyz = engine.computeXYZ(std::vector<double>(351, 1.0));
            const Triple& white = engine.getWhitePoint();
            EXPECT_NEAR(xyz[1], 100.0, 1e-9) << d65 << cie1931;
            EXPECT_NEAR(xyz[0], white[0], 1.0) << d65 << cie1931;
            EXPECT_NEAR(xyz[2], white[2], 1.5) << d65 << cie1931;
        }
    }
}

}  // namespace
