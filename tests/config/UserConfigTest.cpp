#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <locale>
#include <sstream>

#include "TestSupport.h"
#include "config/SystemConfig.h"
#include "config/SystemConfigLayout.h"
#include "config/UserConfigFile.h"

namespace {

using kelo::test::readText;
using kelo::test::ScopedWorkDir;
using kelo::test::writeText;

const char* kUserPath = "cal/U1/U1-cfgUsr.txt";

// A system file the loader accepts, so that the user file decides.
void writeSystemFile() {
    kelo::SystemConfigBlock block;
    block.swFwhm = 3.0;
    std::strcpy(block.fullDeviceId, "U1");
    std::vector<std::uint8_t> bytes(kelo::kConfigFileSize, 0);
    std::memcpy(bytes.data(), "0.0.2", 5);
    kelo::encodeBlock(block, kelo::kCurrentBlockLayout, bytes.data() + kelo::kConfigVersionSize);
    kelo::test::writeBytes("cal/U1/U1-cfgSys.bin", bytes);
}

SystemConfig loadWithUserFile(const std::string& text) {
    writeSystemFile();
    writeText(kUserPath, text);
    SystemConfig config;
    std::ostringstream out;
    EXPECT_TRUE(config.load("U1", out)) << out.str();
    return config;
}

std::string documents() {
    return kelo::documentsFolder().value_or("");
}

TEST(UserConfigFile, IsWrittenWithSixDecimalsAndNoFinalNewline) {
    ScopedWorkDir dir;
    std::filesystem::create_directories("cal/U1");
    SystemConfig config;
    config.setGain(2.5);
    config.setExposureTime(15000);
    config.setSaveDirPath("/data/kelo spectra");
    std::ostringstream out;
    ASSERT_TRUE(config.saveUserConfig("U1", out));
    EXPECT_EQ(out.str(), "kelspectroConfig:last used dir:/data/kelo spectra\n");
    EXPECT_EQ(readText(kUserPath),
              "hwGain: 2.500000\nhwExposureTime: 15000.000000\nSaveDirPath: /data/kelo spectra");
}

// Qt applications take the user's locale for C formatting; a German one
// writes decimal commas unless the file code insists on the C locale.
struct CommaDecimals : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST(UserConfigFile, NumbersIgnoreTheUserLocale) {
    ScopedWorkDir dir;
    const std::locale previousGlobal =
        std::locale::global(std::locale(std::locale::classic(), new CommaDecimals));
    const std::string previousC = std::setlocale(LC_ALL, nullptr);
    const bool german = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;

    EXPECT_EQ(kelo::formatUserConfig({2.5, 0.125, "x"}),
              "hwGain: 2.500000\nhwExposureTime: 0.125000\nSaveDirPath: x");
    const SystemConfig config = loadWithUserFile(
        "hwGain: 3.750000\nhwExposureTime: 12.500000\nSaveDirPath: " + dir.path().string());
    EXPECT_EQ(config.getGain(), 3.75);
    EXPECT_EQ(config.getExposureTime(), 12.5);
    std::ostringstream summary;
    config.printSummary(summary);
    EXPECT_NE(summary.str().find("Gain = 3.75\n"), std::string::npos);

