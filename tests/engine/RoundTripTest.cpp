// Frames of the simulated camera, noise off, through the processor and back
// to the spectrum the camera was shown: the whole path from pixels to
// spectrum on the default synthetic unit, in restricted mode.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>

#include "KernelSmoothing.h"
#include "SpectralGrids.h"
#include "TestSupport.h"
#include "camera/CameraDevice.h"
#include "camera/InstantCamera.h"
#include "config/SystemConfig.h"
#include "engine/SpectralProcessor.h"
#include "sim/SyntheticUnit.h"
#include "simcam/SceneSpectra.h"
#include "simcam/SensorModel.h"
#include "simcam/SimulatorControl.h"

namespace {

constexpr const char* kUnitId = "K3S00042";
constexpr double kExposureUs = 10000.0;  // puts the brightest cell near 3000 counts
constexpr double kLineWidthNm = 3.0;     // the synthetic unit's swFwhm

class RoundTrip : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = std::make_unique<kelo::test::ScopedWorkDir>();
        kelo::sim::SyntheticUnitOptions options;
        options.id = kUnitId;
        std::ostringstream unitLog;
        ASSERT_EQ(kelo::sim::writeSyntheticUnit(options, unitLog), "");

        kelo::camera::sdkInitialize();
        kelo::simcam::SimulatorSettings settings;
        settings.cameras = {{"40099001", kUnitId}};
        settings.scene = "dark";
        settings.noise = false;
        settings.root = folder->path();
        kelo::simcam::configure(settings);

        processor = std::make_unique<SpectralProcessor>(log);
        ASSERT_TRUE(processor->initialize(kUnitId));
        ASSERT_EQ(processor->unavailableReason(), "");
        openCamera();
        darkCells = cellsOf("dark");
    }

    static void TearDownTestSuite() {
        camera.reset();
        processor.reset();
        kelo::camera::sdkTerminate();
        folder.reset();
    }

    static void openCamera() {
        kelo::camera::DeviceInfoList cameras;
        ASSERT_EQ(kelo::camera::transportLayerFactory().enumerateDevices(cameras), 1u);
        camera = std::make_unique<kelo::camera::InstantCamera>();
        camera->attach(kelo::camera::transportLayerFactory().createDevice(cameras.front()));
        camera->open();
        SystemConfig record;
        std::ostringstream ignored;
        ASSERT_TRUE(record.load(kUnitId, ignored));
        std::uint32_t width, height;
        record.getDataSize(width, height);
        std::int32_t offsetX, offsetY;
        record.getHwOffset(offsetX, offsetY);
        kelo::camera::NodeMap& nodes = camera->nodeMap();
        using kelo::camera::required;
        required(nodes.enumerationNode("PixelFormat")).setValue("Mono12");
        required(nodes.integerNode("Width")).setValue(width);
        required(nodes.integerNode("Height")).setValue(height);
        required(nodes.integerNode("OffsetX")).setValue(offsetX);
        required(nodes.integerNode("OffsetY")).setValue(offsetY);
        required(nodes.enumerationNode("ExposureAuto")).setValue("Off");
        required(nodes.enumerationNode("GainAuto")).setValue("Off");
        required(nodes.floatNode("ExposureTime")).setValue(kExposureUs);
        required(nodes.floatNode("Gain")).setValue(0.0);
    }

    static std::vector<double> cellsOf(const std::string& scene) {
        EXPECT_TRUE(kelo::simcam::setScene(scene));
        kelo::camera::GrabResult result;
        EXPECT_TRUE(camera->grabOne(5000, result));
        const auto* words = static_cast<const std::uint16_t*>(result->buffer());
        Frame frame(words, words + std::size_t(result->width()) * result->height());
        std::vector<double> cells;
        EXPECT_TRUE(processor->computeCellValues(std::move(frame), cells));
        return cells;
    }

    // The restricted-range spectrum of a scene with the dark subtracted.
    static std::vector<double> spectrumOf(const std::string& scene) {
        std::vector<double> cells = cellsOf(scene);
        for (std::size_t i = 0; i < cells.size(); ++i) cells[i] -= darkCells[i];
        std::vector<double> spectrum;
        std::uint8_t saturated = 1;
        EXPECT_TRUE(processor->solveSpectrum(cells, spectrum, saturated));
        EXPECT_EQ(saturated, 0);
        return spectrum;
    }

    // The peak near `nm` (within +-3 nm), placed by a parabola through the
    // highest point and its neighbours.
    static double peakNear(const std::vector<double>& spectrum, double nm) {
        const std::vector<double> grid = processor->getWavelengths();
        std::size_t best = 0;
        for (std::size_t i = 1; i + 1 < grid.size(); ++i)
            if (std::fabs(grid[i] - nm) <= 3.0 && (best == 0 || spectrum[i] > spectrum[best]))
                best = i;
        const double left = spectrum[best - 1], top = spectrum[best], right = spectrum[best + 1];
        return grid[best] + 0.5 * (left - right) / (left - 2 * top + right);
    }

    // The scene's spectrum on the restricted grid in the fit's units (cell
    // counts per unit of light at these settings), smoothed the way the
    // processor smooths its fit.
    static std::vector<double> smoothedScene(const std::string& scene) {
        const std::vector<double> grid = processor->getWavelengths();
        const std::size_t n = grid.size();
        std::vector<double> light = kelo::simcam::sceneSpectrum(scene, grid.front(), n);
        const double countsPerUnit =
            kExposureUs * kelo::simcam::linearGain(0.0) * kelo::simcam::sensorModel().countsPerUnit;
        for (double& value : light) value *= countsPerUnit;
        const std::vector<double> kernel = kelo::engine::gaussianKernel(grid, kLineWidthNm);
        std::vector<double> convolution(2 * n - 1, 0.0), smoothed(n);
        kelo::engine::convolveFull(light.data(), kernel.data(), n, convolution.data());
        kelo::engine::centralPart(convolution.data(), n, smoothed.data());
        return smoothed;
    }

    static std::unique_ptr<kelo::test::ScopedWorkDir> folder;
    static std::ostringstream log;
    static std::unique_ptr<SpectralProcessor> processor;
    static std::unique_ptr<kelo::camera::InstantCamera> camera;
    static std::vector<double> darkCells;
};

