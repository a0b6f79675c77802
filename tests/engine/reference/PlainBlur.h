// The blur normalisation's Gaussian approximation written as the instrument
// defines it: box sizes in single precision, three box passes ping-ponging
// between two double images, each a copy, a horizontal and a vertical
// running-sum filter rounding half away from zero. The fast blur must match
// it bit for bit.
#pragma once

#include <array>
#include <vector>

namespace kelo::reference {

std::array<int, 3> plainBoxSizes(double sigma);

// Blurs `image` (width x height, row-major) in place.
void plainGaussBlur(std::vector<double>& image, int width, int height, double sigma);

}  // namespace kelo::reference
