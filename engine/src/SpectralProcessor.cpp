#include "engine/SpectralProcessor.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>

#include "BlurNormalisation.h"
#include "CellSampler.h"
#include "KernelSmoothing.h"
#include "NnlsSolver.h"
#include "SolverSettings.h"
#include "SpectralGrids.h"
#include "config/WavelengthGrid.h"
#include "engine/LeastSquares.h"

using kelo::engine::BlurNormalisation;
using kelo::engine::CellSampler;
using kelo::engine::FitDiagnostics;
using kelo::engine::NnlsSolver;

namespace {

// Cell values above this are clipped or close to it.
constexpr double kSaturationLevel = 4000.0;
// Cell values summing to less than this carry no light worth fitting.
constexpr double kSmallestCellSum = 1e-12;
// One solve is a chain of small dependent steps: more BLAS threads only add
// hand-offs, and the processor solves one problem at a time.
constexpr int kBlasThreads = 1;
constexpr int kOmpThreads = 1;

long long millisecondsSince(std::chrono::steady_clock::time_point start) {
    const auto elapsed = std::chrono::steady_clock::now() - start;
    return std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
}

bool allFinite(const double* values, std::size_t count) {
    return std::all_of(values, values + count, [](double v) { return std::isfinite(v); });
}

bool allFinite(const std::vector<double>& values) {
    return allFinite(values.data(), values.size());
}

}  // namespace

// The calibration matrices and kernel of the current mode.
struct SpectralProcessor::ActiveSet {
    const kelo::DenseMatrix* transfer = nullptr;  // n x numCells, the transposed transfer matrix
    const kelo::DenseMatrix* normal = nullptr;    // n x n, symmetric
    const std::vector<double>* kernel = nullptr;
    std::size_t n = 0;
};

SpectralProcessor::SpectralProcessor(std::ostream& log)
    : log(log), solver(std::make_unique<NnlsSolver>()) {}

SpectralProcessor::~SpectralProcessor() = default;

bool SpectralProcessor::initialize(const std::string& id) {
    std::scoped_lock lock(frameMutex, solveMutex, logMutex);
    initialized = false;
    calibrationLoaded = false;
    preparedMatrix = nullptr;
    deviceId = id;
    log << "\nin spectralprocessor initialize\n";

    SystemConfig record;
    if (record.load(id, log))
        record.printSummary(log);
    else
        log << "something went wrong with reading cfg\n";

    // Everything is sized from the system file; the loader has named what
    // was wrong with it. The user file's settings are the controller's.
    if (!record.systemFileError().empty()) {
        refusal = record.systemFileError();
        return false;
    }
    try {
        kelo::engine::setSolverThreads(kBlasThreads, kOmpThreads);
        setupLocked(record);
    } catch (const std::exception& error) {
        refusal = std::string("the processor could not be set up: ") + error.what();
        log << "\n" << refusal << "\n";
        return false;
    }
    log << "\n";
    initialized = true;
    return true;
}

