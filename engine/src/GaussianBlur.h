// An approximate Gaussian blur of an image by three successive box blurs
// whose combined variance matches the Gaussian's, each a horizontal then a
// vertical running-sum filter with edge values repeated outside the image.
// Every box pass rounds to whole numbers, half away from zero.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace kelo::engine {

// The three box sizes for a Gaussian of standard deviation sigma (99, 99,
// 101 for sigma 50), computed in single precision.
std::array<int, 3> boxSizesForGauss(double sigma);

class GaussianBlur {
public:
    // Work space for images of width x height is allocated here, once.
    GaussianBlur(std::size_t width, std::size_t height, double sigma);

    // Blurs `image` (width x height doubles, row-major) in place.
    void apply(double* image);

private:
    // Implementation state goes here.
};

}  // namespace kelo::engine