std::unique_ptr<kelo::test::ScopedWorkDir> RoundTrip::folder;
std::ostringstream RoundTrip::log;
std::unique_ptr<SpectralProcessor> RoundTrip::processor;
std::unique_ptr<kelo::camera::InstantCamera> RoundTrip::camera;
std::vector<double> RoundTrip::darkCells;

TEST_F(RoundTrip, Laser532PeaksAt532) {
    const std::vector<double> spectrum = spectrumOf("laser532");
    EXPECT_NEAR(peakNear(spectrum, 532.0), 532.0, 0.5);
}

TEST_F(RoundTrip, FluorescentShowsItsMercuryLines) {
    const std::vector<double> spectrum = spectrumOf("fluorescent");
    for (double line : {404.7, 435.8, 546.1}) EXPECT_NEAR(peakNear(spectrum, line), line, 0.5);
    // 577.0 and 579.1 nm merge into one peak at a 3 nm line width; it must
    // stand where it stands in the smoothed scene.
    const double doublet = peakNear(smoothedScene("fluorescent"), 578.0);
    EXPECT_GT(doublet, 577.0);
    EXPECT_LT(doublet, 579.1);
    EXPECT_NEAR(peakNear(spectrum, 578.0), doublet, 0.5);
}

TEST_F(RoundTrip, HalogenReconstructsTheSmoothedSceneSpectrum) {
    const std::vector<double> spectrum = spectrumOf("halogen");
    const std::vector<double> expected = smoothedScene("halogen");
    double error = 0.0, norm = 0.0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        error += (spectrum[i] - expected[i]) * (spectrum[i] - expected[i]);
        norm += expected[i] * expected[i];
    }
    EXPECT_LT(std::sqrt(error / norm), 1e-3);
    EXPECT_FALSE(processor->fitDiagnostics().capReached);
}

}  // namespace
