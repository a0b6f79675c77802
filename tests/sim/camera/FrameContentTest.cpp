// What a simulated camera's frames show: the unit's cell windows lit as its
// transfer matrix says, dark elsewhere, clipped, noisy or not.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <iostream>
#include <sstream>

#include "OutputCapture.h"
#include "SimCameraTestSupport.h"
#include "config/UnitFiles.h"
#include "simcam/SensorModel.h"
#include "simcam/SimulatedCameras.h"

namespace kelo::simcamtest {
namespace {

constexpr double kDark = 40.0;  // 12-bit counts

class FrameContentTest : public SimCameraTest {
protected:
    // One Mono12 frame of the unit's window with the scene and settings.
    std::vector<std::uint16_t> unitFrame(const std::string& scene, double exposureUs, double gainDb,
                                         int lamp = 0) {
        EXPECT_TRUE(simcam::setScene(scene));
        auto device = openCamera();
        setUnitWindow(*device, exposureUs, gainDb);
        setLamp(*device, lamp);
        return pixelsOf(grabOne(*device));
    }

    // True for pixels of the unit's image that lie in some cell window.
    static std::vector<bool> windowMask() {
        std::vector<bool> mask(simtest::kImageWidth * simtest::kImageHeight, false);
        for (const Pixel& c : unit().cellCentres)
            for (int y = c.y - simtest::kReach; y <= c.y + simtest::kReach; ++y)
                for (int x = c.x - simtest::kReach; x <= c.x + simtest::kReach; ++x)
                    mask[y * simtest::kImageWidth + x] = true;
        return mask;
    }
};

TEST_F(FrameContentTest, WindowMeansEqualExposureTimesGainTimesTransferOfTheScene) {
    const struct {
        double exposureUs;
        double gainDb;
    } settings[] = {{10000.0, 0.0}, {3000.0, 6.0}, {777.0, 17.5}};
    for (const auto& s : settings) {
        const std::vector<double> means =
            windowMeans(unitFrame("halogen", s.exposureUs, s.gainDb), simtest::kImageWidth);
        const std::vector<double> signals = expectedSignals("halogen", s.exposureUs, s.gainDb);
        double worst = 0.0;
        for (std::size_t i = 0; i < means.size(); ++i)
            worst = std::max(worst, std::abs(means[i] - (kDark + signals[i])));
        // Whole counts with a dither that repeats with the window size: 1/289
        // of a count, a little more where bad pixels are left out.
        EXPECT_LT(worst, 0.01) << s.exposureUs << " us, " << s.gainDb << " dB";
    }
}

TEST_F(FrameContentTest, DefaultUserSettingsLeaveTheBrightestCellUnsaturated) {
    for (const char* scene : {"halogen", "fluorescent", "led", "white"}) {
        const std::vector<double> means =
            windowMeans(unitFrame(scene, 10000.0, 0.0, 2), simtest::kImageWidth);
        const double brightest = *std::max_element(means.begin(), means.end());
        EXPECT_GT(brightest, 2500.0) << scene;
        EXPECT_LT(brightest, 3500.0) << scene;
    }
}

TEST_F(FrameContentTest, PixelsOutsideTheWindowsShowTheDarkLevel) {
    const std::vector<std::uint16_t> pixels = unitFrame("fluorescent", 10000.0, 0.0);
    const std::vector<bool> mask = windowMask();
    std::size_t outside = 0;
    for (std::size_t p = 0; p < pixels.size(); ++p)
        if (!mask[p]) {
            ++outside;
            ASSERT_EQ(pixels[p], kDark)
                << "pixel " << p % simtest::kImageWidth << ", " << p / simtest::kImageWidth;
        }
    EXPECT_GT(outside, pixels.size() / 2);
}

TEST_F(FrameContentTest, LongExposuresClipAt4095And255) {
    const std::vector<double> signals = expectedSignals("halogen", 40000.0, 0.0);
    const std::size_t brightest =
        std::max_element(signals.begin(), signals.end()) - signals.begin();
    const Pixel centre = unit().cellCentres[brightest];
    const std::size_t centreAt = centre.y * simtest::kImageWidth + centre.x;

    const std::vector<std::uint16_t> frame12 = unitFrame("halogen", 40000.0, 0.0);
    EXPECT_EQ(*std::max_element(frame12.begin(), frame12.end()), 4095);
    EXPECT_EQ(frame12[centreAt], 4095);

    auto device = openCamera();
    setUnitWindow(*device, 40000.0, 0.0);
    setEnumeration(*device, "PixelFormat", "Mono8");
    const camera::GrabResult result = grabOne(*device);
    EXPECT_EQ(result->pixelType(), camera::kPixelMono8);
    const std::vector<std::uint16_t> frame8 = pixelsOf(result);
    EXPECT_EQ(*std::max_element(frame8.begin(), frame8.end()), 255);
    EXPECT_EQ(frame8[centreAt], 255);
}

TEST_F(FrameContentTest, Mono8IsTheTwelveBitValueOverSixteen) {
    auto device = openCamera();
    setUnitWindow(*device, 6000.0, 3.0);
    setEnumeration(*device, "PixelFormat", "Mono8");
    const camera::GrabResult result = grabOne(*device);
    ASSERT_EQ(result->width(), simtest::kImageWidth);
    ASSERT_EQ(result->height(), simtest::kImageHeight);
    const std::vector<double> means = windowMeans(pixelsOf(result), simtest::kImageWidth);
    const std::vector<double> signals = expectedSignals("halogen", 6000.0, 3.0);
    for (std::size_t i = 0; i < means.size(); ++i)
        ASSERT_NEAR(means[i], (kDark + signals[i]) / 16.0, 0.02) << "cell " << i;
}

TEST_F(FrameContentTest, SamplesAreDarkUnlessTheLampLightsThem) {
    const std::vector<double> lit = expectedSignals("white", 10000.0, 0.0);
    const struct {
        int lamp;
        bool expectLight;
    } cases[] = {{0, false}, {1, true}, {2, true}};
    for (const auto& c : cases) {
        const std::vector<double> means =
            windowMeans(unitFrame("white", 10000.0, 0.0, c.lamp), simtest::kImageWidth);
        for (std::size_t i = 0; i < means.size(); ++i)
            ASSERT_NEAR(means[i], kDark + (c.expectLight ? lit[i] : 0.0), 0.02)
                << "lamp mode " << c.lamp << ", cell " << i;
    }
    // Light sources do not need the lamp.
    const std::vector<double> means =
        windowMeans(unitFrame("led", 10000.0, 0.0, 0), simtest::kImageWidth);
    EXPECT_GT(*std::max_element(means.begin(), means.end()), 2000.0);
}

TEST_F(FrameContentTest, TheRegionDecidesWhichPartOfTheSensorShows) {
    const std::vector<std::uint16_t> whole = unitFrame("fluorescent", 10000.0, 0.0);
    auto device = openCamera();
    setUnitWindow(*device, 10000.0, 0.0);
    setInteger(*device, "Width", 1000);
    setInteger(*device, "Height", 500);
    setInteger(*device, "OffsetX", 8);
    setInteger(*device, "OffsetY", 4);
    const camera::GrabResult result = grabOne(*device);
    ASSERT_EQ(result->width(), 1000);
    ASSERT_EQ(result->height(), 500);
    const std::vector<std::uint16_t> part = pixelsOf(result);
    for (int y = 0; y < 500; ++y)
        for (int x = 0; x < 1000; ++x)
            ASSERT_EQ(part[y * 1000 + x], whole[(y + 4) * simtest::kImageWidth + x + 8])
                << x << ", " << y;
}

TEST_F(FrameContentTest, NoiseHasShotAndReadNoiseAroundTheExactMean) {
    simcam::setNoise(true);
    const std::vector<std::uint16_t> pixels = unitFrame("halogen", 10000.0, 6.0);
    const std::vector<double> signals = expectedSignals("halogen", 10000.0, 6.0);
    const simcam::SensorModel& model = simcam::sensorModel();
    const double countsPerElectron = std::pow(10.0, 6.0 / 20.0) / model.electronsPerCount;
    const double readNoise = model.readNoiseElectrons * countsPerElectron;

    double varianceRatioSum = 0.0;
    double meanErrorSum = 0.0;
    int cells = 0;
    for (std::size_t i = 0; i < signals.size(); ++i) {
        if (signals[i] < 300.0 || signals[i] > 3000.0) continue;
        const Pixel c = unit().cellCentres[i];
        double sum = 0.0, squares = 0.0;
        int n = 0;
        for (int y = c.y - 6; y <= c.y + 6; ++y)  // inner part: no bad pixels nearby matter
            for (int x = c.x - 6; x <= c.x + 6; ++x) {
                const double v = pixels[y * simtest::kImageWidth + x];
                if (v == 0.0 || v == 4095.0) continue;
                sum += v;
                squares += v * v;
                ++n;
            }
        const double mean = sum / n;
        const double variance = (squares - n * mean * mean) / (n - 1);
        const double expected = readNoise * readNoise + signals[i] * countsPerElectron + 1.0 / 12;
        varianceRatioSum += variance / expected;
        meanErrorSum += mean - (kDark + signals[i]);
        ++cells;
    }
    ASSERT_GT(cells, 100);
    EXPECT_NEAR(varianceRatioSum / cells, 1.0, 0.05);
    EXPECT_NEAR(meanErrorSum / cells, 0.0, 0.3);

    // Outside the windows: read noise around the dark level.
    const std::vector<bool> mask = windowMask();
    double sum = 0.0, squares = 0.0;
    int n = 0;
    for (std::size_t p = 0; p < pixels.size(); ++p)
        if (!mask[p]) {
            sum += pixels[p];
            squares += double(pixels[p]) * pixels[p];
            ++n;
        }
    EXPECT_NEAR(sum / n, kDark, 0.05);
    EXPECT_NEAR(std::sqrt(squares / n - (sum / n) * (sum / n)),
                std::sqrt(readNoise * readNoise + 1.0 / 12), 0.1);
}

TEST_F(FrameContentTest, ASeedRepeatsTheNoiseAndNoNoiseIgnoresTheSeed) {
    const auto twoFrames = [this](bool noise, std::uint64_t seed) {
        simcam::setNoise(noise);
        simcam::setSeed(seed);
        auto device = openCamera();
        setUnitWindow(*device, 5000.0, 0.0);
        device->startGrabbing(camera::GrabStrategy::OneByOne, camera::GrabLoop::ProvidedByUser, 2);
        std::vector<std::vector<std::uint16_t>> frames;
        camera::GrabResult result;
        while (device->retrieveResult(1000, result, camera::TimeoutHandling::Return))
            frames.push_back(pixelsOf(result));
        EXPECT_EQ(frames.size(), 2u);
        return frames;
    };
    const auto first = twoFrames(true, 11);
    EXPECT_EQ(twoFrames(true, 11), first);
    EXPECT_NE(first[0], first[1]);  // each frame its own noise
    EXPECT_NE(twoFrames(true, 12)[0], first[0]);
    const auto quiet = twoFrames(false, 11);
    EXPECT_EQ(quiet[0], quiet[1]);
    EXPECT_EQ(twoFrames(false, 12), quiet);
}

TEST_F(FrameContentTest, DarkSceneShowsOnlyTheDarkLevelAndBadPixels) {
    const std::vector<std::uint16_t> pixels = unitFrame("dark", 10000.0, 0.0);
    std::size_t bad = 0;
    for (std::uint16_t v : pixels)
        if (v != kDark) ++bad;
    EXPECT_EQ(bad, unit().badPixels.size());
}

TEST_F(FrameContentTest, TestPatternIsADiagonalSawtooth) {
    auto device = openCamera();
    setUnitWindow(*device, 1000.0, 0.0);
    setInteger(*device, "OffsetX", 100);
    setEnumeration(*device, "TestPattern", "GreyDiagonalSawtooth");
    const std::vector<std::uint16_t> pixels = pixelsOf(grabOne(*device));
    EXPECT_EQ(pixels[0], 100);
    EXPECT_EQ(pixels[5 * simtest::kImageWidth + 7], 112);
    EXPECT_EQ(pixels[669 * simtest::kImageWidth + 1279], (100 + 1279 + 669) % 4096);
}

TEST_F(FrameContentTest, ACameraWithoutUnitFilesShowsDarkFramesAndSaysSoOnce) {
    simcam::SimulatorSettings settings = quietSettings();
    settings.cameras = {{"777", "NOUNIT"}};
    simcam::configure(settings);
    std::unique_ptr<camera::CameraDevice> device;
    std::string reported;
    {
        kelo::test::OutputCapture output;
        device = openCamera("777");
        device->close();
        device->open();
        reported = output.stdErr();
    }
    EXPECT_NE(reported.find("NOUNIT"), std::string::npos);
    EXPECT_EQ(std::count(reported.begin(), reported.end(), '\n'), 1) << reported;

    setUnitWindow(*device, 10000.0, 0.0);
    const std::vector<std::uint16_t> pixels = pixelsOf(grabOne(*device));
    EXPECT_TRUE(std::all_of(pixels.begin(), pixels.end(), [](auto v) { return v == kDark; }));
}

// Writes a fresh unit into a folder of its own, lets `damage` change its
// files, and grabs one frame of it.
std::vector<std::uint16_t> frameOfDamagedUnit(
    const std::function<void(const std::filesystem::path& root)>& damage) {
    kelo::test::ScopedWorkDir folder;
    sim::SyntheticUnitOptions options = simtest::defaultUnitOptions();
    options.id = "K3S00099";
    options.root = folder.path();
    simtest::writeUnit(options);
    damage(folder.path());
    simcam::SimulatorSettings settings;
    settings.cameras = {{"99", "K3S00099"}};
    settings.noise = false;
    settings.root = folder.path();
    simcam::configure(settings);
    camera::DeviceInfoList list;
    simcam::simulatedCameras().enumerateDevices(list);
    auto device = simcam::simulatedCameras().createDevice(list.at(0));
    device->open();
    setUnitWindow(*device, 10000.0, 0.0);
    return pixelsOf(grabOne(*device));
}

void overwriteInt32(const std::filesystem::path& file, std::size_t offset, std::int32_t value) {
    std::vector<std::uint8_t> bytes = kelo::test::readBytes(file);
    for (int i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
    kelo::test::writeBytes(file, bytes);
}

TEST_F(FrameContentTest, DamagedUnitFilesNeverCrashTheCamera) {
    kelo::test::OutputCapture output;

    // A transfer matrix one value short: the unit is unreadable, frames dark.
    const std::vector<std::uint16_t> shortMatrix = frameOfDamagedUnit([](const auto& root) {
        const auto file = simtest::unitFile(root, "K3S00099", kTransferMatrixFileSuffix);
        std::vector<std::uint8_t> bytes = kelo::test::readBytes(file);
        bytes.resize(bytes.size() - 8);
        kelo::test::writeBytes(file, bytes);
    });
    EXPECT_TRUE(
        std::all_of(shortMatrix.begin(), shortMatrix.end(), [](auto v) { return v == kDark; }));
    EXPECT_NE(output.stdErr().find("K3S00099-TMat.bin"), std::string::npos) << output.stdErr();

    // Windows reaching far beyond the sensor, and centres at the ends of the
    // number range: what lies on the sensor is drawn, nothing else.
    const std::vector<std::uint16_t> hugeWindows = frameOfDamagedUnit([](const auto& root) {
        const auto system = simtest::unitFile(root, "K3S00099", kSystemFileSuffix);
        overwriteInt32(system, 48, 2147483647);  // neighbourPixelsX
        const auto centres = simtest::unitFile(root, "K3S00099", kCellCentreFileSuffix);
        overwriteInt32(centres, 0, -2147483647 - 1);
        overwriteInt32(centres, 12, 2147483647);
        const auto bad = simtest::unitFile(root, "K3S00099", kBadPixelFileSuffix);
        overwriteInt32(bad, 4, 2147483647);
    });
    EXPECT_EQ(hugeWindows.size(), std::size_t{simtest::kImageWidth} * simtest::kImageHeight);
}

}  // namespace
}  // namespace kelo::simcamtest
