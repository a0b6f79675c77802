// Runs the restamp program on files written by hand in the old layout and
// compares the result with the bytes a "0.0.2" unit file must have.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

// clang-format off
// A "0.0.1" file with a different value in every field, non-zero reserved
// bytes, junk after the version text and after the full identifier's NUL.
const Bytes kOldImage = {
    // version "0.0.1", NUL, 14 junk bytes
    0x30, 0x2E, 0x30, 0x2E, 0x31, 0x00, 0xDE, 0xAD, 0xBE, 0xEF, 0x4A, 0x55, 0x4E, 0x4B,
    0x01, 0x02, 0x03, 0x04, 0x05, 0x06,
    // @0 deviceId "K3S0042"
    0x4B, 0x33, 0x53, 0x30, 0x30, 0x34, 0x32, 0x00,
    0x44, 0x33, 0x22, 0x11,  // @8 hwOffsetX 0x11223344
    0xFB, 0xFF, 0xFF, 0xFF,  // @12 hwOffsetY -5
    0x03, 0x00,              // @16 deviceType 3
    0x02, 0x00,              // @18 dataResolution 2
    0x90, 0x01,              // @20 minWavelength 400
    0xE8, 0x03,              // @22 maxWavelength 1000
    0x05, 0x00,              // @24 wavelengthRes 5
    0x02, 0x01,              // @26 swOffsetX 258
    0xFD, 0xFF,              // @28 swOffsetY -3
    0x5A, 0x5A,              // @30 reserved
    0xD2, 0x04, 0x00, 0x00,  // @32 numCells 1234
    0x07, 0x00, 0x00, 0x00,  // @36 neighbourPixelsX 7
    0x09, 0x00, 0x00, 0x00,  // @40 neighbourPixelsY 9
    0x45, 0x23, 0x01, 0x00,  // @44 pixelsPerCell 0x12345
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x06, 0x40,  // @48 swFwhm 2.75
    0x01, 0x05, 0x00, 0x00,  // @56 dataSizeX 1281
    0x9E, 0x02, 0x00, 0x00,  // @60 dataSizeY 670
    0xFE, 0xFF,              // @64 wavelengthShift -2
    0x6B, 0x6B,              // @66 reserved
    0x86, 0x01, 0x00, 0x00,  // @68 rangeMinWavelength 390
    0x2A, 0x03, 0x00, 0x00,  // @72 rangeMaxWavelength 810
    0x01, 0x02, 0x04,        // @76 visNirMode, gaussBlurMode, deviceOption
    // @79 fullDeviceId "K3S0042-VISNIR-0007", NUL, junk
    0x4B, 0x33, 0x53, 0x30, 0x30, 0x34, 0x32, 0x2D, 0x56, 0x49, 0x53, 0x4E, 0x49,
    0x52, 0x2D, 0x30, 0x30, 0x30, 0x37, 0x00, 0x77, 0x77, 0x77, 0x77, 0x77};

// The same unit in the "0.0.2" layout.
const Bytes kCurrentImage = {
    // version "0.0.2", NUL, the old junk kept
    0x30, 0x2E, 0x30, 0x2E, 0x32, 0x00, 0xDE, 0xAD, 0xBE, 0xEF, 0x4A, 0x55, 0x4E, 0x4B,
    0x01, 0x02, 0x03, 0x04, 0x05, 0x06,
    0x44, 0x33, 0x22, 0x11,  // @0 hwOffsetX
    0xFB, 0xFF, 0xFF, 0xFF,  // @4 hwOffsetY
    0x03, 0x00,              // @8 deviceType
    0x02, 0x00,              // @10 dataResolution
    0x90, 0x01,              // @12 minWavelength
    0xE8, 0x03,              // @14 maxWavelength
    0x05, 0x00,              // @16 wavelengthRes
    0x02, 0x01,              // @18 swOffsetX
    0xFD, 0xFF,              // @20 swOffsetY
    0x00, 0x00,              // @22 reserved
    0xD2, 0x04, 0x00, 0x00,  // @24 numCells
    0x07, 0x00, 0x00, 0x00,  // @28 neighbourPixelsX
    0x09, 0x00, 0x00, 0x00,  // @32 neighbourPixelsY
    0x45, 0x23, 0x01, 0x00,  // @36 pixelsPerCell
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x06, 0x40,  // @40 swFwhm
    0x01, 0x05, 0x00, 0x00,  // @48 dataSizeX
    0x9E, 0x02, 0x00, 0x00,  // @52 dataSizeY
    0xFE, 0xFF,              // @56 wavelengthShift
    0x00, 0x00,              // @58 reserved
    0x86, 0x01, 0x00, 0x00,  // @60 rangeMinWavelength
    0x2A, 0x03, 0x00, 0x00,  // @64 rangeMaxWavelength
    0x01, 0x02, 0x04,        // @68 visNirMode, gaussBlurMode, deviceOption
    // @71 deviceId, 9 bytes
    0x4B, 0x33, 0x53, 0x30, 0x30, 0x34, 0x32, 0x00, 0x00,
    // @80 fullDeviceId, 24 bytes
    0x4B, 0x33, 0x53, 0x30, 0x30, 0x34, 0x32, 0x2D, 0x56, 0x49, 0x53, 0x4E, 0x49,
    0x52, 0x2D, 0x30, 0x30, 0x30, 0x37, 0x00, 0x00, 0x00, 0x00, 0x00};
