// Reproducible random numbers for a synthetic unit: the same seed gives the
// same unit on every platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>

namespace kelo::sim {

// The engine's raw output is fixed bit for bit by the C++ standard; the
// standard distributions are not, so the numbers are made here.
class SeededRandom {
public:
    explicit SeededRandom(std::uint64_t seed) : engine(seed) {}

    // Uniform in [0, 1), on the 53 bits a double holds.
    double uniform() { return static_cast<double>(engine() >> 11) * 0x1p-53; }

    // Uniform in [low, high).
    double uniform(double low, double high) { return low + (high - low) * uniform(); }

    // Uniform whole number in [0, count).
    std::size_t index(std::size_t count) {
        return static_cast<std::size_t>(uniform() * static_cast<double>(count));
    }

private:
    std::mt19937_64 engine;
};

}  // namespace kelo::sim
