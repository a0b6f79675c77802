// Sizes of the wavelength grids a unit's configuration describes.
#pragma once

#include <cstdint>

namespace kelo {

// Points of a grid from `first` to `last` nm in steps of `step` nm:
// trunc((last - first) / step) + 1 with the division in single precision,
// as the calibration was made. Zero for a step of 0 or a grid that ends
// before it starts.
inline std::uint32_t gridPointCount(int first, int last, int step) {
    if (step <= 0 || last < first) return 0;
    const float steps = static_cast<float>(last - first) / static_cast<float>(step);
    return static_cast<std::uint32_t>(steps) + 1;
}

}  // namespace kelo
