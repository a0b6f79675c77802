// The image that Gaussian-blur mode divides frames by: a frame blurred with a
// Gaussian of 50 pixels and scaled so that its brightest pixel is 1. It
// removes slow changes of illumination across the sensor.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <vector>

#include "GaussianBlur.h"

namespace kelo::engine {

class BlurNormalisation {
public:
    // The blur needs at least 2 * 50 + 1 pixels in each direction.
    static bool supports(std::size_t width, std::size_t height);

    BlurNormalisation(std::size_t width, std::size_t height);

    // Makes the image from `frame` (width x height pixels); returns the
    // milliseconds it took.
    long long make(const std::uint16_t* frame);

    // Every pixel in (0, 1]: a black frame gives all ones, and a pixel that
    // blurred to 0 far from any light is 1, so dividing by it is harmless.
    const double* image() const { return normalisation.data(); }

private:
    GaussianBlur blur;
    std::vector<double> normalisation;
};

}  // namespace kelo::engine