// clang-format on

constexpr std::size_t kOldFullIdOffset = 20 + 79;
constexpr std::size_t kCurrentFullIdOffset = 20 + 80;

// `image` with `field` written over it from `offset`.
Bytes withField(Bytes image, std::size_t offset, const Bytes& field) {
    std::copy(field.begin(), field.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
    return image;
}

class RestampTest : public ::testing::Test {
protected:
    kelo::test::ProcessResult restamp(const std::vector<std::string>& arguments) {
        return kelo::test::runProgram(RESTAMP_PROGRAM, arguments, workDir.path());
    }
    kelo::test::ProcessResult restampFile(const fs::path& file) {
        return restamp(std::vector<std::string>{file.string()});
    }

    static std::string expectedOut(const fs::path& file, const std::string& message) {
        return "filePath=" + file.string() + "\n" + message + "\n";
    }

    void expectConverted(const fs::path& file, const Bytes& expected) {
        const kelo::test::ProcessResult result = restampFile(file);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out, expectedOut(file, "sys config created"));
        EXPECT_EQ(kelo::test::readBytes(file), expected);
        EXPECT_FALSE(fs::exists(fs::path(file.string() + ".part")));
    }

    kelo::test::ScopedWorkDir workDir;
    fs::path unitFile = workDir.path() / "K3S0042-cfgSys.bin";
};

TEST_F(RestampTest, HandWrittenImagesAreOfTheFileSize) {
    // Guards the expectations themselves against a miscounted line.
    EXPECT_EQ(kOldImage.size(), 124u);
    EXPECT_EQ(kCurrentImage.size(), 124u);
}

TEST_F(RestampTest, MovesEveryFieldToItsCurrentPlace) {
    kelo::test::writeBytes(unitFile, kOldImage);
    expectConverted(unitFile, kCurrentImage);
}

TEST_F(RestampTest, WorksOnAPathWithASpaceAndQuotes) {
    const fs::path file = workDir.path() / "unit 'K3' \"cal\"" / "cfgSys.bin";
    kelo::test::writeBytes(file, kOldImage);
    expectConverted(file, kCurrentImage);
}

TEST_F(RestampTest, CutsAFullIdentifierOf24CharactersTo23) {
    // "K3S0042-VISNIR-0007-ABCD", NUL
    const Bytes oldId = {0x4B, 0x33, 0x53, 0x30, 0x30, 0x34, 0x32, 0x2D, 0x56,
                         0x49, 0x53, 0x4E, 0x49, 0x52, 0x2D, 0x30, 0x30, 0x30,
                         0x37, 0x2D, 0x41, 0x42, 0x43, 0x44, 0x00};
    // "K3S0042-VISNIR-0007-ABC", NUL
    const Bytes currentId = {0x4B, 0x33, 0x53, 0x30, 0x30, 0x34, 0x32, 0x2D,
                             0x56, 0x49, 0x53, 0x4E, 0x49, 0x52, 0x2D, 0x30,
                             0x30, 0x30, 0x37, 0x2D, 0x41, 0x42, 0x43, 0x00};
    kelo::test::writeBytes(unitFile, withField(kOldImage, kOldFullIdOffset, oldId));
    expectConverted(unitFile, withField(kCurrentImage, kCurrentFullIdOffset, currentId));
}

