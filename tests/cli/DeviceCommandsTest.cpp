// kelo devices and kelo grab against the simulated camera, set up through
// the environment as an operator would.
#include <gtest/gtest.h>

#include <cstdlib>

#include "TestSupport.h"

namespace {

using kelo::test::readBytes;
using kelo::test::runProgram;
using kelo::test::ScopedWorkDir;

// Sets the simulator's variables for the programs started while it lives.
class SimulatorEnvironment {
public:
    explicit SimulatorEnvironment(const char* cameras) {
        ::setenv("KELO_SIM_CAMERAS", cameras, 1);
        ::setenv("KELO_SIM_NOISE", "0", 1);
        ::setenv("KELO_SIM_SCENE", "white", 1);
    }
    ~SimulatorEnvironment() {
        ::unsetenv("KELO_SIM_CAMERAS");
        ::unsetenv("KELO_SIM_NOISE");
        ::unsetenv("KELO_SIM_SCENE");
    }
};

// One environment variable, set while it lives.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name(name) { ::setenv(name, value, 1); }
    ~ScopedVariable() { ::unsetenv(name); }

private:
    const char* name;
};

constexpr const char* kTwoUnits = "40012345:K3S00042,40012399:K3S00043";

// The little-endian 16-bit pixels of a grabbed file.
std::vector<std::uint16_t> pixelsOf(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::uint16_t> pixels;
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2)
        pixels.push_back(static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8)));
    return pixels;
}

double mean(const std::vector<std::uint16_t>& pixels) {
    double sum = 0.0;
    for (std::uint16_t pixel : pixels) sum += pixel;
    return pixels.empty() ? 0.0 : sum / static_cast<double>(pixels.size());
}

std::uint16_t brightest(const std::vector<std::uint16_t>& pixels) {
    std::uint16_t top = 0;
    for (std::uint16_t pixel : pixels) top = std::max(top, pixel);
    return top;
}

class GrabCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(runProgram(KELO_PROGRAM, {"simunit", "K3S00042"}, dir.path()).exitCode, 0);
    }
    kelo::test::ProcessResult grab(const std::vector<std::string>& options) {
        std::vector<std::string> words = {"grab"};
        words.insert(words.end(), options.begin(), options.end());
        return runProgram(KELO_PROGRAM, words, dir.path());
    }

    ScopedWorkDir dir;
    SimulatorEnvironment simulator{kTwoUnits};
};

TEST(KeloDevices, ListsEveryAttachedCameraWithItsUnit) {
    ScopedWorkDir dir;
    {
        SimulatorEnvironment simulator("40012345:K3S00042,40012399:K3S00043,7:SPARE");
        const auto result = runProgram(KELO_PROGRAM, {"devices"}, dir.path());
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.out, "40012345\tK3S00042\tsimulated\n40012399\tK3S00043\tsimulated\n7\tSPARE\tsimulated\n");
        EXPECT_EQ(result.err, "");
    }
    {
        SimulatorEnvironment simulator("");
        const auto result = runProgram(KELO_PROGRAM, {"devices"}, dir.path());
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(runProgram(KELO_PROGRAM, {"devices", "extra"}, dir.path()).exitCode, 2);
}

