#include "acquisition/KelSpectroFactory.h"

#include "device/DeviceRegistry.h"

KelSpectroFactory& KelSpectroFactory::instance() {
    static KelSpectroFactory factory;
    return factory;
}

bool KelSpectroFactory::init(std::vector<std::string>& ids) {
    DeviceRegistry& registry = DeviceRegistry::instance();
    const bool ok = registry.initialize();
    registry.getDeviceList(ids);
    deviceIds = ids;
    return ok;
}

std::shared_ptr<Brevanta::KelSpectro> KelSpectroFactory::createSpectro() {
    DeviceRegistry& registry = DeviceRegistry::instance();
    registry.getDeviceList(deviceIds);
    if (deviceIds.empty()) return {};
    Brevanta::KelDevice* device = registry.createDevice(deviceIds.front());
    return std::make_shared<Brevanta::KelSpectro>(deviceIds.front(), device);
}

void KelSpectroFactory::softwareVersion(std::string& version) const {
    version = kSoftwareVersion;
}