// Only an exact "0.0.1" is the old layout: converting anything else would
// scramble it. The file is left byte for byte.
TEST_F(RestampTest, RefusesEveryOtherVersionAndLongerFilesLeavingThemUntouched) {
    Bytes garbage = kOldImage;
    std::fill(garbage.begin(), garbage.begin() + 20, 0xff);  // no NUL in the field
    std::string escapedFfs;
    for (int i = 0; i < 20; ++i) escapedFfs += "\\xff";
    Bytes longer = kOldImage;
    longer.push_back(0x00);
    struct Case {
        Bytes image;
        std::string message;
    };
    const Case cases[] = {
        {kCurrentImage, "version \"0.0.2\" is not 0.0.1; left as it is"},
        // "0.0.1-rc", NUL
        {withField(kOldImage, 0, {0x30, 0x2E, 0x30, 0x2E, 0x31, 0x2D, 0x72, 0x63, 0x00}),
         "version \"0.0.1-rc\" is not 0.0.1; left as it is"},
        {withField(kOldImage, 0, {0x00}), "version \"\" is not 0.0.1; left as it is"},
        {withField(kOldImage, 4, {0x33}), "version \"0.0.3\" is not 0.0.1; left as it is"},
        {garbage, "version \"" + escapedFfs + "\" is not 0.0.1; left as it is"},
        {longer, "longer than 124 bytes, not a system config file; left as it is"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        kelo::test::writeBytes(unitFile, c.image);
        const kelo::test::ProcessResult result = restampFile(unitFile);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, expectedOut(unitFile, unitFile.string() + ": " + c.message));
        EXPECT_EQ(kelo::test::readBytes(unitFile), c.image);
        EXPECT_FALSE(fs::exists(fs::path(unitFile.string() + ".part")));
    }

    fs::remove(unitFile);
    fs::create_directory(unitFile);
    const kelo::test::ProcessResult result = restampFile(unitFile);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out,
              expectedOut(unitFile, unitFile.string() + ": not a regular file; left as it is"));
    EXPECT_TRUE(fs::is_empty(unitFile));
}

TEST_F(RestampTest, LeavesATruncatedFileUntouched) {
    // Empty, inside the version field, without a block, inside it, one byte short.
    for (std::size_t size : {0u, 19u, 20u, 60u, 123u}) {
        SCOPED_TRACE("file of " + std::to_string(size) + " bytes");
        const Bytes truncated(kOldImage.begin(),
                              kOldImage.begin() + static_cast<std::ptrdiff_t>(size));
        kelo::test::writeBytes(unitFile, truncated);

        const kelo::test::ProcessResult result = restampFile(unitFile);
        EXPECT_NE(result.exitCode, 0);
        EXPECT_EQ(result.out, expectedOut(unitFile, "Unable to read system config files"));
        EXPECT_EQ(kelo::test::readBytes(unitFile), truncated);
    }
}

TEST_F(RestampTest, ReportsAMissingFileAndCreatesNothing) {
    const kelo::test::ProcessResult result = restampFile(unitFile);
    EXPECT_NE(result.exitCode, 0);
    EXPECT_EQ(result.out, expectedOut(unitFile, "System config file not found"));
    EXPECT_TRUE(fs::is_empty(workDir.path()));
}

TEST_F(RestampTest, KeepsTheOriginalWhenTheNewFileCannotBeWritten) {
    kelo::test::writeBytes(unitFile, kOldImage);
    // The tests run as root: a folder in the way of the temporary file is
    // what makes the write fail.
    fs::create_directory(unitFile.string() + ".part");

    const kelo::test::ProcessResult result = restampFile(unitFile);
    EXPECT_NE(result.exitCode, 0);
    EXPECT_EQ(result.out, expectedOut(unitFile, "unable to create cfg bin file"));
    EXPECT_FALSE(result.err.empty());
    EXPECT_EQ(kelo::test::readBytes(unitFile), kOldImage);
}

TEST_F(RestampTest, RejectsAnythingButOneArgument) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{}, std::vector<std::string>{"a.bin", "b.bin"}}) {
        SCOPED_TRACE(std::to_string(arguments.size()) + " arguments");
        const kelo::test::ProcessResult result = restamp(arguments);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.err.rfind("usage: restamp FILE\n", 0), 0u) << result.err;
        EXPECT_TRUE(result.out.empty());
    }
}

}  // namespace