TEST_F(GrabCommand, WritesOneFrameOfTheUnitsWindowAsLittleEndianWords) {
    const auto result = grab({"--out", "frame.raw"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find("1280x670\n"), std::string::npos) << result.err;

    const auto bytes = readBytes(dir.path() / "frame.raw");
    ASSERT_EQ(bytes.size(), 1280u * 670u * 2u);
    const auto pixels = pixelsOf(bytes);
    EXPECT_LE(brightest(pixels), 4095);
    EXPECT_GT(mean(pixels), 0.0);
}

TEST_F(GrabCommand, EightBitPixelsStayBelow256) {
    const auto result = grab({"--pixel-format", "8", "--exposure-ms", "200", "--out", "f8.raw"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto pixels = pixelsOf(readBytes(dir.path() / "f8.raw"));
    ASSERT_EQ(pixels.size(), 1280u * 670u);
    EXPECT_EQ(brightest(pixels), 255);
}

// Milliseconds on the command line, microseconds at the camera: a wrong
// factor puts the exposure outside the camera's limits, and both frames
// would look the same.
TEST_F(GrabCommand, LongerExposureGivesABrighterFrame) {
    ASSERT_EQ(grab({"--exposure-ms", "1", "--out", "short.raw"}).exitCode, 0);
    ASSERT_EQ(grab({"--exposure-ms", "4", "--out", "long.raw"}).exitCode, 0);
    const double shortMean = mean(pixelsOf(readBytes(dir.path() / "short.raw")));
    const double longMean = mean(pixelsOf(readBytes(dir.path() / "long.raw")));
    EXPECT_GT(longMean, 2.0 * shortMean - 40.0);
    EXPECT_GT(longMean, shortMean + 5.0);
}

TEST_F(GrabCommand, FlashOffLeavesTheSampleDark) {
    ASSERT_EQ(grab({"--exposure-ms", "10", "--out", "lit.raw"}).exitCode, 0);
    ASSERT_EQ(grab({"--exposure-ms", "10", "--flash", "off", "--out", "dark.raw"}).exitCode, 0);
    ASSERT_EQ(grab({"--exposure-ms", "10", "--flash", "on", "--out", "on.raw"}).exitCode, 0);
    const double lit = mean(pixelsOf(readBytes(dir.path() / "lit.raw")));
    const double dark = mean(pixelsOf(readBytes(dir.path() / "dark.raw")));
    const double on = mean(pixelsOf(readBytes(dir.path() / "on.raw")));
    EXPECT_GT(lit, dark + 1.0);
    EXPECT_GT(on, dark + 1.0);
}

TEST_F(GrabCommand, UnwritableOutputFailsNamingTheFile) {
    const auto result = grab({"--out", "no/such/folder/frame.raw"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("no/such/folder/frame.raw"), std::string::npos) << result.err;
}

TEST_F(GrabCommand, UnitWithoutConfigurationFails) {
    SimulatorEnvironment unknownUnit("40012345:NOUNIT");
    const auto result = grab({"--out", "frame.raw"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("\nConfig file error"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "frame.raw"));
}

TEST_F(GrabCommand, NoCameraFails) {
    SimulatorEnvironment none("");
    const auto result = grab({"--out", "frame.raw"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.out.find("no device present\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "frame.raw"));
}

TEST_F(GrabCommand, WrongWordsAreUsageErrors) {
    for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
             {},
             {"frame.raw"},
             {"--out"},
             {"--out", "f.raw", "--pixel-format", "10"},
             {"--out", "f.raw", "--flash", "sometimes"},
             {"--out", "f.raw", "--gain", "loud"},
             {"--out", "f.raw", "--exposure-ms", "5ms"},
             {"--out", "f.raw", "--binning"},
         }) {
        const auto result = grab(words);
        EXPECT_EQ(result.exitCode, 2) << ::testing::PrintToString(words);
        EXPECT_EQ(result.err.rfind("kelo grab: ", 0), 0u) << result.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "f.raw"));
}

// The live loop as an operator checks it: long exposures give spectra, a
// very short run ends, and a camera unplugged under the loop is an error.
TEST_F(GrabCommand, KeloLiveRunsEndsAndReportsALostCamera) {
    auto live = runProgram(KELO_PROGRAM, {"live", "--seconds", "4", "--exposure-ms", "1500"},
                           dir.path());
    EXPECT_EQ(live.exitCode, 0) << live.err;
    const std::size_t at = live.out.find("\nspectra: ");
    ASSERT_NE(at, std::string::npos) << live.out;
    EXPECT_GE(std::stoi(live.out.substr(at + 10)), 1) << live.out;

    live = runProgram(KELO_PROGRAM, {"live", "--seconds", "0.000001"}, dir.path());
    EXPECT_EQ(live.exitCode, 0) << live.err;

    ::setenv("KELO_SIM_UNPLUG_AFTER", "0.5", 1);
    live = runProgram(KELO_PROGRAM, {"live", "--seconds", "30"}, dir.path());
    ::unsetenv("KELO_SIM_UNPLUG_AFTER");
    EXPECT_EQ(live.exitCode, 1);
    EXPECT_NE(live.err.find("kelo live: the live loop ended with an error: the camera was "
                            "disconnected\n"),
              std::string::npos)
        << live.err;
}

// Through Aravis on its fake camera, which stands in for the first simulated
// camera, the commands work as through the simulated camera itself, and the
// frame is that camera's to the bit.
TEST_F(GrabCommand, EveryCommandRunsThroughTheAravisFakeCamera) {
    ScopedVariable scene("KELO_SIM_SCENE", "fluorescent");
    ASSERT_EQ(grab({"--exposure-ms", "10", "--out", "simulated.raw"}).exitCode, 0);

    ScopedVariable backend("KELO_CAMERA_BACKEND", "aravis-fake");
    const auto devices = runProgram(KELO_PROGRAM, {"devices"}, dir.path());
    EXPECT_EQ(devices.out, "40012345\tK3S00042\taravis-fake\n") << devices.err;
    const auto grabbed = grab({"--exposure-ms", "10", "--out", "fake.raw"});
    ASSERT_EQ(grabbed.exitCode, 0) << grabbed.err;
    EXPECT_EQ(readBytes(dir.path() / "fake.raw"), readBytes(dir.path() / "simulated.raw"));
    const auto snap = runProgram(KELO_PROGRAM, {"snap", "--out", "spectrum"}, dir.path());
    EXPECT_EQ(snap.exitCode, 0) << snap.err;
    EXPECT_GT(readBytes(dir.path() / "spectrum.txt").size(), 0u);

    ScopedVariable unplug("KELO_SIM_UNPLUG_AFTER", "0.5");
    const auto live = runProgram(KELO_PROGRAM, {"live", "--seconds", "30"}, dir.path());
    EXPECT_EQ(live.exitCode, 1);
    EXPECT_NE(live.err.find("the camera was disconnected\n"), std::string::npos) << live.err;
}

}  // namespace
