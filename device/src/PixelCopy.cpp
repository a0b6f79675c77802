#include "PixelCopy.h"

#include <cstring>

#include "camera/GrabResult.h"

namespace kelo::device {

namespace {

constexpr std::size_t kWidenBlock = 32;

// Each block of bytes goes through a local copy first: bytes may alias
// anything, and the copy shows the compiler that the frame is written
// without changing the source, so a block is widened with vector
// instructions.
void widenBytes(const std::uint8_t* source, std::size_t count, std::uint16_t* target) {
    std::size_t at = 0;
    for (; at + kWidenBlock <= count; at += kWidenBlock) {
        std::uint8_t block[kWidenBlock];
        std::memcpy(block, source + at, kWidenBlock);
        for (std::size_t k = 0; k < kWidenBlock; ++k) target[at + k] = block[k];
    }
    for (; at < count; ++at) target[at] = source[at];
}

}  // namespace

bool copyPixels(std::uint32_t pixelType, const void* buffer, std::size_t count, Frame& frame) {
    switch (pixelType) {
        case camera::kPixelMono8:
            widenBytes(static_cast<const std::uint8_t*>(buffer), count, frame.data());
            return true;
        case camera::kPixelMono12:
            if (count > 0) std::memcpy(frame.data(), buffer, count * sizeof(std::uint16_t));
            return true;
        default:
            return false;
    }
}

}  // namespace kelo::device
