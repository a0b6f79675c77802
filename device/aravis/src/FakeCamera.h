// The fake camera of an opened fake device dressed as the camera it stands
// in for: its identity in the bootstrap registers, its sensor size, and its
// images drawn by a feed on the fake camera's own thread.
#pragma once

#include <arv.h>

#include <atomic>
#include <memory>

#include "arvcam/AravisCameras.h"

namespace kelo::arvcam {

class FakeCamera {
public:
    // Writes the identity of `info` into the device's registers and draws
    // its images with `feed` from now on.
    FakeCamera(ArvDevice* device, const camera::DeviceInfo& info, std::unique_ptr<FakeImageFeed> feed);
    // Only once the device's stream has ended: the feed goes with it.
    ~FakeCamera();
    FakeCamera(const FakeCamera&) = delete;
    FakeCamera& operator=(const FakeCamera&) = delete;

    // The size of each stream buffer, set before the acquisition starts.
    void setBufferBytes(std::size_t bytes) { bufferBytes = bytes; }
    // After the stream ended: the feed rests until the next acquisition.
    void acquisitionEnded() { feed->pause(); }

private:
    static void fillCallback(ArvBuffer* buffer, void* self, guint32 exposureUs, guint32 gainRaw,
                             ArvPixelFormat format);
    void draw(ArvBuffer* buffer, guint32 exposureUs, guint32 gainRaw, ArvPixelFormat format);
    guint32 readRegister(guint32 address) const;

    ArvDevice* const device;
    ArvFakeCamera* const camera;
    std::unique_ptr<FakeImageFeed> feed;
    std::atomic<std::size_t> bufferBytes{0};
    std::atomic<bool> lostSignalled{false};
};

// Writes `text` into the fake camera's string register at `address`
// (`length` bytes, zero-padded, cut to leave one terminating zero).
void writeFakeString(ArvFakeCamera* camera, guint32 address, guint32 length, const std::string& text);

}  // namespace kelo::arvcam
