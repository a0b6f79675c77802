// A camera slot that a device is attached to, and the array of such slots.
// An attached device is owned by its slot and released with it or by
// destroyDevice. Every operation on an empty slot throws
// LogicalErrorException.
#pragma once

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "camera/CameraDevice.h"

namespace kelo::camera {

class InstantCamera {
public:
    void attach(std::unique_ptr<CameraDevice> device) {
        destroyDevice();
        attached = std::move(device);
    }
    bool isAttached() const { return attached != nullptr; }

    DeviceInfo deviceInfo() const { return device().deviceInfo(); }
    void open() { device().open(); }
    void close() { device().close(); }
    bool isOpen() const { return device().isOpen(); }
    // Closes and releases the attached device; the slot is empty afterwards.
    void destroyDevice() {
        if (attached == nullptr) return;
        if (attached->isGrabbing()) attached->stopGrabbing();
        if (attached->isOpen()) attached->close();
        attached.reset();
    }
    bool isCameraDeviceRemoved() const { return device().isRemoved(); }
    NodeMap& nodeMap() { return device().nodeMap(); }

    void startGrabbing(GrabStrategy strategy, GrabLoop loop = GrabLoop::ProvidedByUser) {
        device().startGrabbing(strategy, loop);
    }
    void startGrabbing(std::size_t maxImages, GrabStrategy strategy) {
        device().startGrabbing(strategy, GrabLoop::ProvidedByUser, maxImages);
    }
    bool retrieveResult(unsigned timeoutMs, GrabResult& result,
                        TimeoutHandling handling = TimeoutHandling::ThrowException) {
        return device().retrieveResult(timeoutMs, result, handling);
    }
    // One image without a running grab: starts a grab of one image and
    // retrieves it.
    bool grabOne(unsigned timeoutMs, GrabResult& result,
                 TimeoutHandling handling = TimeoutHandling::ThrowException) {
        startGrabbing(1, GrabStrategy::OneByOne);
        return retrieveResult(timeoutMs, result, handling);
    }
    void stopGrabbing() { device().stopGrabbing(); }
    bool isGrabbing() const { return device().isGrabbing(); }

private:
    CameraDevice& device() const {
        if (attached == nullptr) throw LogicalErrorException("no camera device attached");
        return *attached;
    }

    std::unique_ptr<CameraDevice> attached;
};

class InstantCameraArray {
public:
    explicit InstantCameraArray(std::size_t count) : cameras(count) {}
    std::size_t size() const { return cameras.size(); }
    InstantCamera& operator[](std::size_t index) { return cameras.at(index); }

private:
    std::vector<InstantCamera> cameras;
};

}  // namespace kelo::camera
