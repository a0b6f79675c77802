// The wavelength grids of a unit and the Gaussian kernels that smooth
// spectra on them to the unit's software line width.
#pragma once

#include <cstddef>
#include <vector>

namespace kelo::engine {

// minWavelength + i * step + shift for i = 0..count-1, in whole nm.
std::vector<double> fullGrid(int minWavelength, int step, int shift, std::size_t count);

// first, first + 1, ... (count values).
std::vector<double> integerGrid(int first, std::size_t count);

// exp(-d^2 / (fwhm * 0.3606 * fwhm)) with d the distance from the grid's
// centre point grid[n / 2], normalised to sum 1. 0.3606 is 1 / (4 ln 2) cut
// after four decimals, as the calibration was made with it.
std::vector<double> gaussianKernel(const std::vector<double>& grid, double fwhm);

}  // namespace kelo::engine
