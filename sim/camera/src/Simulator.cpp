#include "Simulator.h"

#include <algorithm>
#include <stdexcept>

#include "SimCameraDevice.h"
#include "simcam/SceneSpectra.h"

namespace kelo::simcam {

namespace {

void validate(const SimulatorSettings& settings) {
    if (!isKnownScene(settings.scene))
        throw std::invalid_argument("unknown scene \"" + settings.scene + "\"");
    std::set<std::string> serials;
    for (const SimulatedCamera& camera : settings.cameras) {
        if (camera.serialNumber.empty()) throw std::invalid_argument("empty serial number");
        if (!serials.insert(camera.serialNumber).second)
            throw std::invalid_argument("serial number " + camera.serialNumber + " given twice");
    }
}

}  // namespace

Simulator& Simulator::instance() {
    static Simulator* simulator = new Simulator;
    return *simulator;
}

Simulator::Simulator() = default;

void Simulator::configure(const SimulatorSettings& settings) {
    validate(settings);
    {
        std::lock_guard<std::mutex> lock(mutex);
        current = settings;
        unplugged.clear();
        removedNodes.clear();
        for (SimCameraDevice* device : devices) device->setMissingNodes({});
        applySceneLocked();
    }
    scheduledUnplug.start(settings.unplugAfterSeconds, false, [this, cameras = settings.cameras] {
        for (const SimulatedCamera& camera : cameras) unplug(camera.serialNumber);
    });
}

SimulatorSettings Simulator::settings() const {
    std::lock_guard<std::mutex> lock(mutex);
    return current;
}

bool Simulator::setScene(const std::string& scene) {
    if (!isKnownScene(scene)) return false;
    std::lock_guard<std::mutex> lock(mutex);
    current.scene = scene;
    applySceneLocked();
    return true;
}

void Simulator::setNoise(bool on) {
    std::lock_guard<std::mutex> lock(mutex);
    current.noise = on;
    applySceneLocked();
}

void Simulator::setSeed(std::uint64_t seed) {
    std::lock_guard<std::mutex> lock(mutex);
    current.seed = seed;
    applySceneLocked();
}

void Simulator::applySceneLocked() {
    const SceneSettings scene{current.scene, current.noise, current.seed};
    for (SimCameraDevice* device : devices) device->applyScene(scene);
}

const SimulatedCamera* Simulator::pluggedCameraLocked(const std::string& serialNumber) const {
    if (unplugged.count(serialNumber) != 0) return nullptr;
    const auto found = std::find_if(
        current.cameras.begin(), current.cameras.end(),
        [&serialNumber](const SimulatedCamera& c) { return c.serialNumber == serialNumber; });
    return found == current.cameras.end() ? nullptr : &*found;
}

template <typename Action>
void Simulator::forEachDeviceLocked(const std::string& serialNumber, Action action) {
    for (SimCameraDevice* device : devices)
        if (device->serialNumber() == serialNumber) action(*device);
}

bool Simulator::unplug(const std::string& serialNumber) {
    std::lock_guard<std::mutex> lock(mutex);
    if (pluggedCameraLocked(serialNumber) == nullptr) return unplugged.count(serialNumber) != 0;
    unplugged.insert(serialNumber);
    forEachDeviceLocked(serialNumber, [](SimCameraDevice& device) { device.markRemoved(); });
    return true;
}

bool Simulator::plugIn(const std::string& serialNumber) {
    std::lock_guard<std::mutex> lock(mutex);
    unplugged.erase(serialNumber);
    return pluggedCameraLocked(serialNumber) != nullptr;
}

void Simulator::triggerPulse() {
    std::lock_guard<std::mutex> lock(mutex);
    for (SimCameraDevice* device : devices) device->receiveTriggerPulse();
}

void Simulator::setTriggerRate(double hz) {
    pulseTrain.start(hz > 0.0 ? 1.0 / hz : 0.0, true, [this] { triggerPulse(); });
}

void Simulator::stopTimers() {
    pulseTrain.cancel();
    scheduledUnplug.cancel();
}

void Simulator::removeNode(const std::string& serialNumber, const std::string& nodeName) {
    std::lock_guard<std::mutex> lock(mutex);
    std::set<std::string>& names = removedNodes[serialNumber];
    names.insert(nodeName);
    forEachDeviceLocked(serialNumber,
                        [&names](SimCameraDevice& device) { device.setMissingNodes(names); });
}

void Simulator::dropFrames(const std::string& serialNumber, int count) {
    std::lock_guard<std::mutex> lock(mutex);
    forEachDeviceLocked(serialNumber,
                        [count](SimCameraDevice& device) { device.dropNextFrames(count); });
}

std::size_t Simulator::enumerate(camera::DeviceInfoList& list, bool addToList) const {
    std::lock_guard<std::mutex> lock(mutex);
    if (!addToList) list.clear();
    for (const SimulatedCamera& camera : current.cameras)
        if (unplugged.count(camera.serialNumber) == 0)
            list.push_back({camera.serialNumber, camera.userDefinedName, camera::kSimulatedBackend});
    return list.size();
}

std::unique_ptr<camera::CameraDevice> Simulator::createDevice(const camera::DeviceInfo& info) {
    std::lock_guard<std::mutex> lock(mutex);
    const SimulatedCamera* camera = pluggedCameraLocked(info.serialNumber);
    if (camera == nullptr)
        throw camera::RuntimeException("no camera with serial number " + info.serialNumber +
                                       " is attached");
    const auto missing = removedNodes.find(info.serialNumber);
    auto device = std::make_unique<SimCameraDevice>(
        camera::DeviceInfo{camera->serialNumber, camera->userDefinedName, camera::kSimulatedBackend},
        current.root,
        SceneSettings{current.scene, current.noise, current.seed},
        missing == removedNodes.end() ? std::set<std::string>{} : missing->second,
        [this](SimCameraDevice* gone) { forget(gone); });
    devices.push_back(device.get());
    return device;
}

void Simulator::forget(SimCameraDevice* device) {
    std::lock_guard<std::mutex> lock(mutex);
    devices.erase(std::remove(devices.begin(), devices.end(), device), devices.end());
}

}  // namespace kelo::simcam
