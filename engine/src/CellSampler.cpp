#include "CellSampler.h"

namespace kelo::engine {

CellSampler::CellSampler(const CellGeometry& geometry, const CalibrationData& calibration)
    : imageWidth(geometry.imageWidth),
      windowWidth(static_cast<std::size_t>(2 * geometry.halfWidth + 1)),
      windowHeight(static_cast<std::size_t>(2 * geometry.halfHeight + 1)) {
    const std::size_t windowPixels = windowWidth * windowHeight;
    windowStart.resize(geometry.cellCount);
    goodPixels.resize(geometry.cellCount);
    for (std::size_t cell = 0; cell < geometry.cellCount; ++cell) {
        const CellCentre& centre = calibration.cellCentres[cell];
        const long left = long(centre.x) + geometry.offsetX - geometry.halfWidth;
        const long top = long(centre.y) + geometry.offsetY - geometry.halfHeight;
        windowStart[cell] = std::size_t(top) * imageWidth + std::size_t(left);
        // A count at or above the window size (a pixel listed twice) leaves
        // no good pixel to divide by.
        const std::size_t bad = calibration.badPixelCount[cell];
        goodPixels[cell] = bad < windowPixels ? double(windowPixels - bad) : 0.0;
    }
    badPixelIndex.reserve(calibration.badPixels.size());
    for (const BadPixel& pixel : calibration.badPixels)
        badPixelIndex.push_back(std::size_t(pixel.y) * imageWidth + std::size_t(pixel.x));
}

void CellSampler::zeroBadPixels(std::uint16_t* frame) const {
    for (std::size_t index : badPixelIndex) frame[index] = 0;
}

template <class Pixel>
std::size_t CellSampler::sumWindows(Pixel pixel, double* cells) const {
    std::size_t allBad = 0;
    for (std::size_t cell = 0; cell < windowStart.size(); ++cell) {
        if (goodPixels[cell] == 0.0) {
            cells[cell] = 0.0;
            ++allBad;
            continue;
        }
        // Column by column, top to bottom within each column: floating-point
        // sums depend on their order, and this one is part of the result.
        double sum = 0.0;
        const std::size_t start = windowStart[cell];
        for (std::size_t column = 0; column < windowWidth; ++column) {
            std::size_t index = start + column;
            for (std::size_t row = 0; row < windowHeight; ++row, index += imageWidth)
                sum += pixel(index);
        }
        cells[cell] = sum / goodPixels[cell];
    }
    return allBad;
}

std::size_t CellSampler::sample(const std::uint16_t* frame, double* cells) const {
    return sumWindows([frame](std::size_t index) { return double(frame[index]); }, cells);
}

std::size_t CellSampler::sample(const std::uint16_t* frame, const double* divisor,
                                double* cells) const {
    return sumWindows(
        [frame, divisor](std::size_t index) { return double(frame[index]) / divisor[index]; },
        cells);
}

}  // namespace kelo::engine
