// Realistic solver problems: the normal matrices and transfer matrices of a
// synthetic unit, written to a scratch folder and loaded the way the
// processor loads them, and right-hand sides A^T-style for known spectra,
// b = T^T (T s), as a measured cell vector would give.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "config/CalibrationData.h"

namespace kelo::reference {

// The default synthetic unit "K3S00042" written into a fresh scratch folder
// that is the working directory while the object lives, as a program's
// working folder is. Throws std::runtime_error when the unit cannot be written.
class ScratchUnitFolder {
public:
    ScratchUnitFolder();
    ~ScratchUnitFolder();
    ScratchUnitFolder(const ScratchUnitFolder&) = delete;
    ScratchUnitFolder& operator=(const ScratchUnitFolder&) = delete;

    static const char* unitId() { return "K3S00042"; }

private:
    void leave();  // back to the previous working directory, scratch folder removed

    std::filesystem::path previous;
    std::filesystem::path folder;
};

struct SolverProblem {
    std::size_t n = 0;
    const double* a = nullptr;  // n x n normal matrix (symmetric, so either layout)
    std::vector<double> b;      // n values
};

class SyntheticCalibration {
public:
    // Writes the default synthetic unit into a scratch folder, loads it and
    // removes the folder again. Throws std::runtime_error when that fails.
    SyntheticCalibration();

    // The wavelengths of the restricted (390..800 nm) or full grid.
    std::vector<double> grid(bool full) const;

    // The problem of the spectrum s (one value per grid point), with cell
    // values carrying Gaussian noise of `noise` counts (seeded) if nonzero.
    SolverProblem problem(const std::vector<double>& s, bool full, double noise = 0.0,
                          unsigned seed = 1) const;

    const CalibrationData& data() const { return calibration; }

private:
    CalibrationData calibration;
    int firstFull = 0;
    int firstRange = 0;
};

// Spectrum height that brings the synthetic unit's brightest cells to a
// few thousand counts, as a well-exposed frame does.
constexpr double kCameraPeak = 100.0;

// A halogen lamp: Planck's law at `temperature` (K), the largest value `peak`.
std::vector<double> halogenSpectrum(const std::vector<double>& grid, double peak,
                                    double temperature = 2856.0);

// What live acquisition of a halogen lamp delivers frame after frame: the
// problems of `frames` consecutive frames whose lamp drifts slowly (its
// temperature from 2856 K up by 20 K over the stream, its brightness by a
// few per mille from frame to frame), each with cell noise of `noise`
// counts of its own seed.
std::vector<SolverProblem> broadbandStream(const SyntheticCalibration& calibration,
                                           std::size_t frames, bool full, double noise);

// Gaussian lines of the given centres and FWHM (nm), each of height `peak`.
std::vector<double> lineSpectrum(const std::vector<double>& grid,
                                 const std::vector<double>& centres, double fwhm, double peak);

}  // namespace kelo::reference
