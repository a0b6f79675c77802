// Sizes of the wavelength grids a unit's configuration describes.
#pragma once

#include <cstdint>
#include <limits>

namespace kelo {

// Points of a grid from `first` to `last` nm in steps of `step` nm:
// trunc((last - first) / step) + 1 with the division in single precision,
// as the calibration was made. Zero for a step of 0 or a grid that ends
// before it starts. Any 32-bit ends are safe: the span is taken in 64 bits,
// and a count beyond 32 bits (far outside any unit) comes out as the largest.
inline std::uint32_t gridPointCount(std::int64_t first, std::int64_t last, std::int64_t step) {
    if (step <= 0 || last < first) return 0;
    const float steps = static_cast<float>(last - first) / static_cast<float>(step);
    if (steps >= static_cast<float>(std::numeric_limits<std::uint32_t>::max()))
        return std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(steps) + 1;
}

}  // namespace kelo
