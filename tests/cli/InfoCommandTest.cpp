#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"

namespace {

using kelo::test::readBytes;
using kelo::test::runProgram;
using kelo::test::ScopedWorkDir;
using kelo::test::writeBytes;
using kelo::test::writeText;

// An old-layout ("0.0.1") file, written out byte by byte.
const std::vector<std::uint8_t> kOldFile = {
    '0', '.', '0', '.', '1', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    'K', '3', 'S', '0', '0', '4', '2', 0,  // deviceId
    0x10, 0x00, 0x00, 0x00,                // hwOffsetX 16
    0x02, 0x00, 0x00, 0x00,                // hwOffsetY 2
    0x01, 0x00,                            // deviceType 1
    0x02, 0x00,                            // dataResolution 2
    0x7c, 0x01, 0xfc, 0x03, 0x01, 0x00,    // 380, 1020, 1
    0x01, 0x00, 0xff, 0xff,                // swOffset 1, -1
    0x00, 0x00,                            // reserved
    0x84, 0x03, 0x00, 0x00,                // numCells 900
    0x08, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00,  // neighbour pixels 8, 8
    0x21, 0x01, 0x00, 0x00,                          // pixelsPerCell 289
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x40,  // swFwhm 3.0
    0x00, 0x05, 0x00, 0x00, 0x9e, 0x02, 0x00, 0x00,  // 1280 x 670
    0x04, 0x00, 0x00, 0x00,                          // wavelengthShift 4, reserved
    0x86, 0x01, 0x00, 0x00, 0x20, 0x03, 0x00, 0x00,  // range 390..800
    0x01, 0x00, 0x01,                                // visNir, gaussBlur, deviceOption
    'K', '3', 'S', '0', '0', '4', '2', '-', 'O', 'L', 'D', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0,  // fullDeviceId, 25 bytes
};

const char* kConvertedSummary =
    "Config Version: 0.0.2\n"
    "Device ID: K3S0042\n"
    "Full Device ID: K3S0042-OLD\n"
    "Hardware OffsetX = 16 OffsetY = 2\n"
    "Gain = 0.5\n"
    "Exposure time (micro seconds) = 20000\n"
    "Device Type = Passive\n"
    "Device Data Resolution = 8 bit\n"
    "Min wavelength = 380 Max wavelength = 1020 Wavelength Res = 1\n"
    "Software OffsetX = 1 OffsetY = -1\n"
    "Datasize X(width) = 1280 Y(height) = 670\n"
    "Number of cells = 900\n"
    "Number neighbour Pixels X = 8 Y = 8\n"
    "Number of Pixels per Cell = 289\n"
    "SW FWHM = 3\n";

void writeUserFile(const std::string& id) {
    writeText("cal/" + id + "/" + id + "-cfgUsr.txt",
              "hwGain: 0.500000\nhwExposureTime: 20000.000000\nSaveDirPath: .");
}

TEST(KeloInfo, SummarisesTheDefaultSyntheticUnit) {
    ScopedWorkDir dir;
    ASSERT_EQ(runProgram(KELO_PROGRAM, {"simunit", "K3S00042"}, dir.path()).exitCode, 0);
    const auto result = runProgram(KELO_PROGRAM, {"info", "K3S00042"}, dir.path());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out,
              "config file path: cal/K3S00042/K3S00042-cfgSys.bin\n"
              "Config Version: 0.0.2\n"
              "Device ID: K3S00042\n"
              "Full Device ID: K3S00042\n"
              "Hardware OffsetX = 0 OffsetY = 0\n"
              "Gain = 0\n"
              "Exposure time (micro seconds) = 10000\n"
              "Device Type = Active\n"
              "Device Data Resolution = 12 bit\n"
              "Min wavelength = 380 Max wavelength = 1020 Wavelength Res = 1\n"
              "Software OffsetX = 0 OffsetY = 0\n"
              "Datasize X(width) = 1280 Y(height) = 670\n"
              "Number of cells = 900\n"
              "Number neighbour Pixels X = 8 Y = 8\n"
              "Number of Pixels per Cell = 289\n"
              "SW FWHM = 3\n");
    EXPECT_EQ(result.err, "");
}

