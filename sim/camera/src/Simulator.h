// The simulated cameras of the process: which are plugged in, what they look
// at, and the live devices made for them. Behind both the SDK's transport
// layer and the simulator control functions.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "TimerThread.h"
#include "camera/CameraDevice.h"
#include "simcam/SimulatorControl.h"

namespace kelo::simcam {

class SimCameraDevice;

class Simulator {
public:
    // Never destroyed, so devices and the pulse thread may outlive static
    // destruction safely.
    static Simulator& instance();

    // Throws std::invalid_argument for an unknown scene or a camera list
    // with an empty or repeated serial number.
    void configure(const SimulatorSettings& settings);
    SimulatorSettings settings() const;
    bool setScene(const std::string& scene);
    void setNoise(bool on);
    void setSeed(std::uint64_t seed);
    bool unplug(const std::string& serialNumber);
    bool plugIn(const std::string& serialNumber);
    void triggerPulse();
    void setTriggerRate(double hz);
    // Ends the pulse train and a pending unplug, at SDK shut-down.
    void stopTimers();
    void removeNode(const std::string& serialNumber, const std::string& nodeName);
    void dropFrames(const std::string& serialNumber, int count);

    std::size_t enumerate(camera::DeviceInfoList& list, bool addToList) const;
    // Throws RuntimeException when the camera is not plugged in.
    std::unique_ptr<camera::CameraDevice> createDevice(const camera::DeviceInfo& info);

private:
    Simulator();

    void forget(SimCameraDevice* device);
    void applySceneLocked();
    const SimulatedCamera* pluggedCameraLocked(const std::string& serialNumber) const;
    template <typename Action>
    void forEachDeviceLocked(const std::string& serialNumber, Action action);

    mutable std::mutex mutex;  // guards the members below
    SimulatorSettings current;
    std::set<std::string> unplugged;                            // serial numbers
    std::map<std::string, std::set<std::string>> removedNodes;  // by serial number
    std::vector<SimCameraDevice*> devices;                      // alive, in creation order

    TimerThread pulseTrain;       // calls triggerPulse; has its own lock
    TimerThread scheduledUnplug;  // settings' unplugAfterSeconds; has its own lock
};

}  // namespace kelo::simcam
