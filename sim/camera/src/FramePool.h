// The image buffers of a grabbing camera, made once and reused: a buffer is
// free again when no grab result refers to it any more.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "CameraSettings.h"
#include "camera/GrabResult.h"

namespace kelo::simcam {

// Pixels of the whole unbinned sensor: room for any image it makes.
inline std::size_t sensorPixels() {
    return static_cast<std::size_t>(sensorModel().sensorWidth) * sensorModel().sensorHeight;
}

class FrameBuffer : public camera::GrabResultData {
public:
    explicit FrameBuffer(std::size_t maxPixels) : storage(maxPixels) {}

    int width() const override { return columns; }
    int height() const override { return rows; }
    std::uint32_t pixelType() const override { return type; }
    const void* buffer() const override { return storage.data(); }
    std::int64_t timeStamp() const override { return exposureStart; }

    // Describes the image the buffer is about to hold; it must fit.
    void shape(int width, int height, PixelFormat format);
    void stamp(std::int64_t nanoseconds) { exposureStart = nanoseconds; }
    std::uint16_t* words() { return storage.data(); }
    std::uint8_t* bytes() { return reinterpret_cast<std::uint8_t*>(storage.data()); }

private:
    std::vector<std::uint16_t> storage;  // room for the largest Mono12 image
    int columns = 0;
    int rows = 0;
    std::uint32_t type = camera::kPixelMono12;
    std::int64_t exposureStart = 0;
};

class FramePool {
public:
    FramePool(std::size_t count, std::size_t maxPixels);

    // A buffer no result refers to, or null when all are held (an underrun).
    // Only the grabbing thread calls it.
    std::shared_ptr<FrameBuffer> acquire();

private:
    std::vector<std::shared_ptr<FrameBuffer>> buffers;
};

// The grab results waiting for retrieval, in order of arrival, in a ring of
// fixed capacity. Not locked: its owner guards it.
class ResultQueue {
public:
    explicit ResultQueue(std::size_t capacity) : ring(capacity) {}

    bool empty() const { return count == 0; }
    void push(camera::GrabResult result);
    camera::GrabResult pop();
    void clear();

private:
    std::vector<camera::GrabResult> ring;
    std::size_t first = 0;
    std::size_t count = 0;
};

}  // namespace kelo::simcam
