// The camera SDK's entry points, served by the simulated cameras.
#include <atomic>

#include "Simulator.h"
#include "camera/CameraDevice.h"

namespace kelo::camera {

namespace {

class SimTransportLayer : public TransportLayerFactory {
public:
    std::size_t enumerateDevices(DeviceInfoList& list, bool addToList) override {
        return simcam::Simulator::instance().enumerate(list, addToList);
    }
    std::unique_ptr<CameraDevice> createDevice(const DeviceInfo& info) override {
        return simcam::Simulator::instance().createDevice(info);
    }
};

}  // namespace

void sdkInitialize() {
    simcam::Simulator::instance().configure(simcam::settingsFromEnvironment());
}

void sdkTerminate() {
    simcam::Simulator::instance().stopTimers();
}

const char* sdkBackendName() {
    return "sim";
}

namespace {
std::atomic<bool> networkDiscovery{false};
}

void sdkSetNetworkDiscovery(bool on) {
    networkDiscovery = on;
}

bool sdkNetworkDiscovery() {
    return networkDiscovery;
}

TransportLayerFactory& transportLayerFactory() {
    // Never destroyed: devices may still use the SDK during static destruction.
    static SimTransportLayer* factory = new SimTransportLayer;
    return *factory;
}

}  // namespace kelo::camera
