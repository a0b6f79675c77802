#include "device/DeviceRegistry.h"

// Included for its stream initialiser: the SDK may write messages while it
// starts during static initialisation, before other files' streams are set up.
#include <iostream>

#include <string>

#include "camera/CameraDevice.h"
#include "camera/Errors.h"
#include "device/KelDeviceBFactory.h"

DeviceRegistry& DeviceRegistry::instance() {
    static DeviceRegistry registry(std::make_unique<Brevanta::KelDeviceBFactory>());
    return registry;
}

namespace {

// Every user of the device layer references instance(), so this object file
// is always linked and the SDK starts during static initialisation.
[[maybe_unused]] DeviceRegistry& startedBeforeMain = DeviceRegistry::instance();

}  // namespace

DeviceRegistry::DeviceRegistry(std::unique_ptr<Brevanta::KelIFactory> factory)
    : factory(std::move(factory)) {}

DeviceRegistry::~DeviceRegistry() {
    for (auto& device : devices) device.reset();
    factory->terminate();
    devices.clear();
}

void DeviceRegistry::setNetworkSearch(bool on) {
    kelo::camera::sdkSetNetworkDiscovery(on);
}

bool DeviceRegistry::networkSearch() {
    return kelo::camera::sdkNetworkDiscovery();
}

bool DeviceRegistry::initialize() {
    return factory->initialize();
}

void DeviceRegistry::getDeviceList(std::vector<std::string>& ids) {
    ids.clear();
    ids = factory->getDeviceList();
}

Brevanta::KelDevice* DeviceRegistry::createDevice(const std::string& serialNumber) {
    Brevanta::KelDevice* device = nullptr;
    try {
        device = factory->createDevice(serialNumber);
    } catch (const kelo::camera::GenericException&) {
        return nullptr;
    }
    devices.emplace_back(device);
    ++deviceCount;
    return device;
}
