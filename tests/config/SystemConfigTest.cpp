#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sstream>

#include "TestSupport.h"
#include "config/SystemConfig.h"

namespace {

using kelo::test::linesOf;
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

TEST(SystemConfigFile, AnyVersionOtherThanTheOldOneIsReadAsCurrentWithAWarning) {
    ScopedWorkDir dir;
    writeUserFile("U1", dir.path().string());
    for (const char* version : {"", "0.0.3", "0.0.1x", "0.0.2"}) {
        auto bytes = kCurrentFile;
        std::fill(bytes.begin(), bytes.begin() + 20, 0);
        std::copy(version, version + std::strlen(version), bytes.begin());
        writeBytes("cal/U1/U1-cfgSys.bin", bytes);
        SystemConfig config;
        std::ostringstream out;
        ASSERT_TRUE(config.load("U1", out));
        const std::string warning = std::string("warning: cal/U1/U1-cfgSys.bin: version \"") +
                                    version + "\" is read as 0.0.2\n";
        EXPECT_EQ(out.str(), "config file path: cal/U1/U1-cfgSys.bin\n" +
                                 (std::strcmp(version, "0.0.2") ? warning : std::string()))
            << version;
        EXPECT_EQ(config.getConfigVersion(), version);
        EXPECT_EQ(config.getNumCells(), 850);
    }
}

TEST(SystemConfigFile, MissingSystemFileFailsTheLoadAndKeepsTheDefaults) {
    ScopedWorkDir dir;
    writeUserFile("U1", dir.path().string());
    SystemConfig config;
    std::ostringstream out;
    EXPECT_FALSE(config.load("U1", out));
    EXPECT_EQ(out.str(),
              "config file path: cal/U1/U1-cfgSys.bin\nSystem config file not found\n"
              "the system file cal/U1/U1-cfgSys.bin is missing\n");
    EXPECT_EQ(config.systemFileError(), "the system file cal/U1/U1-cfgSys.bin is missing");
    EXPECT_EQ(config.getNumCells(), 900);
    EXPECT_EQ(config.getGain(), 1.25);
}

TEST(SystemConfigFile, MissingUserFileFailsTheLoad) {
    ScopedWorkDir dir;
    writeBytes("cal/U1/U1-cfgSys.bin", kCurrentFile);
    SystemConfig config;
    std::ostringstream out;
    EXPECT_FALSE(config.load("U1", out));
    EXPECT_EQ(out.str(),
              "config file path: cal/U1/U1-cfgSys.bin\nuser config file not found\n"
              "the user file cal/U1/U1-cfgUsr.txt is missing\n");
    EXPECT_EQ(config.systemFileError(), "");
    EXPECT_EQ(config.getNumCells(), 850);
}

TEST(SystemConfigFile, ShortFileIsRefusedWholeAndTheRecordKeepsItsValues) {
    ScopedWorkDir dir;
    writeUserFile("U1", dir.path().string());
    // Version, hwOffsetX, hwOffsetY and deviceType: 30 bytes.
    writeBytes("cal/U1/U1-cfgSys.bin",
               std::vector<std::uint8_t>(kCurrentFile.begin(), kCurrentFile.begin() + 30));
    SystemConfig config;
    std::ostringstream out;
    EXPECT_FALSE(config.load("U1", out));
    EXPECT_EQ(out.str(),
              "config file path: cal/U1/U1-cfgSys.bin\nUnable to read system config files\n"
              "cal/U1/U1-cfgSys.bin: 30 bytes, a system file has 124\n");
    std::int32_t hx, hy;
    config.getHwOffset(hx, hy);
    EXPECT_EQ(hx, 0);
    EXPECT_EQ(config.getDeviceType(), 2);
    EXPECT_EQ(config.getConfigVersion(), "");
    EXPECT_EQ(config.getNumCells(), 900);
}

TEST(SystemConfigFile, ShortVersionIsReported) {
    ScopedWorkDir dir;
    writeUserFile("U1", dir.path().string());
    writeBytes("cal/U1/U1-cfgSys.bin", {'0', '.', '0'});
    SystemConfig config;
    std::ostringstream out;
    EXPECT_FALSE(config.load("U1", out));
    EXPECT_EQ(out.str(),
              "config file path: cal/U1/U1-cfgSys.bin\nUnable to read system config files\n"
              "cal/U1/U1-cfgSys.bin: 3 bytes, a system file has 124\n");
    EXPECT_EQ(config.getNumCells(), 900);
}

// The updater lies beside the programs, not beside this test program: a
// failed update keeps the record's defaults and says which program is
// missing.
TEST(SystemConfigFile, OldLayoutWithoutItsUpdaterKeepsTheDefaults) {
    ScopedWorkDir dir;
    writeUserFile("U1", dir.path().string());
    auto bytes = kCurrentFile;
    bytes[4] = '1';
    writeBytes("cal/U1/U1-cfgSys.bin", bytes);
    SystemConfig config;
    std::ostringstream out;
    EXPECT_FALSE(config.load("U1", out));
    const std::string lines = out.str();
    EXPECT_EQ(lines.rfind("config file path: cal/U1/U1-cfgSys.bin\n"
                          "Unable to read system config files\n"
                          "cal/U1/U1-cfgSys.bin: version 0.0.1 was not converted: the updater ",
                          0),
              0u)
        << lines;
    EXPECT_NE(lines.find("restamp is missing\n"), std::string::npos) << lines;
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

// Files seen damaged in the field, and values no unit can have: each is
// refused whole with one line naming the file, the field and the value, and
// the record keeps what it held.
TEST(SystemConfigFile, CorruptedSystemFilesAreRefusedWhole) {
    ScopedWorkDir dir;
    writeUserFile("U1", dir.path().string());
    struct Case {
        std::size_t offset;
        std::vector<std::uint8_t> value;
        const char* expected;
    };
    const Case cases[] = {
        {36, {0x00, 0x00}, "wavelengthRes is 0 nm, outside 1..65535 nm"},
        {32, {0x32, 0x00}, "minWavelength is 50 nm, outside 100..3000 nm"},
        {34, {0x54, 0x01}, "maxWavelength is 340 nm, below minWavelength 350 nm"},
        {80,
         {0x00, 0x00, 0x00, 0x80},
         "rangeMinWavelength is -2147483648 nm, outside 100..3000 nm"},
        {84, {0xff, 0xff, 0xff, 0x7f}, "rangeMaxWavelength is 2147483647 nm, outside 100..3000 nm"},
        {84,
         {0x8f, 0x01, 0x00, 0x00},
         "rangeMaxWavelength is 399 nm, below rangeMinWavelength 400 nm"},
        {76, {0x00, 0x80}, "wavelengthShift is -32768 nm, outside -100..100 nm"},
        {44, {0x00, 0x00, 0x00, 0x00}, "numCells is 0, outside 1..65536"},
        {44, {0xff, 0xff, 0xff, 0xff}, "numCells is -1, outside 1..65536"},
        {44, {0xff, 0xff, 0xff, 0x7f}, "numCells is 2147483647, outside 1..65536"},
        {60, {0, 0, 0, 0, 0, 0, 0, 0}, "swFwhm is 0 nm, outside 0.01..1000 nm"},
        {60, {0, 0, 0, 0, 0, 0, 0xf0, 0xbf}, "swFwhm is -1 nm, outside 0.01..1000 nm"},
        {60,
         {0x59, 0xf3, 0xf8, 0xc2, 0x1f, 0x6e, 0xa5, 0x01},
         "swFwhm is 1e-300 nm, outside 0.01..1000 nm"},
        {60, {0, 0, 0, 0, 0, 0, 0xf8, 0x7f}, "swFwhm is nan nm, outside 0.01..1000 nm"},
        {60, {0, 0, 0, 0, 0, 0, 0xf0, 0x7f}, "swFwhm is inf nm, outside 0.01..1000 nm"},
        {68, {0xff, 0xff, 0xff, 0xff}, "dataSizeX is -1 pixels, outside 1..8192 pixels"},
        {72, {0x00, 0x00, 0x10, 0x00}, "dataSizeY is 1048576 pixels, outside 1..8192 pixels"},
        {48, {0xe8, 0x03, 0x00, 0x00}, "neighbourPixelsX is 1000 pixels, outside 0..127 pixels"},
        {52, {0xff, 0xff, 0xff, 0xff}, "neighbourPixelsY is -1 pixels, outside 0..127 pixels"},
        {72,
         {0x64, 0x00, 0x00, 0x00},
         "the Gaussian-blur normalisation needs an image of at least 101 x 101 pixels, not 1024 x "
         "100"},
        {100, {'.', '.', 0}, "fullDeviceId is \"..\", not a folder name"},
        {100, {'a', '/', 'b', 0}, "fullDeviceId is \"a/b\", not a folder name"},
    };
    for (const Case& c : cases) {
        auto bytes = kCurrentFile;
        std::copy(c.value.begin(), c.value.end(), bytes.begin() + long(c.offset));
        writeBytes("cal/U1/U1-cfgSys.bin", bytes);
        SystemConfig config;
        std::ostringstream out;
        EXPECT_FALSE(config.load("U1", out)) << c.expected;
        const std::string line = std::string("cal/U1/U1-cfgSys.bin: ") + c.expected;
        EXPECT_EQ(config.systemFileError(), line);
        EXPECT_EQ(out.str(), "config file path: cal/U1/U1-cfgSys.bin\n" + line + "\n");
        EXPECT_NE(summaryOf(config).find("Number of cells = 900\n"), std::string::npos);
    }

    for (std::size_t size : {20u, 123u}) {
        writeBytes(
            "cal/U1/U1-cfgSys.bin",
            std::vector<std::uint8_t>(kCurrentFile.begin(), kCurrentFile.begin() + long(size)));
        SystemConfig config;
        std::ostringstream out;
        EXPECT_FALSE(config.load("U1", out));
        EXPECT_EQ(config.loadError(), "cal/U1/U1-cfgSys.bin: " + std::to_string(size) +
                                          " bytes, a system file has 124");
    }

    std::filesystem::remove("cal/U1/U1-cfgSys.bin");
    std::filesystem::create_directory("cal/U1/U1-cfgSys.bin");
    SystemConfig folder;
    std::ostringstream out;
    EXPECT_FALSE(folder.load("U1", out));
    EXPECT_EQ(out.str(),
              "config file path: cal/U1/U1-cfgSys.bin\nUnable to read system config files\n"
              "cal/U1/U1-cfgSys.bin is not a file (a folder stands there, or a device)\n");

    SystemConfig unknown;
    out.str("");
    EXPECT_FALSE(unknown.load("NOPE", out));
    EXPECT_EQ(unknown.loadError(), "unit NOPE is unknown: there is no folder cal/NOPE");
    EXPECT_EQ(linesOf(out.str()).back(), unknown.loadError());

    std::filesystem::remove("cal/U1/U1-cfgSys.bin");
    writeBytes("cal/U1/U1-cfgSys.bin", kCurrentFile);
    SystemConfig good;
    out.str("");
    ASSERT_TRUE(good.load("U1", out)) << out.str();
    EXPECT_EQ(good.unusableReason(), "");
}

}  // namespace
