#include "SpectralGrids.h"

#include <cmath>

namespace kelo::engine {

std::vector<double> fullGrid(int minWavelength, int step, int shift, std::size_t count) {
    std::vector<double> grid(count);
    for (std::size_t i = 0; i < count; ++i)
        grid[i] = static_cast<double>(minWavelength + static_cast<int>(i) * step + shift);
    return grid;
}

std::vector<double> integerGrid(int first, std::size_t count) {
    return fullGrid(first, 1, 0, count);
}

std::vector<double> gaussianKernel(const std::vector<double>& grid, double fwhm) {
    std::vector<double> kernel(grid.size());
    if (grid.empty()) return kernel;
    const double centre = grid[grid.size() / 2];
    const double width = fwhm * 0.3606 * fwhm;
    double sum = 0.0;
    for (std::size_t i = 0; i < grid.size(); ++i) {
        const double distance = std::fabs(grid[i] - centre);
        kernel[i] = std::exp((-1.0 * distance * distance) / width);
        sum += kernel[i];
    }
    for (double& value : kernel) value /= sum;
    return kernel;
}

}  // namespace kelo::engine
