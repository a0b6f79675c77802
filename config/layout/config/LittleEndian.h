// Numbers as little-endian bytes, whatever the host's byte order: the order
// of every binary file of a unit.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

namespace kelo {

inline bool hostIsLittleEndian() {
    const std::uint16_t probe = 1;
    std::uint8_t first;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

template <class T>
inline void storeLittleEndian(std::uint8_t* out, T value) {
    static_assert(std::is_arithmetic<T>::value, "numbers only");
    std::memcpy(out, &value, sizeof(T));
    if (!hostIsLittleEndian())
        for (std::size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(out[i], out[sizeof(T) - 1 - i]);
}

template <class T>
inline T loadLittleEndian(const std::uint8_t* in) {
    static_assert(std::is_arithmetic<T>::value, "numbers only");
    std::uint8_t bytes[sizeof(T)];
    std::memcpy(bytes, in, sizeof(T));
    if (!hostIsLittleEndian())
        for (std::size_t i = 0; i < sizeof(T) / 2; ++i)
            std::swap(bytes[i], bytes[sizeof(T) - 1 - i]);
    T value;
    std::memcpy(&value, bytes, sizeof(T));
    return value;
}

}  // namespace kelo
