// One image delivered by a camera. The pixel buffer stays valid while a
// GrabResult refers to it; the SDK reuses the buffer once the last reference
// is gone, so holding results longer than needed starves the grab.
#pragma once

#include <cstdint>
#include <memory>

namespace kelo::camera {

enum PixelType : std::uint32_t {
    kPixelMono8 = 0x01080001,   // one byte per pixel
    kPixelMono12 = 0x01100005,  // 12 bits in the low bits of a 16-bit word
};

class GrabResultData {
public:
    virtual ~GrabResultData() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual std::uint32_t pixelType() const = 0;
    virtual const void* buffer() const = 0;  // row-major, width x height pixels
    // Start of the exposure on the camera's own clock, in nanoseconds.
    virtual std::int64_t timeStamp() const = 0;
};

// Empty until a retrieval fills it.
using GrabResult = std::shared_ptr<const GrabResultData>;

}  // namespace kelo::camera
