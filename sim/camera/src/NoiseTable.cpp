#include "NoiseTable.h"

#include <cmath>

namespace kelo::simcam {

namespace {

// SplitMix64: a small generator whose output is fixed by its arithmetic, so
// a seed gives the same noise everywhere.
std::uint64_t splitMix(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Uniform in (0, 1]: never 0, so its logarithm is finite.
double uniformOpen(std::uint64_t& state) {
    return (static_cast<double>(splitMix(state) >> 11) + 1.0) * 0x1p-53;
}

}  // namespace

const NoiseTable& NoiseTable::shared() {
    static const NoiseTable table;
    return table;
}

NoiseTable::NoiseTable() : table(kSize) {
    constexpr double kTwoPi = 6.283185307179586;
    std::uint64_t state = 0x5EED0F5E05012345ull;
    for (std::size_t i = 0; i < kSize; i += 2) {
        // Box-Muller: two independent normals from two uniforms.
        const double radius = std::sqrt(-2.0 * std::log(uniformOpen(state)));
        const double angle = kTwoPi * uniformOpen(state);
        table[i] = static_cast<float>(radius * std::cos(angle));
        table[i + 1] = static_cast<float>(radius * std::sin(angle));
    }
}

std::size_t NoiseTable::frameOffset(std::uint64_t seed, std::uint64_t frame) {
    std::uint64_t state = seed ^ (frame * 0xD1B54A32D192ED03ull);
    return static_cast<std::size_t>(splitMix(state)) & kMask;
}

}  // namespace kelo::simcam
