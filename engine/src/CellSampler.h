// Reducing a frame to cell values: the mean of the good pixels in each
// cell's window. Window positions, bad-pixel places and divisors are worked
// out once, so sampling a frame allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "config/CalibrationData.h"

namespace kelo::engine {

struct CellGeometry {
    std::size_t imageWidth = 0;
    std::size_t cellCount = 0;
    std::int32_t halfWidth = 0;   // neighbourPixelsX
    std::int32_t halfHeight = 0;  // neighbourPixelsY
    std::int32_t offsetX = 0;     // swOffsetX
    std::int32_t offsetY = 0;     // swOffsetY
};

class CellSampler {
public:
    // The calibration must hold a centre for every cell and keep every window
    // and bad pixel inside the image (the calibration loader checks this).
    CellSampler(const CellGeometry& geometry, const CalibrationData& calibration);

    // Sets the listed bad pixels of a frame to 0.
    void zeroBadPixels(std::uint16_t* frame) const;

    // Cell values of a frame whose bad pixels are already zero. With a
    // `divisor` image each pixel is divided by its divisor first. A cell whose
    // pixels are all bad is 0; returns how many such cells there are.
    std::size_t sample(const std::uint16_t* frame, double* cells) const;
    std::size_t sample(const std::uint16_t* frame, const double* divisor, double* cells) const;

private:
    template <class Pixel>
    std::size_t sumWindows(Pixel pixel, double* cells) const;

    std::size_t imageWidth;
    std::size_t windowWidth;
    std::size_t windowHeight;
    std::vector<std::size_t> windowStart;  // index of each window's top-left pixel
    std::vector<double> goodPixels;        // divisor per cell; 0 when all are bad
    std::vector<std::size_t> badPixelIndex;
};

}  // namespace kelo::engine
