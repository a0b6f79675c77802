// Standard normal numbers for the sensor noise, made once per process so a
// frame costs no random number generation: each frame reads the table from
// an offset drawn from the seed and the frame's number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kelo::simcam {

class NoiseTable {
public:
    static constexpr std::size_t kSize = std::size_t{1} << 20;
    static constexpr std::size_t kMask = kSize - 1;

    static const NoiseTable& shared();

    const float* values() const { return table.data(); }

    // Where frame `frame` of a camera seeded with `seed` starts reading.
    static std::size_t frameOffset(std::uint64_t seed, std::uint64_t frame);

private:
    NoiseTable();

    std::vector<float> table;
};

}  // namespace kelo::simcam
