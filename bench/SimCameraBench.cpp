// Rendering speed of the simulated camera: one 1280 x 670 frame of the
// default synthetic unit, as the grab thread makes it for every frame.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "FramePool.h"
#include "FrameRenderer.h"
#include "UnitOptics.h"
#include "sim/SyntheticUnit.h"
#include "simcam/SensorModel.h"

namespace {

using namespace kelo::simcam;

// The default unit, written once into a scratch folder.
std::shared_ptr<const UnitOptics> defaultUnit() {
    static const std::shared_ptr<const UnitOptics> unit = [] {
        const std::filesystem::path root =
            std::filesystem::temp_directory_path() / "kelo-simcam-bench";
        kelo::sim::SyntheticUnitOptions options;
        options.id = "K3S00042";
        options.root = root;
        std::ostringstream log;
        const std::string error = kelo::sim::writeSyntheticUnit(options, log);
        UnitOpticsLoad load = loadUnitOptics(root, options.id);
        std::filesystem::remove_all(root);
        if (!error.empty() || !load.optics) throw std::runtime_error(error + load.problem);
        return load.optics;
    }();
    return unit;
}

void renderUnitFrame(benchmark::State& state, PixelFormat format, bool noise) {
    FrameRenderer renderer;
    renderer.setUnit(defaultUnit());
    const std::vector<double> responses = cellResponses(*defaultUnit(), "fluorescent");
    FrameBuffer frame(sensorPixels());
    FrameRequest request;
    request.width = 1280;
    request.height = 670;
    request.format = format;
    request.signalPerResponse = 10000.0 * sensorModel().countsPerUnit;
    request.responses = &responses;
    request.noise = noise;
    std::size_t frameNumber = 0;
    for (auto _ : state) {
        request.noiseOffset = frameNumber++ * 7919;
        benchmark::DoNotOptimize(renderer.render(request, frame));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * request.width * request.height);
}

void Mono12WithNoise(benchmark::State& state) {
    renderUnitFrame(state, PixelFormat::Mono12, true);
}
void Mono12WithoutNoise(benchmark::State& state) {
    renderUnitFrame(state, PixelFormat::Mono12, false);
}
void Mono8WithNoise(benchmark::State& state) {
    renderUnitFrame(state, PixelFormat::Mono8, true);
}

BENCHMARK(Mono12WithNoise)->Unit(benchmark::kMillisecond);
BENCHMARK(Mono12WithoutNoise)->Unit(benchmark::kMillisecond);
BENCHMARK(Mono8WithNoise)->Unit(benchmark::kMillisecond);

}  // namespace
