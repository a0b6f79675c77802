#pragma once

#include <chrono>
#include <cstdint>

namespace kelo::acquisition {

inline std::int64_t monotonicNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace kelo::acquisition
