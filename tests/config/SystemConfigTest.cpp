#include <gtest/gtest.h>

#include <sstream>

#include "TestSupport.h"
#include "config/SystemConfig.h"

namespace {

using kelo::test::ScopedWorkDir;
using kelo::test::writeBytes;
using kelo::test::writeText;

// A current-layout file with a distinct value in every field, written out
// byte by byte.
const std::vector<std::uint8_t> kCurrentFile = {
    // version "0.0.2", then bytes nobody reads
    '0', '.', '0', '.', '2', 0, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N',
    0x20, 0x00, 0x00, 0x00,  // hwOffsetX 32
    0xf8, 0xff, 0xff, 0xff,  // hwOffsetY -8
    0x03, 0x00,              // deviceType 3 (unknown)
    0x00, 0x00,              // dataResolution 0 (unknown)
    0x5e, 0x01,              // minWavelength 350
    0x1a, 0x04,              // maxWavelength 1050
    0x02, 0x00,              // wavelengthRes 2
    0xfd, 0xff,              // swOffsetX -3
    0x05, 0x00,              // swOffsetY 5
    0xee, 0xee,              // reserved
    0x52, 0x03, 0x00, 0x00,  // numCells 850
    0x07, 0x00, 0x00, 0x00,  // neighbourPixelsX 7
    0x06, 0x00, 0x00, 0x00,  // neighbourPixelsY 6
    0x2c, 0x01, 0x00, 0x00,  // pixelsPerCell 300 (the window has 195)
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x40,  // swFwhm 2.5
    0x00, 0x04, 0x00, 0x00,  // dataSizeX 1024
    0x58, 0x02, 0x00, 0x00,  // dataSizeY 600
    0xfe, 0xff,              // wavelengthShift -2
    0xdd, 0xdd,              // reserved
    0x90, 0x01, 0x00, 0x00,  // rangeMinWavelength 400
    0xee, 0x02, 0x00, 0x00,  // rangeMaxWavelength 750
    0x01,                    // visNirMode
    0x01,                    // gaussBlurMode
    0x02,                    // deviceOption
    'K', '3', 'S', '0', '0', '0', '9', '9', 0,  // deviceId
    'K', '3', 'S', '0', '0', '0', '9', '9', '-', 'F', 'U', 'L', 'L', '-', 'I', 'D',
    0, 0, 0, 0, 0, 0, 0, 0,  // fullDeviceId
};

const char* kExpectedSummary =
    "Config Version: 0.0.2\n"
    "Device ID: K3S00099\n"
    "Full Device ID: K3S00099-FULL-ID\n"
    "Hardware OffsetX = 32 OffsetY = -8\n"
    "Gain = 1.25\n"
    "Exposure time (micro seconds) = 15000\n"
    "Device Type = Unknown\n"
    "Device Data Resolution = Unknown\n"
    "Min wavelength = 350 Max wavelength = 1050 Wavelength Res = 2\n"
    "Software OffsetX = -3 OffsetY = 5\n"
    "Datasize X(width) = 1024 Y(height) = 600\n"
    "Number of cells = 850\n"
    "Number neighbour Pixels X = 7 Y = 6\n"
    "Number of Pixels per Cell = 300\n"
    "SW FWHM = 2.5\n";

void writeUserFile(const std::string& id, const std::string& saveDir) {
    writeText("cal/" + id + "/" + id + "-cfgUsr.txt",
              "hwGain: 1.250000\nhwExposureTime: 15000.000000\nSaveDirPath: " + saveDir);
}

std::string summaryOf(const SystemConfig& config) {
    std::ostringstream text;
    config.printSummary(text);
    return text.str();
}

TEST(SystemConfigFile, CurrentLayoutFillsEveryFieldAndPrintsTheSummary) {
    ScopedWorkDir dir;
    writeBytes("cal/U1/U1-cfgSys.bin", kCurrentFile);
    writeUserFile("U1", dir.path().string());

    SystemConfig config;
    std::ostringstream out;
    ASSERT_TRUE(config.load("U1", out));
    EXPECT_EQ(out.str(), "config file path: cal/U1/U1-cfgSys.bin\n");
    EXPECT_EQ(summaryOf(config), kExpectedSummary);

    std::uint32_t width, height;
    config.getDataSize(width, height);
    EXPECT_EQ(width, 1024u);
    EXPECT_EQ(height, 600u);
    std::int32_t hx, hy;
    config.getHwOffset(hx, hy);
    EXPECT_EQ(hx, 32);
    EXPECT_EQ(hy, -8);
    std::int16_t sx, sy;
    config.getSwOffset(sx, sy);
    EXPECT_EQ(sx, -3);
    EXPECT_EQ(sy, 5);
    std::uint16_t min, max, res;
    config.getWavelengthRange(min, max, res);
    EXPECT_EQ(min, 350);
    EXPECT_EQ(max, 1050);
    EXPECT_EQ(res, 2);
    std::int32_t nx, ny;
    config.getNeighbourPixels(nx, ny);
    EXPECT_EQ(nx, 7);
    EXPECT_EQ(ny, 6);
    std::int32_t rangeMin, rangeMax;
    config.getRestrictedRange(rangeMin, rangeMax);
    EXPECT_EQ(rangeMin, 400);
    EXPECT_EQ(rangeMax, 750);
    EXPECT_EQ(config.getNumCells(), 850);
    EXPECT_EQ(config.getPixelsPerCell(), 300);
    EXPECT_EQ(config.getSwFwhm(), 2.5);
    EXPECT_EQ(config.getWavelengthShift(), -2);
    EXPECT_EQ(config.getVisNirMode(), 1);
    EXPECT_EQ(config.getGaussBlurMode(), 1);
    EXPECT_EQ(config.getDeviceOption(), 2);
    EXPECT_FALSE(config.hasDataResolution());
    EXPECT_EQ(config.getGain(), 1.25);
    EXPECT_EQ(config.getExposureTime(), 15000.0);
    EXPECT_EQ(config.getSaveDirPath(), dir.path().string());
}

TEST(SystemConfigFile, FreshRecordHasTheDefaults) {
    SystemConfig config;
    EXPECT_EQ(summaryOf(config),
              "Config Version: \n"
              "Device ID: \n"
              "Full Device ID: \n"
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
              "SW FWHM = 0\n");
    EXPECT_EQ(config.getSaveDirPath(), "");
}

TEST(SystemConfigFile, DataResolutionIsPresentForEitherDepth) {
    ScopedWorkDir dir;
    writeUserFile("U1", dir.path().string());
    for (std::uint8_t resolution : {1, 2}) {
        auto bytes = kCurrentFile;
        bytes[30] = resolution;
        writeBytes("cal/U1/U1-cfgSys.bin", bytes);
        SystemConfig config;
        std::ostringstream out;
        ASSERT_TRUE(config.load("U1", out));
        EXPECT_TRUE(config.hasDataResolution());
        EXPECT_NE(summaryOf(config).find(resolution == 1
                                             ? "Device Data Resolution = 12 bit\n"
                                             : "Device Data Resolution = 8 bit\n"),
                  std::string::npos);
    }
}

TEST(SystemConfigFile, AnyVersionOtherThanTheOldOneIsReadAsCurrent) {
    ScopedWorkDir dir;
    writeUserFile("U1", dir.path().string());
    for (const char* version : {"", "0.0.3", "0.0.1x"}) {
        auto bytes = kCurrentFile;
        std::fill(bytes.begin(), bytes.begin() + 20, 0);
        std::copy(version, version + std::strlen(version), bytes.begin());
        writeBytes("cal/U1/U1-cfgSys.bin", bytes);
        SystemConfig config;
        std::ostringstream out;
        ASSERT_TRUE(config.load("U1", out));
        EXPECT_EQ(out.str(), "config file path: cal/U1/U1-cfgSys.bin\n") << version;
        EXPECT_EQ(config.getConfigVersion(), version);
        EXPECT_EQ(config.getNumCells(), 850);
    }
}

TEST(SystemConfigFile, MissingSystemFileKeepsDefaultsButLoads) {
    ScopedWorkDir dir;
    writeUserFile("U1", dir.path().string());
    SystemConfig config;
    std::ostringstream out;
    EXPECT_TRUE(config.load("U1", out));
    EXPECT_EQ(out.str(), "config file path: cal/U1/U1-cfgSys.bin\nSystem config file not found\n");
    EXPECT_EQ(config.getNumCells(), 900);
    EXPECT_EQ(config.getGain(), 1.25);
}

TEST(SystemConfigFile, MissingUserFileFailsTheLoad) {
    ScopedWorkDir dir;
    writeBytes("cal/U1/U1-cfgSys.bin", kCurrentFile);
    SystemConfig config;
    std::ostringstream out;
    EXPECT_FALSE(config.load("U1", out));
    EXPECT_EQ(out.str(), "config file path: cal/U1/U1-cfgSys.bin\nuser config file not found\n");
    EXPECT_EQ(config.getNumCells(), 850);
}

TEST(SystemConfigFile, ShortBlockKeepsTheFieldsItDoesNotReach) {
    ScopedWorkDir dir;
    writeUserFile("U1", dir.path().string());
    // Version, hwOffsetX, hwOffsetY and deviceType: 30 bytes.
    writeBytes("cal/U1/U1-cfgSys.bin",
               std::vector<std::uint8_t>(kCurrentFile.begin(), kCurrentFile.begin() + 30));
    SystemConfig config;
    std::ostringstream out;
    ASSERT_TRUE(config.load("U1", out));
    EXPECT_EQ(out.str(), "config file path: cal/U1/U1-cfgSys.bin\n");
    std::int32_t hx, hy;
    config.getHwOffset(hx, hy);
    EXPECT_EQ(hx, 32);
    EXPECT_EQ(hy, -8);
    EXPECT_EQ(config.getDeviceType(), 3);
    EXPECT_EQ(config.getDataResolution(), 1);
    EXPECT_EQ(config.getNumCells(), 900);
}

TEST(SystemConfigFile, ShortVersionIsReported) {
    ScopedWorkDir dir;
    writeUserFile("U1", dir.path().string());
    writeBytes("cal/U1/U1-cfgSys.bin", {'0', '.', '0'});
    SystemConfig config;
    std::ostringstream out;
    ASSERT_TRUE(config.load("U1", out));
    EXPECT_EQ(out.str(),
              "config file path: cal/U1/U1-cfgSys.bin\nUnable to read system config files\n");
    EXPECT_EQ(config.getNumCells(), 900);
}

// The updater lies beside the programs, not beside this test program: a
// failed update keeps the record's defaults and says so.
TEST(SystemConfigFile, OldLayoutWithoutItsUpdaterKeepsTheDefaults) {
    ScopedWorkDir dir;
    writeUserFile("U1", dir.path().string());
    auto bytes = kCurrentFile;
    bytes[4] = '1';
    writeBytes("cal/U1/U1-cfgSys.bin", bytes);
    SystemConfig config;
    std::ostringstream out;
    ASSERT_TRUE(config.load("U1", out));
    EXPECT_EQ(out.str(),
              "config file path: cal/U1/U1-cfgSys.bin\nUnable to read system config files\n");
    EXPECT_EQ(config.getNumCells(), 900);
    EXPECT_EQ(config.getFullDeviceId(), "");
    EXPECT_EQ(kelo::test::readBytes("cal/U1/U1-cfgSys.bin"), bytes);
}

TEST(SystemConfigFile, IdentifiersFillingTheirFieldsAreReadToTheFieldWidth) {
    ScopedWorkDir dir;
    writeUserFile("U1", dir.path().string());
    auto bytes = kCurrentFile;
    std::fill(bytes.begin() + 91, bytes.end(), 'x');  // no terminator anywhere
    writeBytes("cal/U1/U1-cfgSys.bin", bytes);
    SystemConfig config;
    std::ostringstream out;
    ASSERT_TRUE(config.load("U1", out));
    EXPECT_EQ(config.getDeviceId(), std::string(9, 'x'));
    EXPECT_EQ(config.getFullDeviceId(), std::string(24, 'x'));
}

TEST(SystemConfigFile, UnusableRecordsAreNamed) {
    ScopedWorkDir dir;
    writeUserFile("U1", dir.path().string());
    struct Case {
        std::size_t offset;
        std::vector<std::uint8_t> value;
        const char* expected;
    };
    const Case cases[] = {
        {36, {0x00, 0x00}, "wavelengthRes is 0"},
        {44, {0x00, 0x00, 0x00, 0x00}, "numCells is 0"},
        {44, {0xff, 0xff, 0xff, 0xff}, "numCells is -1"},
        {60, {0, 0, 0, 0, 0, 0, 0, 0}, "swFwhm is 0"},
        {60, {0, 0, 0, 0, 0, 0, 0xf0, 0xbf}, "swFwhm is -1"},
        {72, {0x64, 0x00, 0x00, 0x00}, "at least 101 x 101 pixels, not 1024 x 100"},
    };
    for (const Case& c : cases) {
        auto bytes = kCurrentFile;
        std::copy(c.value.begin(), c.value.end(), bytes.begin() + long(c.offset));
        writeBytes("cal/U1/U1-cfgSys.bin", bytes);
        SystemConfig config;
        std::ostringstream out;
        ASSERT_TRUE(config.load("U1", out));
        EXPECT_NE(config.unusableReason().find(c.expected), std::string::npos)
            << config.unusableReason();
    }
    writeBytes("cal/U1/U1-cfgSys.bin", kCurrentFile);
    SystemConfig good;
    std::ostringstream out;
    ASSERT_TRUE(good.load("U1", out));
    EXPECT_EQ(good.unusableReason(), "");
}

}  // namespace
