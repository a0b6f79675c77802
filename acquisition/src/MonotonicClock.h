#pragma once

#include <chrono>
#include <cstdint>

namespace kelo::acquisition {

inline std::int64_t monotonicNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The rate of something that happens once every t1 - t0 nanoseconds, per
// second; 0 for an interval that is not positive.
inline double ratePerSecond(std::int64_t t0, std::int64_t t1) {
    return t1 > t0 ? 1e9 / static_cast<double>(t1 - t0) : 0.0;
}

// Seconds from t0 to t1 (nanoseconds).
inline double secondsBetween(std::int64_t t0, std::int64_t t1) {
    return static_cast<double>(t1 - t0) / 1e9;
}

}  // namespace kelo::acquisition