    std::setlocale(LC_ALL, previousC.c_str());
    std::locale::global(previousGlobal);
    if (!german) GTEST_LOG_(INFO) << "de_DE.UTF-8 is not installed; the C locale part was skipped";
}

TEST(UserConfigFile, SaveFolderWithSpacesIsReadWhole) {
    ScopedWorkDir dir;
    const auto folder = dir.path() / "my spectra 'quoted'";
    std::filesystem::create_directories(folder);
    const SystemConfig config = loadWithUserFile(
        "hwGain: 1.000000\nhwExposureTime: 2.000000\nSaveDirPath:   " + folder.string() + "  ");
    EXPECT_EQ(config.getSaveDirPath(), folder.string());
}

TEST(UserConfigFile, WindowsLineEndsAreAccepted) {
    ScopedWorkDir dir;
    const SystemConfig config = loadWithUserFile(
        "hwGain: 1.5\r\nhwExposureTime: 20.25\r\nSaveDirPath: " + dir.path().string() + "\r\n");
    EXPECT_EQ(config.getGain(), 1.5);
    EXPECT_EQ(config.getExposureTime(), 20.25);
    EXPECT_EQ(config.getSaveDirPath(), dir.path().string());
}

TEST(UserConfigFile, MissingOrVanishedFolderFallsBackToDocuments) {
    ScopedWorkDir dir;
    const std::string cases[] = {
        "hwGain: 1.0\nhwExposureTime: 2.0",                       // no path line
        "hwGain: 1.0\nhwExposureTime: 2.0\nSaveDirPath:",         // label only
        "hwGain: 1.0\nhwExposureTime: 2.0\nSaveDirPath:   \r\n",  // blanks only
        "hwGain: 1.0\nhwExposureTime: 2.0\nSaveDirPath: /no/such/kelo/folder",
    };
    for (const std::string& text : cases) {
        const SystemConfig config = loadWithUserFile(text);
        EXPECT_EQ(config.getSaveDirPath(), documents()) << text;
        EXPECT_EQ(config.getGain(), 1.0);
        EXPECT_EQ(config.getExposureTime(), 2.0);
    }
}

TEST(UserConfigFile, MalformedNumberLeavesItsFieldAlone) {
    ScopedWorkDir dir;
    const SystemConfig config = loadWithUserFile("hwGain: 4.5\nhwExposureTime: soon");
    EXPECT_EQ(config.getGain(), 4.5);
    EXPECT_EQ(config.getExposureTime(), 10000.0);
}

TEST(UserConfigFile, FailedSaveKeepsThePreviousFile) {
    ScopedWorkDir dir;
    writeText(kUserPath, "hwGain: 1.000000\nhwExposureTime: 2.000000\nSaveDirPath: /a");
    // The file is written beside and renamed into place; block the side file.
    std::filesystem::create_directories(std::string(kUserPath) + ".part");
    SystemConfig config;
    config.setGain(9);
    std::ostringstream out;
    EXPECT_FALSE(config.saveUserConfig("U1", out));
    EXPECT_EQ(readText(kUserPath), "hwGain: 1.000000\nhwExposureTime: 2.000000\nSaveDirPath: /a");

    SystemConfig elsewhere;
    EXPECT_FALSE(elsewhere.saveUserConfig("NOFOLDER", out));
    EXPECT_FALSE(std::filesystem::exists("cal/NOFOLDER"));

    // Settings the next start would refuse are not written either.
    std::filesystem::remove(std::string(kUserPath) + ".part");
    SystemConfig unreadable;
    unreadable.setExposureTime(std::nan(""));
    EXPECT_FALSE(unreadable.saveUserConfig("U1", out));
    EXPECT_EQ(readText(kUserPath), "hwGain: 1.000000\nhwExposureTime: 2.000000\nSaveDirPath: /a");
}

// The user file is the application's own, but a damaged one is refused like
// any unit file: one line naming the file, the field and the value.
TEST(UserConfigFile, CorruptedUserFilesAreRefused) {
    ScopedWorkDir dir;
    writeSystemFile();
    struct Case {
        std::string text;
        const char* expected;
    };
    const Case cases[] = {
        {"hwGain: 1\nhwExposureTime: nan\nSaveDirPath: .",
         "hwExposureTime is nan microseconds, not above 0 and at most 1e+09"},
        {"hwGain: 1\nhwExposureTime: inf\nSaveDirPath: .",
         "hwExposureTime is inf microseconds, not above 0 and at most 1e+09"},
        {"hwGain: 1\nhwExposureTime: 0\nSaveDirPath: .",
         "hwExposureTime is 0 microseconds, not above 0 and at most 1e+09"},
        {"hwGain: 1\nhwExposureTime: -5\nSaveDirPath: .",
         "hwExposureTime is -5 microseconds, not above 0 and at most 1e+09"},
        {"hwGain: 1\nhwExposureTime: 1e10\nSaveDirPath: .",
         "hwExposureTime is 1e+10 microseconds, not above 0 and at most 1e+09"},
        {"hwGain: nan\nhwExposureTime: 10\nSaveDirPath: .", "hwGain is nan, outside -1000..1000"},
        {"hwGain: -inf\nhwExposureTime: 10\nSaveDirPath: .", "hwGain is -inf, outside -1000..1000"},
        {std::string(70000, ' '), "70000 bytes, more than a user file holds (65536)"},
    };
    for (const Case& c : cases) {
        writeText(kUserPath, c.text);
        SystemConfig config;
        std::ostringstream out;
        EXPECT_FALSE(config.load("U1", out)) << c.expected;
        EXPECT_EQ(config.loadError(), std::string(kUserPath) + ": " + c.expected);
        EXPECT_EQ(config.getExposureTime(), 10000.0);
        EXPECT_EQ(config.getGain(), 0.0);
    }

    std::filesystem::remove(kUserPath);
    std::filesystem::create_directory(kUserPath);
    SystemConfig config;
    std::ostringstream out;
    EXPECT_FALSE(config.load("U1", out));
    EXPECT_EQ(out.str(), "config file path: cal/U1/U1-cfgSys.bin\n" + std::string(kUserPath) +
                             " is not a file (a folder stands there, or a device)\n");
}

}  // namespace
