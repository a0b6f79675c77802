#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "TestSupport.h"
#include "config/CalibrationData.h"
#include "config/SystemConfig.h"
#include "config/SystemConfigLayout.h"

namespace {

using kelo::test::ScopedWorkDir;
using kelo::test::writeBytes;
using kelo::test::writeText;

std::vector<std::uint8_t> int32Records(const std::vector<std::int32_t>& values) {
    std::vector<std::uint8_t> bytes;
    for (std::int32_t value : values)
        for (int shift = 0; shift < 32; shift += 8) bytes.push_back(std::uint8_t(value >> shift));
    return bytes;
}

std::vector<std::uint8_t> doubles(const std::vector<double>& values) {
    std::vector<std::uint8_t> bytes(values.size() * 8);
    std::memcpy(bytes.data(), values.data(), bytes.size());  // the test hosts are little-endian
    return bytes;
}

// Three cells of 3 x 3 pixels on a 20 x 10 image, calibrated at 500..504 nm,
// with the restricted range 501..503. Normal matrix element (j, k) is
// 10 j + k; transfer matrix element (cell c, wavelength j) is 100 c + j.
class TinyUnit : public ::testing::Test {
protected:
    void SetUp() override {
        block.minWavelength = 500;
        block.maxWavelength = 504;
        block.rangeMinWavelength = 501;
        block.rangeMaxWavelength = 503;
        block.numCells = 3;
        block.neighbourPixelsX = 1;
        block.neighbourPixelsY = 1;
        block.dataSizeX = 20;
        block.dataSizeY = 10;
        block.swFwhm = 1.0;
        std::strcpy(block.fullDeviceId, "TINY");
        writeText("cal/U1/U1-cfgUsr.txt", "hwGain: 0\nhwExposureTime: 1\nSaveDirPath: .");
        badPixels = {1, 4, 5, 1, 5, 5, 2, 10, 5};
        centres = {1, 1, 5, 5, 10, 5};
        std::vector<double> trt, tmat;
        for (int j = 0; j < 5; ++j)
            for (int k = 0; k < 5; ++k) trt.push_back(10 * j + k);
        for (int c = 0; c < 3; ++c)
            for (int j = 0; j < 5; ++j) tmat.push_back(100 * c + j);
        normal = doubles(trt);
        transfer = doubles(tmat);
    }

    void writeUnit() {
        std::vector<std::uint8_t> file(kelo::kConfigFileSize, 0);
        std::memcpy(file.data(), "0.0.2", 5);
        kelo::encodeBlock(block, kelo::kCurrentBlockLayout, file.data() + kelo::kConfigVersionSize);
        writeBytes("cal/U1/U1-cfgSys.bin", file);
        writeBytes("cal/TINY/TINY-BP.bin", int32Records(badPixels));
        writeBytes("cal/TINY/TINY-CC.bin", int32Records(centres));
        writeBytes("cal/TINY/TINY-TrT.bin", normal);
        writeBytes("cal/TINY/TINY-TMat.bin", transfer);
    }

    bool load() {
        writeUnit();
        std::ostringstream configOut;
        EXPECT_TRUE(config.load("U1", configOut));
        return data.loadCalibration(config, out, err);
    }