// The updater is started without a shell: blanks and quotes in the path are
// just characters.
TEST(KeloInfo, OldLayoutIsConvertedByTheUpdaterBeforeItIsRead) {
    ScopedWorkDir dir;
    const std::string id = "OLD 'ONE'";
    const std::string path = "cal/" + id + "/" + id + "-cfgSys.bin";
    writeBytes(path, kOldFile);
    writeUserFile(id);

    const auto result = runProgram(KELO_PROGRAM, {"info", id}, dir.path());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "config file path: " + path + "\nfilePath=" + path +
                              "\nsys config created\nconfig Version updated to 0.0.2\n" +
                              kConvertedSummary);
    const auto converted = readBytes(path);
    ASSERT_EQ(converted.size(), 124u);
    EXPECT_EQ(std::string(converted.begin(), converted.begin() + 6), std::string("0.0.2\0", 6));

    // Read again, the file is current and needs no update.
    const auto again = runProgram(KELO_PROGRAM, {"info", id}, dir.path());
    EXPECT_EQ(again.out, "config file path: " + path + "\n" + kConvertedSummary);
}

// A truncated old file cannot be converted: it is refused before the
// updater runs, and left as it is.
TEST(KeloInfo, TruncatedOldFileIsRefusedAndKeptAsItIs) {
    ScopedWorkDir dir;
    const std::string path = "cal/U1/U1-cfgSys.bin";
    const std::vector<std::uint8_t> truncated(kOldFile.begin(), kOldFile.begin() + 50);
    writeBytes(path, truncated);
    writeUserFile("U1");

    const auto result = runProgram(KELO_PROGRAM, {"info", "U1"}, dir.path());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "config file path: " + path + "\nUnable to read system config files\n" +
                              path +
                              ": 50 bytes, a system file has 124\n"
                              "something went wrong with reading cfg\n");
    EXPECT_EQ(readBytes(path), truncated);
}

// An unknown unit, a missing system file and a missing user file each fail
// with a line of their own.
TEST(KeloInfo, MissingFilesFailEachWithItsOwnLine) {
    ScopedWorkDir dir;
    auto result = runProgram(KELO_PROGRAM, {"info", "NOPE"}, dir.path());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out,
              "config file path: cal/NOPE/NOPE-cfgSys.bin\nSystem config file not found\n"
              "user config file not found\nunit NOPE is unknown: there is no folder cal/NOPE\n"
              "something went wrong with reading cfg\n");

    writeUserFile("U1");
    result = runProgram(KELO_PROGRAM, {"info", "U1"}, dir.path());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out,
              "config file path: cal/U1/U1-cfgSys.bin\nSystem config file not found\n"
              "the system file cal/U1/U1-cfgSys.bin is missing\n"
              "something went wrong with reading cfg\n");

    ASSERT_EQ(runProgram(KELO_PROGRAM, {"simunit", "K3S00042"}, dir.path()).exitCode, 0);
    std::filesystem::remove("cal/K3S00042/K3S00042-cfgUsr.txt");
    result = runProgram(KELO_PROGRAM, {"info", "K3S00042"}, dir.path());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out,
              "config file path: cal/K3S00042/K3S00042-cfgSys.bin\nuser config file not found\n"
              "the user file cal/K3S00042/K3S00042-cfgUsr.txt is missing\n"
              "something went wrong with reading cfg\n");
}

TEST(KeloInfo, WrongWordsAreUsageErrors) {
    ScopedWorkDir dir;
    EXPECT_EQ(runProgram(KELO_PROGRAM, {"info"}, dir.path()).exitCode, 2);
    EXPECT_EQ(runProgram(KELO_PROGRAM, {"info", "A", "--what"}, dir.path()).exitCode, 2);
    EXPECT_EQ(runProgram(KELO_PROGRAM, {"nonsense"}, dir.path()).exitCode, 2);
}

}  // namespace
