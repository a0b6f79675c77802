// The settings of one simulated camera, shared by the threads that write its
// nodes and the thread that grabs its frames.
#pragma once

#include <functional>
#include <mutex>
#include <utility>

#include "CameraSettings.h"
#include "camera/Errors.h"

namespace kelo::simcam {

class CameraState {
public:
    // Called after every change made through write(), without the lock held.
    void setChangeListener(std::function<void()> listener) { changed = std::move(listener); }

    // Runs `reader` on the settings under the lock; throws RuntimeException
    // once the camera was removed.
    template <typename Reader>
    auto read(const Reader& reader) const {
        std::lock_guard<std::mutex> lock(mutex);
        throwIfRemovedLocked();
        return reader(settings);
    }

    // Runs `writer` on the settings under the lock, then tells the listener.
    template <typename Writer>
    void write(Writer writer) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            throwIfRemovedLocked();
            writer(settings, grabbing);
        }
        if (changed) changed();
    }

    // A change by the camera itself (its automatic modes): works also after
    // removal and tells no listener.
    template <typename Updater>
    void update(Updater updater) {
        std::lock_guard<std::mutex> lock(mutex);
        updater(settings);
    }

    // A copy for one frame; works also after removal.
    CameraSettings snapshot() const {
        std::lock_guard<std::mutex> lock(mutex);
        return settings;
    }

    void setGrabbing(bool on) {
        std::lock_guard<std::mutex> lock(mutex);
        grabbing = on;
    }

    void markRemoved() {
        std::lock_guard<std::mutex> lock(mutex);
        removed = true;
    }

    bool isGrabbing() const {
        std::lock_guard<std::mutex> lock(mutex);
        return grabbing;
    }

    bool isRemoved() const {
        std::lock_guard<std::mutex> lock(mutex);
        return removed;
    }

private:
    void throwIfRemovedLocked() const {
        if (removed) throw camera::RuntimeException("the camera device has been removed");
    }

    mutable std::mutex mutex;  // guards settings, grabbing and removed
    CameraSettings settings;
    bool grabbing = false;  // size, binning and pixel format are locked while true
    bool removed = false;
    std::function<void()> changed;  // set before the camera is used, then only read
};

}  // namespace kelo::simcam
