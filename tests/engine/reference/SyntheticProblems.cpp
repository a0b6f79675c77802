#include "SyntheticProblems.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <random>
#include <sstream>
#include <stdexcept>

#include "SpectralGrids.h"
#include "config/SystemConfig.h"
#include "sim/SyntheticUnit.h"

namespace kelo::reference {

ScratchUnitFolder::ScratchUnitFolder() : previous(std::filesystem::current_path()) {
    static std::atomic<int> counter{0};
    folder = std::filesystem::temp_directory_path() /
             ("kelo-problems-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);
    std::ostringstream log;
    sim::SyntheticUnitOptions options;
    options.id = unitId();
    const std::string error = sim::writeSyntheticUnit(options, log);
    if (!error.empty()) {
        leave();
        throw std::runtime_error(error);
    }
}

ScratchUnitFolder::~ScratchUnitFolder() {
    leave();
}

void ScratchUnitFolder::leave() {
    std::error_code ignored;
    std::filesystem::current_path(previous, ignored);
    std::filesystem::remove_all(folder, ignored);
}

SyntheticCalibration::SyntheticCalibration() {
    ScratchUnitFolder scratch;
    std::ostringstream log;
    SystemConfig config;
    if (!config.load(ScratchUnitFolder::unitId(), log))
        throw std::runtime_error(std::string("cannot read ") + ScratchUnitFolder::unitId());
    if (!calibration.loadCalibration(config, log, log))
        throw std::runtime_error(calibration.loadError);
    std::uint16_t minWavelength = 0, maxWavelength = 0, step = 0;
    config.getWavelengthRange(minWavelength, maxWavelength, step);
    std::int32_t rangeMin = 0, rangeMax = 0;
    config.getRestrictedRange(rangeMin, rangeMax);
    firstFull = minWavelength;
    firstRange = rangeMin;
}

std::vector<double> SyntheticCalibration::grid(bool full) const {
    const std::size_t count = full ? calibration.trt.rows : calibration.trtRange.rows;
    return engine::integerGrid(full ? firstFull : firstRange, count);
}

SolverProblem SyntheticCalibration::problem(const std::vector<double>& s, bool full, double noise,
                                            unsigned seed) const {
    const DenseMatrix& normal = full ? calibration.trt : calibration.trtRange;
    const DenseMatrix& transferT = full ? calibration.tmatT : calibration.tmatRangeT;
    std::vector<double> cells(transferT.cols, 0.0);
    for (std::size_t j = 0; j < transferT.rows; ++j)
        for (std::size_t k = 0; k < transferT.cols; ++k) cells[k] += transferT.at(j, k) * s[j];
    if (noise != 0.0) {
        std::mt19937 random(seed);
        std::normal_distribution<double> deviation(0.0, noise);
        for (double& value : cells) value += deviation(random);
    }
    SolverProblem problem;
    problem.n = normal.rows;
    problem.a = normal.values.data();
    problem.b.assign(transferT.rows, 0.0);
    for (std::size_t j = 0; j < transferT.rows; ++j)
        for (std::size_t k = 0; k < transferT.cols; ++k)
            problem.b[j] += transferT.at(j, k) * cells[k];
    return problem;
}

std::vector<double> halogenSpectrum(const std::vector<double>& grid, double peak,
                                    double temperature) {
    const double c2 = 1.438777e7;  // second radiation constant, nm K
    std::vector<double> s(grid.size());
    for (std::size_t i = 0; i < grid.size(); ++i)
        s[i] = 1.0 / (std::pow(grid[i], 5) * std::expm1(c2 / (grid[i] * temperature)));
    const double largest = *std::max_element(s.begin(), s.end());
    for (double& value : s) value *= peak / largest;
    return s;
}

std::vector<SolverProblem> broadbandStream(const SyntheticCalibration& calibration,
                                           std::size_t frames, bool full, double noise) {
    const std::vector<double> grid = calibration.grid(full);
    std::vector<SolverProblem> stream;
    stream.reserve(frames);
    for (std::size_t frame = 0; frame < frames; ++frame) {
        const double progress = frames > 1 ? double(frame) / double(frames - 1) : 0.0;
        const double flicker = 1.0 + 0.003 * std::sin(0.7 * double(frame));
        const std::vector<double> s =
            halogenSpectrum(grid, kCameraPeak * flicker, 2856.0 + 20.0 * progress);
        stream.push_back(calibration.problem(s, full, noise, static_cast<unsigned>(frame + 1)));
    }
    return stream;
}

std::vector<double> lineSpectrum(const std::vector<double>& grid,
                                 const std::vector<double>& centres, double fwhm, double peak) {
    const double sigma = fwhm / (2.0 * std::sqrt(2.0 * std::log(2.0)));
    std::vector<double> s(grid.size(), 0.0);
    for (std::size_t i = 0; i < grid.size(); ++i)
        for (const double centre : centres) {
            const double d = (grid[i] - centre) / sigma;
            s[i] += peak * std::exp(-0.5 * d * d);
        }
    return s;
}

}  // namespace kelo::reference
