#include "device/KelDeviceBFactory.h"

#include <algorithm>
#include <iostream>

#include "device/KelDevice_B.h"

using kelo::camera::GenericException;
using kelo::camera::InstantCameraArray;

namespace Brevanta {

KelDeviceBFactory::KelDeviceBFactory() {
    try {
        kelo::camera::sdkInitialize();
        ready = 1;
        sdkStarted = true;
    } catch (const GenericException& error) {
        std::cerr << "camera SDK not started: " << error.what() << "\n";
    }
}

KelDeviceBFactory::~KelDeviceBFactory() {
    terminate();
}

bool KelDeviceBFactory::initialize() {
    transportFactory = nullptr;
    if (ready != 1) return false;
    try {
        transportFactory = &kelo::camera::transportLayerFactory();
        transportFactory->enumerateDevices(deviceInfos, false);
        if (deviceInfos.empty()) {
            std::cout << "no device present\n";
            return false;
        }
        retireCameras();
        const std::size_t count = std::min(deviceInfos.size(), maxCameras);
        cameras = std::make_unique<InstantCameraArray>(count);
        for (std::size_t i = 0; i < count; ++i) {
            std::cout << "Camera created" << deviceInfos[i].serialNumber << "\n";
            (*cameras)[i].attach(transportFactory->createDevice(deviceInfos[i]));
            attachedSerials.push_back(deviceInfos[i].serialNumber);
        }
        return true;
    } catch (const GenericException&) {
        return false;
    }
}

std::vector<std::string> KelDeviceBFactory::getDeviceList() {
    serialNumbers.clear();
    if (ready != 1) return serialNumbers;
    try {
        if (transportFactory == nullptr) transportFactory = &kelo::camera::transportLayerFactory();
        transportFactory->enumerateDevices(deviceInfos, false);
    } catch (const GenericException&) {
        deviceInfos.clear();
    }
    for (const kelo::camera::DeviceInfo& info : deviceInfos)
        serialNumbers.push_back(info.serialNumber);
    return serialNumbers;
}

KelDevice* KelDeviceBFactory::createDevice(const std::string& serialNumber) {
    const bool listed =
        std::find(serialNumbers.begin(), serialNumbers.end(), serialNumber) != serialNumbers.end();
    if (!listed) return nullptr;
    // The array entry attached for this camera, not the list position: the
    // enumeration order may have changed since the cameras were attached.
    for (std::size_t i = 0; i < attachedSerials.size(); ++i)
        if (attachedSerials[i] == serialNumber) return new KelDevice_B(&(*cameras)[i]);
    return nullptr;
}

void KelDeviceBFactory::terminate() {
    if (!sdkStarted) return;
    releaseCameras();
    kelo::camera::sdkTerminate();
    sdkStarted = false;
    ready = 0;
}

void KelDeviceBFactory::retireCameras() {
    if (cameras == nullptr) return;
    for (std::size_t i = 0; i < cameras->size(); ++i) {
        try {
            (*cameras)[i].destroyDevice();
        } catch (const GenericException&) {
        }
    }
    retiredCameras.push_back(std::move(cameras));
    attachedSerials.clear();
}

void KelDeviceBFactory::releaseCameras() {
    retireCameras();
    retiredCameras.clear();
}

}  // namespace Brevanta