void SpectralProcessor::setupLocked(const SystemConfig& record) {
    record.getDataSize(dataSizeX, dataSizeY);
    log << "\nDataSizes: " << dataSizeX << dataSizeY;

    numCells = static_cast<std::uint32_t>(record.getNumCells());
    std::uint16_t minWavelength, maxWavelength, wavelengthRes;
    record.getWavelengthRange(minWavelength, maxWavelength, wavelengthRes);
    std::int32_t rangeMinWavelength, rangeMaxWavelength;
    record.getRestrictedRange(rangeMinWavelength, rangeMaxWavelength);
    fullPoints = kelo::gridPointCount(minWavelength, maxWavelength, wavelengthRes);
    rangePoints = kelo::gridPointCount(rangeMinWavelength, rangeMaxWavelength, wavelengthRes);

    fullGrid = kelo::engine::fullGrid(minWavelength, wavelengthRes, record.getWavelengthShift(),
                                      fullPoints);
    log << "\n SP Config : WvlArr is filled";
    // With the 1 nm step of every calibrated unit this is the whole range.
    restrictedGrid = kelo::engine::integerGrid(rangeMinWavelength, rangePoints);

    // Sized for the larger grid once; each mode uses the front of them.
    const std::size_t largest = std::max(fullPoints, rangePoints);
    rhs.assign(largest, 0.0);
    solution.assign(largest, 0.0);
    smoothed.assign(largest, 0.0);
    convolution.assign(2 * largest - 1, 0.0);
    wavelengths.reserve(largest);
    kernelFull = kelo::engine::gaussianKernel(fullGrid, record.getSwFwhm());
    kernelRange = kelo::engine::gaussianKernel(restrictedGrid, record.getSwFwhm());
    log << "\n Gaussian generated";

    imagePixels = dataSizeX * dataSizeY;
    darkCells.assign(numCells, 0.0);
    log << "\n Images Generated";

    // The image-sized buffers only once the calibration is there: without
    // it every frame is refused, and the image a damaged system file
    // describes may be far larger than the unit's.
    sampler.reset();
    blurNormalisation.reset();
    workingFrame = Frame();
    calibrationLoaded = calibration.loadCalibration(record, log);
    if (calibrationLoaded) {
        if (BlurNormalisation::supports(dataSizeX, dataSizeY))
            blurNormalisation = std::make_unique<BlurNormalisation>(dataSizeX, dataSizeY);
        workingFrame.assign(imagePixels, 0);
        refusal.clear();
        kelo::engine::CellGeometry geometry;
        geometry.imageWidth = dataSizeX;
        geometry.cellCount = numCells;
        record.getNeighbourPixels(geometry.halfWidth, geometry.halfHeight);
        std::int16_t offsetX, offsetY;
        record.getSwOffset(offsetX, offsetY);
        geometry.offsetX = offsetX;
        geometry.offsetY = offsetY;
        sampler = std::make_unique<CellSampler>(geometry, calibration);
    } else {
        refusal = "the calibration of unit " + deviceId +
                  " could not be loaded: " + calibration.loadError;
        log << "\n Files Not Found";
        log << "\n" << refusal;
    }

    darkSubtraction = false;
    darkPresent = false;
    blurOnce = true;
    blurEveryFrame = true;
    setRestrictedRangeLocked(true);
    cellValues.assign(numCells, 0.0);
    diagnostics = FitDiagnostics();
    diagnostics.saturatedCells.reserve(numCells);
    std::lock_guard<std::mutex> lock(diagnosticsMutex);
    published = diagnostics;
    published.saturatedCells.reserve(numCells);
}

void SpectralProcessor::setGaussBlurMode(std::uint8_t mode) {
    std::scoped_lock lock(frameMutex, solveMutex, logMutex);
    gaussBlurMode = mode;
    log << "Gaus Blur value:" << static_cast<int>(mode) << "\n";
}

void SpectralProcessor::setRestrictedRange(bool on) {
    std::lock_guard<std::mutex> lock(solveMutex);
    setRestrictedRangeLocked(on);
}

void SpectralProcessor::setRestrictedRangeLocked(bool on) {
    restrictedRange = on;
    wavelengths = on ? restrictedGrid : fullGrid;
}

void SpectralProcessor::setBlurEveryFrame(bool on) {
    std::lock_guard<std::mutex> lock(frameMutex);
    blurEveryFrame = on;
    if (!on) blurOnce = true;
}

void SpectralProcessor::setDarkSubtraction(bool on) {
    std::lock_guard<std::mutex> lock(solveMutex);
    const bool subtracted = darkSubtraction && darkPresent;
    darkSubtraction = on;
    if ((darkSubtraction && darkPresent) != subtracted) warmStartAllowed = false;
}

bool SpectralProcessor::getDarkSubtraction() const {
    std::lock_guard<std::mutex> lock(solveMutex);
    return darkSubtraction;
}

bool SpectralProcessor::setDarkCells(std::vector<double> dark) {
    std::lock_guard<std::mutex> lock(solveMutex);
    if (!initialized || dark.size() != numCells || !allFinite(dark)) return false;
    std::copy(dark.begin(), dark.end(), darkCells.begin());
    darkPresent = true;
    warmStartAllowed = false;
    return true;
}

void SpectralProcessor::clearDarkCells() {
    std::lock_guard<std::mutex> lock(solveMutex);
    std::fill(darkCells.begin(), darkCells.end(), 0.0);
    darkPresent = false;
    warmStartAllowed = false;
}

std::uint32_t SpectralProcessor::getRestrictedPointCount() const {
    std::lock_guard<std::mutex> lock(frameMutex);
    return rangePoints;
}

std::vector<double> SpectralProcessor::getWavelengths() const {
    std::lock_guard<std::mutex> lock(solveMutex);
    return wavelengths;
}

void SpectralProcessor::getDataSize(std::uint32_t& width, std::uint32_t& height) const {
    std::lock_guard<std::mutex> lock(frameMutex);
    width = dataSizeX;
    height = dataSizeY;
}

