#include "device/CameraList.h"

#include "device/DeviceRegistry.h"

namespace kelo::device {

camera::DeviceInfoList listCameras() {
    // The registry starts the SDK; referring to it keeps that true for a
    // program that uses nothing else of the device layer.
    DeviceRegistry::instance();
    camera::DeviceInfoList cameras;
    try {
        camera::transportLayerFactory().enumerateDevices(cameras, false);
    } catch (const camera::GenericException&) {
        cameras.clear();
    }
    return cameras;
}

}  // namespace kelo::device
