// 12-bit pixels in the two packed layouts cameras send, unpacked into one
// 16-bit word per pixel (the low 12 bits).
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelo::arvcam {

// GenICam pixel format codes of the layouts the camera may deliver.
inline constexpr std::uint32_t kPixelMono12p = 0x010C0047;       // LSB first, bit stream
inline constexpr std::uint32_t kPixelMono12Packed = 0x010C0006;  // two pixels in three bytes

// Bytes the packed layouts take for `pixels` pixels.
inline std::size_t packedBytes(std::size_t pixels) {
    return (pixels * 12 + 7) / 8;
}

// Mono12p: pixel 2k is byte 3k plus the low nibble of byte 3k+1 as bits
// 8..11; pixel 2k+1 is the high nibble of byte 3k+1 plus byte 3k+2 as bits
// 4..11.
void unpackMono12p(const std::uint8_t* packed, std::size_t pixels, std::uint16_t* out);

// Mono12Packed: byte 3k holds bits 4..11 of pixel 2k, byte 3k+2 bits 4..11
// of pixel 2k+1; byte 3k+1 holds their bits 0..3, pixel 2k in its low
// nibble.
void unpackMono12Packed(const std::uint8_t* packed, std::size_t pixels, std::uint16_t* out);

}  // namespace kelo::arvcam