std::uint32_t SpectralProcessor::getNumCells() const {
    std::lock_guard<std::mutex> lock(frameMutex);
    return numCells;
}

std::string SpectralProcessor::unavailableReason() const {
    std::scoped_lock lock(frameMutex, solveMutex);
    if (!initialized || !calibrationLoaded) return refusal;
    if (gaussBlurMode != 0 && !blurNormalisation)
        return "the image is too small for the Gaussian-blur normalisation";
    ActiveSet set;
    if (!activeSetLocked(set))
        return "the calibration of unit " + deviceId + " has no matrices for the current mode";
    return {};
}

bool SpectralProcessor::readyLocked() const {
    return initialized && calibrationLoaded;
}

bool SpectralProcessor::activeSetLocked(ActiveSet& set) const {
    const bool blur = gaussBlurMode != 0;
    if (restrictedRange) {
        set.transfer = blur ? &calibration.tmatGbRangeT : &calibration.tmatRangeT;
        set.normal = blur ? &calibration.trtGbRange : &calibration.trtRange;
        set.kernel = &kernelRange;
        set.n = rangePoints;
    } else {
        set.transfer = blur ? &calibration.tmatGbT : &calibration.tmatT;
        set.normal = blur ? &calibration.trtGb : &calibration.trt;
        set.kernel = &kernelFull;
        set.n = fullPoints;
    }
    // The blur set exists only for units calibrated for it.
    return set.transfer->rows == set.n && set.transfer->cols == numCells &&
           set.normal->rows == set.n && set.normal->cols == set.n;
}

bool SpectralProcessor::computeCellValues(const Frame& frame, std::vector<double>& cells) {
    FrameNotes notes;
    {
        std::lock_guard<std::mutex> lock(frameMutex);
        if (!computeCellValuesLocked(frame, cells, notes)) return false;
    }
    // Written after the lock is released: a slow console must not hold up
    // the other thread's mode switches.
    if (notes.allBadCells == 0 && notes.blurMs < 0) return true;
    std::lock_guard<std::mutex> lock(logMutex);
    for (std::size_t cell = 0; cell < notes.allBadCells; ++cell) log << "All are bad pixels\n";
    if (notes.blurMs >= 0)
        log << "\n Time taken for gaussian blur=" << notes.blurMs << "milliseconds\n";
    return true;
}

bool SpectralProcessor::computeCellValuesLocked(const Frame& frame, std::vector<double>& cells,
                                                FrameNotes& notes) {
    if (!readyLocked() || frame.size() != imagePixels) return false;
    const bool blur = gaussBlurMode != 0;
    if (blur && !blurNormalisation) return false;

    cells.resize(numCells);
    if (blur && (blurEveryFrame || blurOnce)) {
        // The normalisation image comes from the frame as delivered.
        notes.blurMs = blurNormalisation->make(frame.data());
        if (!blurEveryFrame) blurOnce = false;
    }
    std::copy(frame.begin(), frame.end(), workingFrame.begin());
    sampler->zeroBadPixels(workingFrame.data());
    if (blur)
        notes.allBadCells =
            sampler->sample(workingFrame.data(), blurNormalisation->image(), cells.data());
    else
        notes.allBadCells = sampler->sample(workingFrame.data(), cells.data());
    return true;
}

bool SpectralProcessor::solveSpectrum(const std::vector<double>& cells,
                                      std::vector<double>& spectrum, std::uint8_t& saturated,
                                      kelo::engine::SolveStart start) {
    SolveTimes times;
    {
        std::lock_guard<std::mutex> lock(solveMutex);
        if (!solveSpectrumLocked(cells, spectrum, saturated, start, times) && !times.notFinite)
            return false;
    }
    std::lock_guard<std::mutex> lock(logMutex);
    if (times.notFinite) {
        log << "\nno spectrum: the fit of these cell values against the calibration is not "
               "finite\n";
        return false;
    }
    if (!times.fitted) {
        log << "\nIntersum < 1.0e-12\n";
        return true;
    }
    log << "\nLSQN time: " << times.solveMs << " milliseconds\n"
        << "\nConvolution time: " << times.smoothMs << " milliseconds\n";
    return true;
}

