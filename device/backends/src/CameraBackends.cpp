// The camera SDK's entry points: the cameras of the backends
// KELO_CAMERA_BACKEND chooses, real ones listed before simulated ones.
#include <iostream>
#include <memory>

#include "SimulatorScene.h"
#include "arvcam/AravisCameras.h"
#include "backends/BackendChoice.h"
#include "camera/CameraDevice.h"
#include "simcam/SimulatedCameras.h"

namespace kelo::camera {

namespace {

using backends::BackendChoice;

class CombinedCameras : public TransportLayerFactory {
public:
    std::size_t enumerateDevices(DeviceInfoList& list, bool addToList) override {
        if (!addToList) list.clear();
        if (aravis != nullptr) aravis->enumerateDevices(list, true);
        if (listSimulated) simcam::simulatedCameras().enumerateDevices(list, true);
        return list.size();
    }
    std::unique_ptr<CameraDevice> createDevice(const DeviceInfo& info) override {
        if (info.backend == kSimulatedBackend) return simcam::simulatedCameras().createDevice(info);
        if (aravis == nullptr)
            throw RuntimeException("no camera with serial number " + info.serialNumber + " is attached");
        return aravis->createDevice(info);
    }

    BackendChoice choice = BackendChoice::Auto;
    std::unique_ptr<arvcam::AravisCameras> aravis;
    bool listSimulated = true;
};

// Never destroyed: devices may still use the SDK during static destruction.
CombinedCameras& cameras() {
    static CombinedCameras* combined = new CombinedCameras;
    return *combined;
}

}  // namespace

void sdkInitialize() {
    std::string warning;
    const BackendChoice choice = backends::parseBackendChoice(std::getenv("KELO_CAMERA_BACKEND"), warning);
    if (!warning.empty()) std::cerr << warning << "\n";
    simcam::startSimulator();
    CombinedCameras& combined = cameras();
    combined.choice = choice;
    combined.listSimulated = choice != BackendChoice::AravisFake;
    if (choice == BackendChoice::Sim) return;
    arvcam::Interfaces interfaces;
    interfaces.usb = choice != BackendChoice::AravisFake;
    interfaces.fake = choice == BackendChoice::AravisFake;
    combined.aravis = std::make_unique<arvcam::AravisCameras>(
        interfaces, std::make_shared<backends::SimulatorScene>(simcam::simulatedCameras()),
        KELO_FAKE_CAMERA_DESCRIPTION);
    combined.aravis->setNetworkDiscovery(choice == BackendChoice::Gige);
}

void sdkTerminate() {
    CombinedCameras& combined = cameras();
    if (combined.aravis != nullptr) combined.aravis->shutdown();
    simcam::stopSimulator();
}

void sdkSetNetworkDiscovery(bool on) {
    if (cameras().aravis != nullptr && cameras().choice != BackendChoice::AravisFake)
        cameras().aravis->setNetworkDiscovery(on);
}

bool sdkNetworkDiscovery() {
    return cameras().aravis != nullptr && cameras().aravis->networkDiscovery();
}

TransportLayerFactory& transportLayerFactory() {
    return cameras();
}

}  // namespace kelo::camera
