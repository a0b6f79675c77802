// kelo snap, kelo colour and kelo series: the spectrum utility's files and
// the colour engine from the command line, against the simulated camera.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "TestSupport.h"

namespace {

namespace fs = std::filesystem;
using kelo::test::dataRowsOf;
using kelo::test::linesOf;
using kelo::test::readText;
using kelo::test::runProgram;
using kelo::test::ScopedWorkDir;
using kelo::test::writeText;

// A working folder with the unit K3S00042 and the colour data, and the
// simulated camera showing `scene` without noise.
class SpectraCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("KELO_SIM_CAMERAS", "40012345:K3S00042", 1);
        ::setenv("KELO_SIM_NOISE", "0", 1);
        ::setenv("KELO_SIM_SCENE", "halogen", 1);
        ASSERT_EQ(runProgram(KELO_PROGRAM, {"simunit", "K3S00042"}, dir.path()).exitCode, 0);
        fs::create_directories(dir.path() / "data");
        for (const auto& entry : fs::directory_iterator(KELO_DATA_DIR))
            fs::copy_file(entry.path(), dir.path() / "data" / entry.path().filename());
    }
    void TearDown() override {
        for (const char* name :
             {"KELO_SIM_CAMERAS", "KELO_SIM_NOISE", "KELO_SIM_SCENE", "KELO_SIM_DARK_SCENE"})
            ::unsetenv(name);
    }
    kelo::test::ProcessResult kelo(const std::vector<std::string>& words) {
        return runProgram(KELO_PROGRAM, words, dir.path());
    }

    ScopedWorkDir dir;
};

TEST_F(SpectraCommand, SnapSavesTheSpectrumWithTheApplicationsHeader) {
    const auto result = kelo({"snap", "--averages", "2", "--exposure-ms", "3", "--out", "one"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> lines = linesOf(readText(dir.path() / "one.txt"));
    ASSERT_GE(lines.size(), 24u + 411u);
    const std::vector<std::string> header = {
        "#",
        "# Brevanta Systems Pte Ltd",
        "# KeloView 2.0.3",
        "# Spectrum Name : one.txt",
    };
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4), header);
    EXPECT_EQ(lines[5], "");  // the time stamp brings its own newline
    const std::vector<std::string> settings = {
        "# --------- Device Information -----------",
        "# Model Name : \tVIS-NIR Spectrometer",
        "# Serial Number : \tK3S00042",
        "# Integration Time(us) : \t3000",
        "# Gain : \t0",
        "# -----------Spectrum Setting ------------",
        "# Wavelength Start : \t390",
        "# Wavelength End : \t800",
        "# Wavelength Units : \tnm",
        "# Spectrum Units : \tcounts",
        "# Average : \t2",
        "# White Lid Referencing : \t0",
        "# Dark Correction : \t0",
        "# Reference Correction : \t0",
        "# Reflectance Mode : \t0",
        "# Saturation Flag : \t0",
        "#",
        "# ---------------BEGIN--------------------",
        "# Wavelength(nm)\t Intensity(counts)\t",
    };
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 6, lines.begin() + 25), settings);
    const std::vector<std::string> rows = dataRowsOf(readText(dir.path() / "one.txt"));
    ASSERT_EQ(rows.size(), 411u);
    EXPECT_EQ(rows.front().rfind("390\t", 0), 0u) << rows.front();
    EXPECT_EQ(rows.back().rfind("800\t", 0), 0u) << rows.back();
}

