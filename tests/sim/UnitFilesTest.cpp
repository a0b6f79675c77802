// The set of files a synthetic unit consists of: where they go, their sizes,
// the text files' contents, and what is kept or repeated between runs.
#include <gtest/gtest.h>

#include <charconv>
#include <fstream>

#include "SimTestSupport.h"
#include "config/UnitFiles.h"

namespace kelo::simtest {
namespace {

using kelo::test::readBytes;
using kelo::test::readText;
using kelo::test::ScopedWorkDir;
using kelo::test::writeText;

const char* const kCalibrationSuffixes[] = {kBadPixelFileSuffix, kCellCentreFileSuffix,
                                            kTransferMatrixFileSuffix, kNormalMatrixFileSuffix};
const char* const kBlurSuffixes[] = {kBlurTransferMatrixFileSuffix, kBlurNormalMatrixFileSuffix};

class UnitFilesTest : public ::testing::Test {
protected:
    ScopedWorkDir folder;
    sim::SyntheticUnitOptions options;

    UnitFilesTest() {
        options.id = "K3S00042";
        options.root = folder.path();
    }

    std::filesystem::path file(const std::string& id, const char* suffix) const {
        return unitFile(folder.path(), id, suffix);
    }
};

TEST_F(UnitFilesTest, DefaultUnitFilesHaveTheirSizes) {
    writeUnit(options);
    EXPECT_EQ(std::filesystem::file_size(file("K3S00042", kSystemFileSuffix)), 124u);
    EXPECT_EQ(std::filesystem::file_size(file("K3S00042", kCellCentreFileSuffix)), 900u * 8);
    EXPECT_EQ(std::filesystem::file_size(file("K3S00042", kTransferMatrixFileSuffix)),
              900u * 641 * 8);
    EXPECT_EQ(std::filesystem::file_size(file("K3S00042", kNormalMatrixFileSuffix)),
              641u * 641 * 8);
    const auto badPixelSize = std::filesystem::file_size(file("K3S00042", kBadPixelFileSuffix));
    EXPECT_EQ(badPixelSize % 12, 0u);
    EXPECT_GE(badPixelSize, 8u * 12);
    EXPECT_LE(badPixelSize, 20u * 12);
    for (const char* suffix : kBlurSuffixes)
        EXPECT_FALSE(std::filesystem::exists(file("K3S00042", suffix))) << suffix;
}

TEST_F(UnitFilesTest, CalibrationGoesUnderTheFullIdAndSettingsUnderTheId) {
    options.fullId = "K3S00042-FACTORY";
    writeUnit(options);
    for (const char* suffix : kCalibrationSuffixes) {
        EXPECT_TRUE(std::filesystem::exists(file("K3S00042-FACTORY", suffix))) << suffix;
        EXPECT_FALSE(std::filesystem::exists(file("K3S00042", suffix))) << suffix;
    }
    for (const char* suffix : {kSystemFileSuffix, kUserFileSuffix, kWhiteLidFileSuffix})
        EXPECT_TRUE(std::filesystem::exists(file("K3S00042", suffix))) << suffix;
}

TEST_F(UnitFilesTest, NewUserFileHoldsTheDefaultSettings) {
    writeUnit(options);
    EXPECT_EQ(readText(file("K3S00042", kUserFileSuffix)),
              "hwGain: 0.000000\nhwExposureTime: 10000.000000\nSaveDirPath: ");
}

TEST_F(UnitFilesTest, WhiteLidHasOneSmoothNumberPerRestrictedPoint) {
    writeUnit(options);
    std::ifstream in(file("K3S00042", kWhiteLidFileSuffix), std::ios::binary);
    std::vector<double> curve;
    for (std::string line; std::getline(in, line);) {
        double value = 0.0;
        const auto parsed = std::from_chars(line.data(), line.data() + line.size(), value);
        ASSERT_TRUE(parsed.ec == std::errc() && parsed.ptr == line.data() + line.size())
            << "line " << curve.size() + 1 << ": \"" << line << "\"";
        curve.push_back(value);
    }
    ASSERT_EQ(curve.size(), 411u);
    EXPECT_EQ(readText(file("K3S00042", kWhiteLidFileSuffix)).back(), '\n');
    for (std::size_t j = 0; j < curve.size(); ++j) {
        EXPECT_NEAR(curve[j], 0.97, 0.015) << j;
        if (j > 0) {
            EXPECT_LT(std::abs(curve[j] - curve[j - 1]), 1e-4) << j;
        }
    }
    EXPECT_GT(std::abs(curve.back() - curve.front()), 1e-3);
}

TEST_F(UnitFilesTest, SameSeedGivesTheSameBytes) {
    options.gaussBlur = true;
    writeUnit(options);
    ScopedWorkDir second;
    options.root = second.path();
    writeUnit(options);
    for (const char* suffix :
         {kSystemFileSuffix, kUserFileSuffix, kWhiteLidFileSuffix, kBadPixelFileSuffix,
          kCellCentreFileSuffix, kTransferMatrixFileSuffix, kNormalMatrixFileSuffix,
          kBlurTransferMatrixFileSuffix, kBlurNormalMatrixFileSuffix})
        EXPECT_TRUE(readBytes(file("K3S00042", suffix)) ==
                    readBytes(unitFile(second.path(), "K3S00042", suffix)))
            << suffix;
}

TEST_F(UnitFilesTest, OtherSeedGivesAnotherUnit) {
    writeUnit(options);
    ScopedWorkDir second;
    options.root = second.path();
    options.seed = 43;
    writeUnit(options);
    for (const char* suffix : kCalibrationSuffixes)
        EXPECT_FALSE(readBytes(file("K3S00042", suffix)) ==
                     readBytes(unitFile(second.path(), "K3S00042", suffix)))
            << suffix;
}

TEST_F(UnitFilesTest, FailedWriteNamesTheFileAndLeavesNoSystemFile) {
    // A plain file where the unit's folder should be.
    writeText(folder.path() / "cal" / "K3S00042", "in the way");
    std::ostringstream log;
    const std::string error = sim::writeSyntheticUnit(options, log);
    EXPECT_NE(error.find("K3S00042"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(file("K3S00042", kSystemFileSuffix)));
}

}  // namespace
}  // namespace kelo::simtest
