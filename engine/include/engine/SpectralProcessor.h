// The spectral processor: turns a camera frame into one mean value per
// sampling cell, and cell values into a spectrum by a non-negative
// least-squares fit against the unit's calibration, smoothed to the unit's
// software line width.
//
// Threads: every operation may be called from any thread. Converting a
// frame and solving a spectrum each run under a lock of their own, so one
// thread can convert the next frame while another solves the previous
// average; a mode switch or dark operation takes the lock of what it
// changes (both for what both use), so it never lands in the middle of a
// frame being converted or a spectrum being solved.
#pragma once

#include <cstdint>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "config/CalibrationData.h"
#include "config/SystemConfig.h"
#include "device/Frame.h"
#include "engine/FitDiagnostics.h"
#include "engine/SolveStart.h"

namespace kelo::engine {
class BlurNormalisation;
class CellSampler;
class NnlsSolver;
}  // namespace kelo::engine

class SpectralProcessor {
public:
    // Progress and timing messages go to `log`.
    explicit SpectralProcessor(std::ostream& log = std::cout);
    ~SpectralProcessor();
    SpectralProcessor(const SpectralProcessor&) = delete;
    SpectralProcessor& operator=(const SpectralProcessor&) = delete;

    // Reads the unit's configuration and calibration (relative to the working
    // folder) and sizes every buffer. False, allocating nothing, when the
    // unit's system file was refused (the loader prints why; the reason is
    // also unavailableReason()). A failed calibration load still returns
    // true, but every frame operation is then refused.
    bool initialize(const std::string& id);

    // Selects the Gaussian-blur calibration set and frame normalisation.
    void setGaussBlurMode(std::uint8_t mode);
    // Restricted: spectra on rangeMinWavelength..rangeMaxWavelength in 1 nm
    // steps (the start-up mode); otherwise the unit's full grid.
    void setRestrictedRange(bool on);
    // Off: one more normalisation image is made at the next frame, then kept.
    void setBlurEveryFrame(bool on);
    // The operator's choice, kept as given; the dark is subtracted while the
    // choice is on and a dark is stored, so a dark stored later applies at once.
    void setDarkSubtraction(bool on);
    bool getDarkSubtraction() const;
    // Stores a dark of numCells values; false (nothing changes) for another length.
    bool setDarkCells(std::vector<double> darkCells);
    void clearDarkCells();

    std::uint32_t getRestrictedPointCount() const;
    // The grid of the spectra solveSpectrum returns now.
    std::vector<double> getWavelengths() const;
    void getDataSize(std::uint32_t& width, std::uint32_t& height) const;
    std::uint32_t getNumCells() const;
    // Why frame operations are refused (not initialised, calibration missing),
    // or an empty text when they work.
    std::string unavailableReason() const;

    // One frame of dataSizeX x dataSizeY pixels to numCells cell values. False
    // (cellValues untouched) for a frame of another size or when refused.
    // The frame is left as it is; the bad pixels are zeroed in a working copy.
    bool computeCellValues(const Frame& frame, std::vector<double>& cellValues);

    // numCells cell values to a spectrum on the current grid; `saturated` is
    // set when a measured cell (before dark subtraction) exceeds 4000.0. False
    // (outputs untouched) for a vector of another length, a value that is not
    // finite, a fit that overflows to a spectrum that is not finite (said in
    // the log), or when refused. A warm start is taken only from a previous
    // call that fitted a finite spectrum under the same calibration, grid,
    // blur mode and dark; otherwise the solve starts cold.
    bool solveSpectrum(const std::vector<double>& cells, std::vector<double>& spectrum,
                       std::uint8_t& saturated,
                       kelo::engine::SolveStart start = kelo::engine::SolveStart::cold);

