// A running grab of an Aravis device: the stream, its fixed pool of buffers
// and the results handed out of them. A result refers to its buffer until
// its last copy is dropped; the buffer then goes back to the stream.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "ArvLink.h"
#include "camera/CameraDevice.h"

namespace kelo::arvcam {

class ArvImage;

class ArvStreamGrab {
public:
    // Creates the stream and `bufferCount` buffers of `payloadBytes`.
    // Throws the SDK's error when the stream cannot be made.
    ArvStreamGrab(ArvLink& link, std::size_t payloadBytes, std::size_t bufferCount);
    // Ends the stream. Results still held keep their buffer's memory.
    ~ArvStreamGrab();
    ArvStreamGrab(const ArvStreamGrab&) = delete;
    ArvStreamGrab& operator=(const ArvStreamGrab&) = delete;

    std::size_t payloadBytes() const { return capacity; }

    // Waits up to `timeoutMs` for the next complete image (the newest one
    // when `latestOnly`); false when none came, the camera was lost or
    // `stop` was set. Incomplete frames are given back and not counted.
    bool next(unsigned timeoutMs, bool latestOnly, const std::atomic<bool>& stop,
              camera::GrabResult& result);

private:
    // Gives back the buffers of results nobody holds any more.
    void recycle();
    // The slot of a buffer popped from the stream, or null.
    std::size_t slotOf(ArvBuffer* buffer) const;
    void giveBack(std::size_t slot);

    ArvLink& link;
    ArvStream* stream = nullptr;
    const std::size_t capacity;
    std::vector<ArvBuffer*> buffers;              // one reference each, ours
    std::vector<std::shared_ptr<ArvImage>> images;  // one per buffer
    std::vector<bool> handedOut;
};

// Whether the fake camera drew nothing into `buffer` (its trigger had not
// come): such frames are given back unseen.
void markEmpty(ArvBuffer* buffer, bool empty);

}  // namespace kelo::arvcam