bool SpectralProcessor::solveSpectrumLocked(const std::vector<double>& cells,
                                            std::vector<double>& spectrum,
                                            std::uint8_t& saturated,
                                            kelo::engine::SolveStart solveStart,
                                            SolveTimes& times) {
    // Only a fitted, finite spectrum under the dark now in force is a start
    // for the next solve; a refused or empty call leaves none.
    if (!warmStartAllowed) solveStart = kelo::engine::SolveStart::cold;
    warmStartAllowed = false;

    ActiveSet set;
    if (!readyLocked() || !activeSetLocked(set) || cells.size() != numCells || !allFinite(cells))
        return false;

    const bool subtractDark = darkSubtraction && darkPresent;
    double sum = 0.0;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        cellValues[i] = subtractDark ? cells[i] - darkCells[i] : cells[i];
        sum += cellValues[i];
    }
    if (sum < kSmallestCellSum) {
        spectrum.assign(set.n, 0.0);
        diagnostics.saturatedCells.clear();
        publishDiagnosticsLocked(false);
        return true;
    }
    // A clipped cell stays clipped under a dark, so saturation is judged on
    // the cells as measured.
    findSaturatedCellsLocked(cells, set);

    auto start = std::chrono::steady_clock::now();
    solveLocked(set, solveStart);
    times.solveMs = millisecondsSince(start);

    start = std::chrono::steady_clock::now();
    smoothLocked(set);
    times.smoothMs = millisecondsSince(start);

    // Finite calibration values and cells can still overflow in the fit,
    // which may then settle on a spectrum of zeros.
    if (!allFinite(rhs.data(), set.n) || !allFinite(smoothed.data(), set.n)) {
        times.notFinite = true;
        return false;
    }
    spectrum.assign(smoothed.begin(), smoothed.begin() + long(set.n));
    saturated = diagnostics.saturatedCells.empty() ? 0 : 1;
    times.fitted = true;
    warmStartAllowed = true;
    publishDiagnosticsLocked(true);
    return true;
}

void SpectralProcessor::findSaturatedCellsLocked(const std::vector<double>& measured,
                                                 const ActiveSet& set) {
    diagnostics.saturatedCells.clear();
    for (std::size_t cell = 0; cell < measured.size(); ++cell) {
        if (measured[cell] <= kSaturationLevel) continue;
        std::size_t peak = 0;
        for (std::size_t point = 1; point < set.n; ++point)
            if (set.transfer->at(point, cell) > set.transfer->at(peak, cell)) peak = point;
        diagnostics.saturatedCells.push_back({cell, measured[cell], wavelengths[peak]});
    }
}

void SpectralProcessor::solveLocked(const ActiveSet& set, kelo::engine::SolveStart start) {
    const std::size_t n = set.n;
    for (std::size_t i = 0; i < n; ++i) {
        const double* row = set.transfer->row(i);
        double value = 0.0;
        for (std::size_t k = 0; k < numCells; ++k) value += row[k] * cellValues[k];
        rhs[i] = value;
    }
    // The normal matrix is symmetric, so its row-major values serve as the
    // column-major matrix the solver takes. Preparing forms its products, so
    // it happens only when the mode brings another matrix.
    if (set.normal != preparedMatrix) {
        solver->prepare(set.normal->values.data(), n, n);
        preparedMatrix = set.normal;
    }
    const int cap = kelo::engine::iterationCap(n);
    solver->solve(rhs.data(), solution.data(), cap, cap, kelo::engine::kSolverTolerance, start);

    const kelo::engine::NnlsDiagnostics& solved = solver->diagnostics();
    diagnostics.outerIterations = solved.outerIterations;
    diagnostics.passes = solved.passes;
    diagnostics.passiveCount = solved.passiveCount;
    diagnostics.capReached = solved.capReached;
    diagnostics.relativeResidual = solved.relativeResidual;
    diagnostics.warmStart = solved.warm;
}

void SpectralProcessor::smoothLocked(const ActiveSet& set) {
    const std::size_t n = set.n;
    std::fill(convolution.begin(), convolution.begin() + long(2 * n - 1), 0.0);
    kelo::engine::convolveFull(solution.data(), set.kernel->data(), n, convolution.data());
    kelo::engine::centralPart(convolution.data(), n, smoothed.data());
}

void SpectralProcessor::publishDiagnosticsLocked(bool fitted) {
    diagnostics.fitted = fitted;
    if (!fitted) {
        diagnostics.outerIterations = diagnostics.passes = diagnostics.passiveCount = 0;
        diagnostics.capReached = false;
        diagnostics.warmStart = false;
        diagnostics.relativeResidual = 0.0;
    }
    std::lock_guard<std::mutex> lock(diagnosticsMutex);
    published = diagnostics;
}

FitDiagnostics SpectralProcessor::fitDiagnostics() const {
    std::lock_guard<std::mutex> lock(diagnosticsMutex);
    return published;
}
