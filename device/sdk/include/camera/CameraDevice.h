// The camera SDK as the device layer sees it: start-up and shut-down,
// enumeration of attached cameras, and one camera device per attached
// camera. The backends library implements the entry points below, over the
// simulated cameras and the GenICam cameras through Aravis.
//
// Threads: enumeration and device creation run on the user-interface
// thread; a device may be driven from two threads at once (settings from the
// user-interface thread, grabs from the acquisition worker).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "camera/Errors.h"
#include "camera/GrabResult.h"
#include "camera/NodeMap.h"

namespace kelo::camera {

// Which backend serves a camera; kSimulatedBackend for the simulated ones.
inline constexpr const char* kSimulatedBackend = "simulated";

struct DeviceInfo {
    std::string serialNumber;     // identifies the camera in enumeration
    std::string userDefinedName;  // the spectrometer's device id
    std::string backend;          // what serves the camera: kSimulatedBackend, ...
};
using DeviceInfoList = std::vector<DeviceInfo>;

enum class GrabStrategy {
    OneByOne,         // every image, in order of arrival
    LatestImageOnly,  // only the newest image; older ones are dropped
};

enum class GrabLoop {
    ProvidedByUser,          // the caller retrieves results itself
    ProvidedByInstantCamera  // the SDK's own thread drives the grab
};

enum class TimeoutHandling { Return, ThrowException };

// One opened or openable camera. Operations throw GenericException (or a
// derived type) on failure, RuntimeException once the camera is removed.
class CameraDevice {
public:
    virtual ~CameraDevice() = default;

    virtual DeviceInfo deviceInfo() const = 0;
    virtual void open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // True once the camera was unplugged; it stays true for this device.
    virtual bool isRemoved() const = 0;
    // Node access needs an open camera (LogicalErrorException otherwise).
    virtual NodeMap& nodeMap() = 0;

    // Starts a grab that runs until stopGrabbing; with maxImages > 0 it ends
    // by itself after that many images. Needs an open camera. A grab that is
    // already running is stopped first (its pending images are dropped).
    // Both loop owners deliver through retrieveResult.
    virtual void startGrabbing(GrabStrategy strategy, GrabLoop loop,
                               std::size_t maxImages = 0) = 0;
    // Blocks up to timeoutMs for the next image of the running grab. With
    // TimeoutHandling::Return a time-out returns false, otherwise throws
    // TimeoutException. The grab ends (isGrabbing false) after the last image
    // of a limited grab has been retrieved. Without a running grab it returns
    // false at once.
    virtual bool retrieveResult(unsigned timeoutMs, GrabResult& result,
                                TimeoutHandling handling) = 0;
    virtual void stopGrabbing() = 0;
    virtual bool isGrabbing() const = 0;
};

class TransportLayerFactory {
public:
    virtual ~TransportLayerFactory() = default;
    // Fills `list` with the cameras attached now (replacing its contents
    // unless addToList) and returns how many it holds.
    virtual std::size_t enumerateDevices(DeviceInfoList& list, bool addToList = false) = 0;
    // A device for an enumerated camera; throws when it is no longer attached.
    virtual std::unique_ptr<CameraDevice> createDevice(const DeviceInfo& info) = 0;
};

// Once at program start, before any other call; once at exit.
void sdkInitialize();
void sdkTerminate();
TransportLayerFactory& transportLayerFactory();
// GigE Vision discovery on the network during enumeration (broadcasts on
// every interface): only when the operator asks for it.
void sdkSetNetworkDiscovery(bool on);
bool sdkNetworkDiscovery();

}  // namespace kelo::camera
