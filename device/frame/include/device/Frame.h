// One camera image: width x height 16-bit pixel values, row-major. 8-bit
// camera pixels are widened (value unchanged); 12-bit pixels are stored as
// delivered, 0 to 4095. Every grab resizes the frame to the image it got.
#pragma once

#include <cstdint>
#include <vector>

using Frame = std::vector<std::uint16_t>;
