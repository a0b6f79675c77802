// The process-wide owner of the device factory and of every device created
// through it. The program's static initialisation creates the instance, so
// the camera SDK is running before main; at exit the devices are deleted and
// then the factory shuts the SDK down.
//
// Threads: the user-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/KelDevice.h"
#include "device/KelIFactory.h"

class DeviceRegistry {
public:
    // The instance of the program, on the camera SDK's factory.
    static DeviceRegistry& instance();

    explicit DeviceRegistry(std::unique_ptr<Brevanta::KelIFactory> factory);
    // Deletes the devices (null entries skipped), then terminates the factory.
    ~DeviceRegistry();
    DeviceRegistry(const DeviceRegistry&) = delete;
    DeviceRegistry& operator=(const DeviceRegistry&) = delete;

    bool initialize();
    // Replaces `ids` with the serial numbers of the cameras plugged in now.
    void getDeviceList(std::vector<std::string>& ids);
    // The factory's device for `serialNumber`, kept here also when null. An
    // SDK error during creation yields null and keeps nothing.
    Brevanta::KelDevice* createDevice(const std::string& serialNumber);

    // Whether listing cameras also searches the network for GigE Vision
    // cameras, which broadcasts on every network interface. Off unless the
    // camera backend says gige; applies from the next listing.
    static void setNetworkSearch(bool on);
    static bool networkSearch();

    // How many creations were recorded, null results included.
    std::uint16_t createdCount() const { return deviceCount; }

private:
    std::vector<std::unique_ptr<Brevanta::KelDevice>> devices;
    std::uint16_t deviceCount = 0;
    std::unique_ptr<Brevanta::KelIFactory> factory;
};
