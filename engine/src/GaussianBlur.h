// An approximate Gaussian blur of an image by three successive box blurs
// whose combined variance matches the Gaussian's, each a horizontal then a
// vertical running-sum filter with edge values repeated outside the image.
// Every box pass rounds to whole numbers, half away from zero.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kelo::engine {

// The three box sizes for a Gaussian of standard deviation sigma (99, 99,
// 101 for sigma 50), computed in single precision.
std::array<int, 3> boxSizesForGauss(double sigma);

// 1 / (2 radius + 1) in single precision, as the blur was defined with it.
inline double boxInverse(int radius) {
    return static_cast<double>(1.0f / static_cast<float>(radius + radius + 1));
}

// round(sum * inverse), halves away from zero, for a window sum of 16-bit
// pixel values and inverse = boxInverse(r). The product is exact (the sum
// is below 2^23, the inverse has 24 significant bits), so adding one half
// and truncating gives the same whole number as rounding.
inline std::uint16_t roundedBoxMean(std::int32_t sum, double inverse) {
    return static_cast<std::uint16_t>(static_cast<std::int32_t>(sum * inverse + 0.5));
}

class GaussianBlur {
public:
    // Work space for images of width x height is allocated here, once. Both
    // sides must be at least as long as the largest box; std::invalid_argument
    // otherwise.
    GaussianBlur(std::size_t width, std::size_t height, double sigma);

    // Blurs `image` (width x height doubles, row-major) in place. The pixels
    // must be whole numbers from 0 to 65535, as a camera frame's are; every
    // box pass keeps them so.
    void apply(double* image);

private:
    void boxPass(const std::uint16_t* source, std::uint16_t* target, int radius);
    void horizontal(const std::uint16_t* source, std::uint16_t* target, int radius);
    void vertical(const std::uint16_t* source, std::uint16_t* target, int radius);

    std::size_t width;
    std::size_t height;
    std::array<int, 3> radii;
    // Pixels between the passes; a window sum of 65535s still fits an int32.
    std::vector<std::uint16_t> source, target, across;
    std::vector<std::int32_t> columnSums;  // the vertical filter's window sums
    std::vector<std::int32_t> rowTotals;   // running totals along one padded row
};

}  // namespace kelo::engine
