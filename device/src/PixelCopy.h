// Copying a camera buffer into a Frame, by pixel type.
#pragma once

#include <cstddef>
#include <cstdint>

#include "device/Frame.h"

namespace kelo::device {

// Fills the first `count` elements of `frame` from `buffer`: Mono8 bytes
// widened to 16 bits, Mono12 words copied as they are. False, and `frame`
// untouched, for any other pixel type.
bool copyPixels(std::uint32_t pixelType, const void* buffer, std::size_t count, Frame& frame);

}  // namespace kelo::device