TEST_F(SpectraCommand, SnapOnTheFullGridAsCsvWithDark) {
    ::setenv("KELO_SIM_DARK_SCENE", "dark", 1);
    const auto result = kelo({"snap", "--full", "--csv", "--dark", "--out", "full"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string text = readText(dir.path() / "full.csv");
    EXPECT_NE(text.find("# Dark Correction : \t1\n"), std::string::npos);
    EXPECT_NE(text.find("# Wavelength(nm), Intensity(counts),\n"), std::string::npos);
    const std::vector<std::string> rows = dataRowsOf(text);
    EXPECT_EQ(rows.size(), 641u);
    EXPECT_EQ(rows.front().rfind("380,", 0), 0u) << rows.front();

    ::setenv("KELO_SIM_DARK_SCENE", "moonlight", 1);
    const auto unknown = kelo({"snap", "--dark", "--out", "x"});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_NE(unknown.err.find("moonlight"), std::string::npos) << unknown.err;
}

TEST_F(SpectraCommand, SnapRefusesBadWordsAndReportsAnUnwritableFile) {
    EXPECT_EQ(kelo({"snap"}).exitCode, 2);
    EXPECT_EQ(kelo({"snap", "--averages", "0", "--out", "x"}).exitCode, 2);
    const auto result = kelo({"snap", "--out", "no/such/folder/x"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("no/such/folder/x.txt file open so could'nt write\n"),
              std::string::npos);
}

TEST_F(SpectraCommand, ColourOfAPerfectWhite) {
    std::string white;
    for (int nm = 380; nm <= 780; ++nm) white += std::to_string(nm) + " 1\n";
    writeText(dir.path() / "white.txt", white);

    const auto result = kelo({"colour", "white.txt"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> lines = linesOf(result.out);
    ASSERT_EQ(lines.size(), 3u) << result.out;
    std::istringstream values(lines[0]);
    double X, Y, Z, R, G, B, L, a, b;
    values >> X >> Y >> Z >> R >> G >> B >> L >> a >> b;
    ASSERT_FALSE(values.fail()) << lines[0];
    EXPECT_NEAR(Y, 100.0, 1e-9);
    EXPECT_NEAR(L, 100.0, 0.01);
    EXPECT_NEAR(a, 0.0, 0.05);
    EXPECT_NEAR(b, 0.0, 0.05);
    EXPECT_EQ(R, 255.0);
    EXPECT_EQ(G, 255.0);
    EXPECT_EQ(B, 255.0);
    EXPECT_EQ(lines[1], "white");
    EXPECT_EQ(lines[2], "0");

    // The white point follows the setter applied last.
    const auto d50 = kelo(
        {"colour", "white.txt", "--observer", "1964", "--illuminant", "D50", "--match", "lab"});
    ASSERT_EQ(d50.exitCode, 0) << d50.err;
    const std::vector<std::string> d50Lines = linesOf(d50.out);
    ASSERT_EQ(d50Lines.size(), 3u);
    EXPECT_EQ(d50Lines[1], "");  // no L*a*b* chart
    EXPECT_EQ(d50Lines[2], "1000");
}

TEST_F(SpectraCommand, ColourRefusesAMalformedReflectanceNamingTheLine) {
    writeText(dir.path() / "bad.txt", "400 0.5\n401 half\n");
    const auto result = kelo({"colour", "bad.txt"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("bad.txt: line 2"), std::string::npos) << result.err;

    writeText(dir.path() / "gap.txt", "400 0.5\n402 0.5\n");
    EXPECT_NE(kelo({"colour", "gap.txt"}).err.find("gap.txt: line 2"), std::string::npos);
    EXPECT_EQ(kelo({"colour", "white.txt", "--illuminant", "A"}).exitCode, 2);
}

TEST_F(SpectraCommand, SeriesWritesEverySampleToTheSeriesFile) {
    const auto result = kelo({"series", "--interval", "1", "--samples", "2", "--start", "500",
                              "--end", "510", "--metric", "peak", "--out", "run"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string text = readText(dir.path() / "run.txt");
    EXPECT_NE(text.find("# TimeSeries Name: run.txt\n"), std::string::npos);
    EXPECT_NE(text.find("# Wavelength Start : 500\n"), std::string::npos);
    EXPECT_EQ(text.find("Wavelength End"), std::string::npos);
    EXPECT_NE(text.find("# Metric :  Peak \n"), std::string::npos);
    const std::vector<std::string> rows = dataRowsOf(text);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].rfind("0\t", 0), 0u) << rows[0];
    EXPECT_EQ(rows[1].rfind("1\t", 0), 0u) << rows[1];

    const auto offGrid = kelo({"series", "--interval", "1", "--samples", "1", "--start", "300",
                               "--end", "500", "--metric", "area", "--out", "x"});
    EXPECT_EQ(offGrid.exitCode, 2);
    EXPECT_NE(offGrid.err.find("300 nm"), std::string::npos) << offGrid.err;
}

}  // namespace
