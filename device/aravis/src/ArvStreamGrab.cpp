#include "ArvStreamGrab.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>

#include "PackedPixels.h"

namespace kelo::arvcam {

// One buffer's image as a grab result; made once per buffer, filled anew
// each time the buffer comes back from the stream.
class ArvImage : public camera::GrabResultData {
public:
    ArvImage(ArvBuffer* buffer, std::size_t capacity) : arvBuffer(buffer), capacity(capacity) {}
    ~ArvImage() override { g_object_unref(arvBuffer); }

    int width() const override { return columns; }
    int height() const override { return rows; }
    std::uint32_t pixelType() const override { return type; }
    const void* buffer() const override { return pixels; }
    std::int64_t timeStamp() const override { return stamp; }

    // Takes the frame the buffer holds; false for a layout the instrument
    // cannot use.
    bool take() {
        columns = static_cast<int>(arv_buffer_get_image_width(arvBuffer));
        rows = static_cast<int>(arv_buffer_get_image_height(arvBuffer));
        stamp = static_cast<std::int64_t>(arv_buffer_get_timestamp(arvBuffer));
        std::size_t size = 0;
        const auto* data = static_cast<const std::uint8_t*>(arv_buffer_get_image_data(arvBuffer, &size));
        // The fake camera leaves the size of the images it has drawn unset.
        if (size == 0) size = capacity;
        const std::size_t count = static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows);
        const std::uint32_t format = arv_buffer_get_image_pixel_format(arvBuffer);
        pixels = data;
        if (format == camera::kPixelMono8) {
            type = camera::kPixelMono8;
            return size >= count;
        }
        type = camera::kPixelMono12;
        if (format == camera::kPixelMono12) return size >= count * 2;
        if (format != kPixelMono12p && format != kPixelMono12Packed) return false;
        if (size < packedBytes(count)) return false;
        if (unpacked.size() < count) unpacked.resize(count);
        if (format == kPixelMono12p)
            unpackMono12p(data, count, unpacked.data());
        else
            unpackMono12Packed(data, count, unpacked.data());
        pixels = unpacked.data();
        return true;
    }

    ArvBuffer* const arvBuffer;  // our own reference
    const std::size_t capacity;
    std::atomic<bool> empty{false};

private:
    int columns = 0;
    int rows = 0;
    std::uint32_t type = camera::kPixelMono8;
    const void* pixels = nullptr;
    std::int64_t stamp = 0;
    std::vector<std::uint16_t> unpacked;  // packed 12-bit frames, unpacked
};

void markEmpty(ArvBuffer* buffer, bool empty) {
    auto* image = static_cast<ArvImage*>(g_object_get_data(G_OBJECT(buffer), "kelo-image"));
    if (image != nullptr) image->empty = empty;
}

ArvStreamGrab::ArvStreamGrab(ArvLink& link, std::size_t payloadBytes, std::size_t bufferCount)
    : link(link), capacity(payloadBytes) {
    GError* error = nullptr;
    {
        std::lock_guard<std::recursive_mutex> lock(link.lock);
        stream = arv_device_create_stream(link.device, nullptr, nullptr, &error);
    }
    throwIfFailed(error, link, "stream");
    if (stream == nullptr) throw camera::GenericException("the camera gave no stream");
    for (std::size_t i = 0; i < bufferCount; ++i) {
        ArvBuffer* buffer = arv_buffer_new_full(payloadBytes, nullptr, nullptr, nullptr);
        auto image = std::make_shared<ArvImage>(buffer, payloadBytes);
        g_object_set_data(G_OBJECT(buffer), "kelo-image", image.get());
        buffers.push_back(buffer);
        images.push_back(std::move(image));
        handedOut.push_back(false);
        arv_stream_push_buffer(stream, ARV_BUFFER(g_object_ref(buffer)));
    }
}

ArvStreamGrab::~ArvStreamGrab() {
    // The stream's thread ends here; it releases the buffers it still holds.
    g_object_unref(stream);
    for (std::size_t i = 0; i < buffers.size(); ++i)
        if (handedOut[i]) g_object_unref(buffers[i]);
}

std::size_t ArvStreamGrab::slotOf(ArvBuffer* buffer) const {
    return static_cast<std::size_t>(std::find(buffers.begin(), buffers.end(), buffer) - buffers.begin());
}

void ArvStreamGrab::giveBack(std::size_t slot) {
    handedOut[slot] = false;
    arv_stream_push_buffer(stream, buffers[slot]);
}

void ArvStreamGrab::recycle() {
    for (std::size_t i = 0; i < images.size(); ++i)
        if (handedOut[i] && images[i].use_count() == 1) giveBack(i);
}

bool ArvStreamGrab::next(unsigned timeoutMs, bool latestOnly, const std::atomic<bool>& stop,
                         camera::GrabResult& result) {
    // Waits in short steps, so that a stop from another thread is seen soon.
    constexpr std::int64_t kStepUs = 20000;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    recycle();
    std::size_t chosen = buffers.size();
    while (chosen == buffers.size()) {
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
        if (left.count() <= 0 || link.lost || stop) return false;
        const std::int64_t wait = std::min<std::int64_t>(left.count(), kStepUs);
        ArvBuffer* popped = arv_stream_timeout_pop_buffer(stream, static_cast<guint64>(wait));
        while (popped != nullptr) {
            const std::size_t slot = slotOf(popped);
            handedOut[slot] = true;
            const bool usable = arv_buffer_get_status(popped) == ARV_BUFFER_STATUS_SUCCESS &&
                                !images[slot]->empty && images[slot]->take();
            if (usable) {
                if (chosen != buffers.size()) giveBack(chosen);
                chosen = slot;
            } else {
                giveBack(slot);
            }
            popped = latestOnly || chosen == buffers.size() ? arv_stream_try_pop_buffer(stream) : nullptr;
        }
    }
    result = images[chosen];
    return true;
}

}  // namespace kelo::arvcam
