// kelo devices: the attached cameras, one line each: serial number, tab,
// user-defined name (the unit's device id), tab, the backend serving it.
#include <iostream>

#include "ArgumentList.h"
#include "Commands.h"
#include "device/CameraList.h"

namespace kelo::cli {

int runDevices(const Words& words) {
    std::string error;
    auto arguments = ArgumentList::parse(words, {}, {}, error);
    if (!arguments) return usageError("devices", error);
    if (!arguments->positional().empty()) return usageError("devices", "usage: kelo devices");

    for (const camera::DeviceInfo& camera : device::listCameras())
        std::cout << camera.serialNumber << "\t" << camera.userDefinedName << "\t" << camera.backend << "\n";
    std::cout.flush();
    return 0;
}

}  // namespace kelo::cli
