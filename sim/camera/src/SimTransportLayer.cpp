// The simulated cameras behind the camera SDK's transport-layer interface.
#include "Simulator.h"
#include "simcam/SimulatedCameras.h"

namespace kelo::simcam {

namespace {

class SimTransportLayer : public camera::TransportLayerFactory {
public:
    std::size_t enumerateDevices(camera::DeviceInfoList& list, bool addToList) override {
        return Simulator::instance().enumerate(list, addToList);
    }
    std::unique_ptr<camera::CameraDevice> createDevice(const camera::DeviceInfo& info) override {
        return Simulator::instance().createDevice(info);
    }
};

}  // namespace

void startSimulator() {
    Simulator::instance().configure(settingsFromEnvironment());
}

void stopSimulator() {
    Simulator::instance().stopTimers();
}

camera::TransportLayerFactory& simulatedCameras() {
    static SimTransportLayer* factory = new SimTransportLayer;
    return *factory;
}

}  // namespace kelo::simcam