    ScopedWorkDir dir;
    kelo::SystemConfigBlock block;
    std::vector<std::int32_t> badPixels, centres;
    std::vector<std::uint8_t> normal, transfer;
    SystemConfig config;
    CalibrationData data;
    std::ostringstream out, err;
};

TEST_F(TinyUnit, LoadsFullAndRestrictedForms) {
    ASSERT_TRUE(load()) << data.loadError;
    EXPECT_EQ(out.str(), "\nRead binfile\nFinished the BP");
    EXPECT_EQ(data.loadError, "");
    ASSERT_EQ(data.badPixels.size(), 3u);
    EXPECT_EQ(data.badPixels[2].x, 10);
    EXPECT_EQ(data.badPixelCount, (std::vector<std::uint32_t>{0, 2, 1}));
    ASSERT_EQ(data.cellCentres.size(), 3u);
    EXPECT_EQ(data.cellCentres[1].x, 5);

    EXPECT_EQ(data.trt.rows, 5u);
    EXPECT_EQ(data.trt.at(3, 4), 34.0);
    ASSERT_EQ(data.trtRange.rows, 3u);
    ASSERT_EQ(data.trtRange.cols, 3u);
    EXPECT_EQ(data.trtRange.values, (std::vector<double>{11, 12, 13, 21, 22, 23, 31, 32, 33}));

    ASSERT_EQ(data.tmatT.rows, 5u);
    ASSERT_EQ(data.tmatT.cols, 3u);
    EXPECT_EQ(data.tmatT.at(4, 2), 204.0);
    ASSERT_EQ(data.tmatRangeT.rows, 3u);
    EXPECT_EQ(data.tmatRangeT.values, (std::vector<double>{1, 101, 201, 2, 102, 202, 3, 103, 203}));
    EXPECT_TRUE(data.trtGb.values.empty());
    EXPECT_TRUE(data.tmatGbT.values.empty());
}

TEST_F(TinyUnit, EmptyBadPixelFileAndTrailingPartialRecordAreFine) {
    badPixels.clear();
    writeUnit();
    writeBytes("cal/TINY/TINY-BP.bin", {1, 2, 3, 4, 5});
    std::ostringstream configOut;
    ASSERT_TRUE(config.load("U1", configOut));
    ASSERT_TRUE(data.loadCalibration(config, out, err));
    EXPECT_TRUE(data.badPixels.empty());
    EXPECT_EQ(data.badPixelCount, (std::vector<std::uint32_t>{0, 0, 0}));
}

TEST_F(TinyUnit, EveryRecordOfACellCountsEvenInSeparateRuns) {
    badPixels = {1, 4, 5, 2, 10, 5, 1, 5, 5, 1, 6, 5};
    ASSERT_TRUE(load());
    EXPECT_EQ(data.badPixelCount, (std::vector<std::uint32_t>{0, 3, 1}));
}

TEST_F(TinyUnit, OnlyTheLow16BitsOfACellIndexCount) {
    badPixels = {0x10002, 10, 5};
    ASSERT_TRUE(load());
    EXPECT_EQ(data.badPixelCount, (std::vector<std::uint32_t>{0, 0, 1}));
}

TEST_F(TinyUnit, RangeStartingBelowTheGridStartsAtItsFirstWavelength) {
    block.rangeMinWavelength = 498;  // R = 6, r0 taken as 0
    ASSERT_TRUE(load());
    ASSERT_EQ(data.trtRange.rows, 6u);
    EXPECT_EQ(data.trtRange.at(0, 0), 0.0);
    EXPECT_EQ(data.trtRange.at(3, 3), 33.0);
    EXPECT_EQ(data.trtRange.at(4, 4), 0.0);  // past r1 = 3: defined zero
    EXPECT_EQ(data.tmatRangeT.at(2, 1), 102.0);
    EXPECT_EQ(data.tmatRangeT.at(5, 1), 0.0);
}

TEST_F(TinyUnit, MissingFilesFailWithTheirMessages) {
    struct Case {
        const char* file;
        const char* expected;
    };
    const Case cases[] = {
        {"cal/TINY/TINY-BP.bin", "\nCould not find the BP binfile"},
        {"cal/TINY/TINY-CC.bin", "\nRead binfile\nFinished the BP\nCould not find the CC binfile"},
        {"cal/TINY/TINY-TrT.bin",
         "\nRead binfile\nFinished the BP\nCould not find the TRTMAT binfile"},
        {"cal/TINY/TINY-TMat.bin",
         "\nRead binfile\nFinished the BP\nCould not find the TMAT binfile"},
    };
    for (const Case& c : cases) {
        writeUnit();
        std::filesystem::remove(c.file);
        std::ostringstream configOut, message;
        ASSERT_TRUE(config.load("U1", configOut));
        EXPECT_FALSE(data.loadCalibration(config, message, err)) << c.file;
        EXPECT_EQ(message.str(), c.expected);
        EXPECT_NE(data.loadError.find(c.file), std::string::npos) << data.loadError;
    }
}

TEST_F(TinyUnit, TransferMatrixOneValueShortDoesNotMatch) {
    transfer.resize(transfer.size() - 8);
    EXPECT_FALSE(load());
    EXPECT_EQ(out.str(),
              "\nRead binfile\nFinished the BP\nTMat size doesn't match\nCould not find the TMAT "
              "binfile");
}

TEST_F(TinyUnit, LongerFilesAreAcceptedAndTheirSurplusIgnored) {
    normal.resize(normal.size() + 16, 0xff);
    transfer.resize(transfer.size() + 16, 0xff);
    ASSERT_TRUE(load());
    EXPECT_EQ(data.trt.values.size(), 25u);
}

TEST_F(TinyUnit, StepOtherThanOneFailsTheShapeCheckSilently) {
    block.wavelengthRes = 2;
    EXPECT_FALSE(load());
    EXPECT_EQ(out.str(), "\nRead binfile\nFinished the BP");
    EXPECT_NE(data.loadError.find("grid has 3 points"), std::string::npos) << data.loadError;
}

TEST_F(TinyUnit, EmptyFullIdentifierIsRefused) {
    std::memset(block.fullDeviceId, 0, sizeof block.fullDeviceId);
    EXPECT_FALSE(load());
    EXPECT_EQ(out.str(), "\nDevice ID NULL");
}

TEST_F(TinyUnit, BlurSetIsReadOnlyInBlurMode) {
    writeBytes("cal/TINY/TINY-TrTGB.bin", {1, 2, 3});  // unusable, and never opened
    ASSERT_TRUE(load());

    block.gaussBlurMode = 1;
    block.dataSizeX = block.dataSizeY = 101;  // the least the blur works on
    EXPECT_FALSE(load());
    EXPECT_EQ(out.str().substr(out.str().rfind('\n')), "\nCould not find the TRTMAT_GAUS binfile");

    writeBytes("cal/TINY/TINY-TrTGB.bin", normal);
    out.str("");
    EXPECT_FALSE(load());
    EXPECT_EQ(out.str(), "\nRead binfile\nFinished the BP\nCould not find the TMAT_GAUS binfile");

    writeBytes("cal/TINY/TINY-TMatGB.bin", transfer);
    out.str("");
    ASSERT_TRUE(load()) << data.loadError;
    EXPECT_EQ(data.trtGbRange.at(0, 0), 11.0);
    EXPECT_EQ(data.tmatGbRangeT.at(2, 2), 203.0);
}

// Data that would make the frame code read outside its buffers.
TEST_F(TinyUnit, CalibrationOutsideTheImageOrTheCellsIsRejected) {
    struct Case {
        std::vector<std::int32_t> badPixels, centres;
        std::int16_t swOffsetX;
        const char* expected;
    };
    const Case cases[] = {
        {{3, 4, 5},
         {1, 1, 5, 5, 10, 5},
         0,
         "cal/TINY/TINY-BP.bin: record 0 (cell 3, x 4, y 5): cell index 3 is not below the "
         "number of cells, 3"},
        {{1, 4, 5, 1, 20, 5},
         {1, 1, 5, 5, 10, 5},
         0,
         "cal/TINY/TINY-BP.bin: record 1 (cell 1, x 20, y 5): the pixel lies outside the 20 x "
         "10 image"},
        {{}, {1, 1, 5, 5}, 0, "cal/TINY/TINY-CC.bin: 2 cell centres, but the unit has 3 cells"},
        {{},
         {1, 1, 5, 5, 0, 5},
         0,
         "cal/TINY/TINY-CC.bin: record 2 (x 0, y 5): the window of cell 2, columns -1..1 and "
         "rows 4..6, leaves the 20 x 10 image"},
        {{},
         {1, 1, 5, 5, 17, 5},
         2,
         "cal/TINY/TINY-CC.bin: record 2 (x 17, y 5): the window of cell 2, columns 18..20 and "
         "rows 4..6, leaves the 20 x 10 image"},
    };
    for (const Case& c : cases) {
        badPixels = c.badPixels;
        centres = c.centres;
        block.swOffsetX = c.swOffsetX;
        out.str("");
        EXPECT_FALSE(load());
        EXPECT_EQ(data.loadError, c.expected);
        EXPECT_NE(out.str().find(std::string("\n") + c.expected + "\n"), std::string::npos)
            << out.str();
    }
}

// Folders where files belong, more bad pixels than the windows hold, and
// matrix values no calibration has: each refused with the file and the fault.
TEST_F(TinyUnit, CorruptedCalibrationFilesAreRefused) {
    const std::string folder = " is not a file (a folder stands there, or a device)";
    struct Case {
        const char* file;  // made a folder when `content` is empty
        std::vector<std::uint8_t> content;
        std::string expected;
    };
    std::vector<std::int32_t> tooManyBadPixels;
    for (int i = 0; i < 28; ++i) tooManyBadPixels.insert(tooManyBadPixels.end(), {1, 4, 5});
    std::vector<double> oneInfinite(15, 1.0), allNan(25, std::nan("")), oneHuge(15, 1.0);
    oneInfinite[7] = INFINITY;
    oneHuge[14] = -1e300;
    const Case cases[] = {
        {"cal/TINY/TINY-BP.bin", {}, "cal/TINY/TINY-BP.bin" + folder},
        {"cal/TINY/TINY-CC.bin", {}, "cal/TINY/TINY-CC.bin" + folder},
        {"cal/TINY/TINY-TrT.bin", {}, "cal/TINY/TINY-TrT.bin" + folder},
        {"cal/TINY/TINY-TMat.bin", {}, "cal/TINY/TINY-TMat.bin" + folder},
        {"cal/TINY/TINY-BP.bin", int32Records(tooManyBadPixels),
         "cal/TINY/TINY-BP.bin: 28 records, more than the 27 pixels of the unit's cell windows"},
        {"cal/TINY/TINY-TMat.bin", doubles(oneInfinite),
         "cal/TINY/TINY-TMat.bin: the value at row 1, column 2 is inf, not a finite number "
         "within +-1e+100"},
        {"cal/TINY/TINY-TMat.bin", doubles(oneHuge),
         "cal/TINY/TINY-TMat.bin: the value at row 2, column 4 is -1e+300, not a finite number "
         "within +-1e+100"},
        {"cal/TINY/TINY-TrT.bin", doubles(allNan),
         "cal/TINY/TINY-TrT.bin: the value at row 0, column 0 is nan, not a finite number "
         "within +-1e+100"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all("cal/TINY");
        writeUnit();
        std::filesystem::remove(c.file);
        if (c.content.empty())
            std::filesystem::create_directory(c.file);
        else
            writeBytes(c.file, c.content);
        std::ostringstream configOut, message;
        ASSERT_TRUE(config.load("U1", configOut));
        EXPECT_FALSE(data.loadCalibration(config, message, err)) << c.expected;
        EXPECT_EQ(data.loadError, c.expected);
        EXPECT_EQ(err.str(), "");
    }
}

}  // namespace
