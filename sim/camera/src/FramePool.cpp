#include "FramePool.h"

#include <utility>

namespace kelo::simcam {

void FrameBuffer::shape(int width, int height, PixelFormat format) {
    columns = width;
    rows = height;
    type = format == PixelFormat::Mono8 ? camera::kPixelMono8 : camera::kPixelMono12;
}

FramePool::FramePool(std::size_t count, std::size_t maxPixels) {
    buffers.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        buffers.push_back(std::make_shared<FrameBuffer>(maxPixels));
}

std::shared_ptr<FrameBuffer> FramePool::acquire() {
    // A count of one is exact: only the pool holds the buffer, and only the
    // grabbing thread hands buffers out.
    for (const auto& buffer : buffers)
        if (buffer.use_count() == 1) return buffer;
    return nullptr;
}

void ResultQueue::push(camera::GrabResult result) {
    ring[(first + count) % ring.size()] = std::move(result);
    ++count;
}

camera::GrabResult ResultQueue::pop() {
    camera::GrabResult result = std::move(ring[first]);
    first = (first + 1) % ring.size();
    --count;
    return result;
}

void ResultQueue::clear() {
    while (!empty()) pop();
}

}  // namespace kelo::simcam
