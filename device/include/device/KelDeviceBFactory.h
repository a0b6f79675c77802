// The device factory on the camera SDK. Constructing it starts the SDK;
// terminate (or destruction) shuts it down once.
//
// Threads: the user-interface thread only, before acquisition starts.
#pragma once

#include <QObject>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "camera/CameraDevice.h"
#include "camera/InstantCamera.h"
#include "device/KelIFactory.h"

namespace Brevanta {

class KelDeviceBFactory : public QObject, public KelIFactory {
    Q_OBJECT
    Q_INTERFACES(Brevanta::KelIFactory)

public:
    KelDeviceBFactory();
    ~KelDeviceBFactory() override;

    // Attaches the first maxCameras enumerated cameras to a new camera array,
    // writing "\nCamera created" and the serial number for each.
    bool initialize() override;
    // Every enumerated camera, not only the attached ones.
    std::vector<std::string> getDeviceList() override;
    // Only a camera that is listed and attached has a device.
    KelDevice* createDevice(const std::string& serialNumber) override;
    void terminate() override;

private:
    void retireCameras();
    void releaseCameras();

    kelo::camera::DeviceInfoList deviceInfos;
    kelo::camera::TransportLayerFactory* transportFactory = nullptr;
    std::unique_ptr<kelo::camera::InstantCameraArray> cameras;
    std::size_t maxCameras = 2;
    std::int32_t ready = 0;
    std::vector<std::string> serialNumbers;
    bool sdkStarted = false;
    // The serial number each entry of `cameras` was attached for.
    std::vector<std::string> attachedSerials;
    // Arrays of earlier initialize calls. Their cameras are released, but the
    // slots stay alive: devices created before still point at them.
    std::vector<std::unique_ptr<kelo::camera::InstantCameraArray>> retiredCameras;
};

}  // namespace Brevanta