    // A copy of the diagnostics of the last solveSpectrum call.
    kelo::engine::FitDiagnostics fitDiagnostics() const;

private:
    struct ActiveSet;
    // What one solve took, for the timing lines written after it.
    struct SolveTimes {
        bool fitted = false;  // false: the cells held no light, nothing was fitted
        bool notFinite = false;  // the fit overflowed: nothing was published
        long long solveMs = 0;
        long long smoothMs = 0;
    };

    // What one conversion has to say, for the lines written after it.
    struct FrameNotes {
        long long blurMs = -1;  // -1: no normalisation image was made
        std::size_t allBadCells = 0;
    };

    bool computeCellValuesLocked(const Frame& frame, std::vector<double>& cells,
                                 FrameNotes& notes);
    bool solveSpectrumLocked(const std::vector<double>& cells, std::vector<double>& spectrum,
                             std::uint8_t& saturated, kelo::engine::SolveStart solveStart,
                             SolveTimes& times);

    void setupLocked(const SystemConfig& record);
    void setRestrictedRangeLocked(bool on);
    bool readyLocked() const;
    bool activeSetLocked(ActiveSet& set) const;
    void findSaturatedCellsLocked(const std::vector<double>& measured, const ActiveSet& set);
    void solveLocked(const ActiveSet& set, kelo::engine::SolveStart start);
    void smoothLocked(const ActiveSet& set);
    void publishDiagnosticsLocked(bool fitted);

    std::ostream& log;
    // Guards writing to `log`: both locks' holders write to it. Taken last.
    std::mutex logMutex;

    // Locking: frameMutex guards the conversion's state (marked "frame"),
    // solveMutex the solve's (marked "solve"); the unit's set-up and the
    // blur mode, which both use, change only under both, so either lock
    // suffices to read them. Taken together, frameMutex comes first and
    // logMutex last.
    mutable std::mutex frameMutex;
    mutable std::mutex solveMutex;

    std::string deviceId;
    CalibrationData calibration;
    bool initialized = false;
    bool calibrationLoaded = false;
    std::string refusal = "the processor has not been initialised";  // why frames are refused

    std::uint32_t dataSizeX = 0, dataSizeY = 0;
    std::uint32_t imagePixels = 0;
    std::uint32_t numCells = 0;
    std::uint32_t fullPoints = 0;   // N
    std::uint32_t rangePoints = 0;  // R

    std::vector<double> fullGrid, restrictedGrid;
    std::vector<double> kernelFull, kernelRange;
    std::vector<double> wavelengths;  // solve: the grid of the current mode
    Frame workingFrame;               // frame: the frame being sampled, bad pixels zeroed
    std::vector<double> cellValues;   // solve, like everything down to `smoothed`
    std::vector<double> darkCells;
    std::vector<double> rhs, solution, convolution;
    std::vector<double> smoothed;  // the spectrum being made, published only when finite

    bool darkSubtraction = false;  // solve
    bool darkPresent = false;      // solve
    bool blurOnce = true;          // frame
    bool blurEveryFrame = true;    // frame
    bool restrictedRange = true;   // solve
    std::uint8_t gaussBlurMode = 0;

    std::unique_ptr<kelo::engine::CellSampler> sampler;                  // frame
    std::unique_ptr<kelo::engine::BlurNormalisation> blurNormalisation;  // frame, when the image allows
    std::unique_ptr<kelo::engine::NnlsSolver> solver;                    // solve
    // solve: the normal matrix the solver was last prepared for; the
    // calibration holding it changes only in initialize, which clears this.
    const kelo::DenseMatrix* preparedMatrix = nullptr;
    kelo::engine::FitDiagnostics diagnostics;  // solve: being filled by the current solve
    // solve: the previous call fitted a finite spectrum and the dark has not
    // changed since, so the next solve may start from it. Another grid,
    // blur mode or calibration brings another matrix, for which the solver
    // starts cold by itself.
    bool warmStartAllowed = false;

    // Guards `published` alone, so that readers never wait for a solve.
    mutable std::mutex diagnosticsMutex;
    kelo::engine::FitDiagnostics published;
};
