// One camera of the Aravis library as a device of the camera SDK interface.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

#include "ArvLink.h"
#include "ArvNodes.h"
#include "ArvStreamGrab.h"
#include "FakeCamera.h"
#include "arvcam/AravisCameras.h"

namespace kelo::arvcam {

class ArvCameraDevice : public camera::CameraDevice {
public:
    // `deviceId` is the library's id of the camera; `scene` draws the images
    // when it is the fake camera (null otherwise).
    ArvCameraDevice(camera::DeviceInfo info, std::string deviceId,
                    std::shared_ptr<FakeCameraScene> scene);
    ~ArvCameraDevice() override;

    camera::DeviceInfo deviceInfo() const override { return info; }
    void open() override;
    void close() override;
    bool isOpen() const override;
    bool isRemoved() const override { return link.lost; }
    camera::NodeMap& nodeMap() override;

    void startGrabbing(camera::GrabStrategy strategy, camera::GrabLoop loop,
                       std::size_t maxImages) override;
    bool retrieveResult(unsigned timeoutMs, camera::GrabResult& result,
                        camera::TimeoutHandling handling) override;
    void stopGrabbing() override;
    bool isGrabbing() const override { return grabbing; }

private:
    static void onControlLost(ArvDevice* device, gpointer link);
    // With grabMutex held: waits for a retrieval on another thread to give
    // up, then ends the acquisition and the stream.
    void stopLocked(std::unique_lock<std::mutex>& lock);
    void endAcquisitionLocked();
    void execute(const char* command);

    const camera::DeviceInfo info;
    const std::string deviceId;
    const std::shared_ptr<FakeCameraScene> scene;

    ArvLink link;
    std::unique_ptr<ArvNodeMap> nodes;
    std::unique_ptr<FakeCamera> fake;
    gulong lostHandler = 0;

    std::mutex grabMutex;  // guards the grab and the fields below
    std::condition_variable idle;
    int retrieving = 0;
    std::unique_ptr<ArvStreamGrab> grab;
    bool latestOnly = false;
    bool limited = false;
    std::size_t imagesLeft = 0;
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> grabbing{false};
};

}  // namespace kelo::arvcam
