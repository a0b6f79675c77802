// Creates the devices of the attached cameras. Not a QObject; implementations
// answer a Qt interface cast for "KelIFactory".
#pragma once

#include <QObject>
#include <string>
#include <vector>

namespace Brevanta {

class KelDevice;

class KelIFactory {
public:
    virtual ~KelIFactory() = default;
    // Attaches the cameras plugged in now. False when there is none or the
    // SDK failed.
    virtual bool initialize() = 0;
    // The serial numbers of the cameras plugged in now, in enumeration order.
    virtual std::vector<std::string> getDeviceList() = 0;
    // A new device for an attached camera with exactly this serial number, or
    // null. The caller owns the device.
    virtual KelDevice* createDevice(const std::string& serialNumber) = 0;
    // Shuts the SDK down; later calls do nothing.
    virtual void terminate() = 0;
};

}  // namespace Brevanta

#define KelIFactory_iid "KelIFactory"
Q_DECLARE_INTERFACE(Brevanta::KelIFactory, KelIFactory_iid)
