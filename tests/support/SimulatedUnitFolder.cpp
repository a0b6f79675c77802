#include "SimulatedUnitFolder.h"

#include <gtest/gtest.h>

#include <sstream>

#include "sim/SyntheticUnit.h"
#include "simcam/SimulatorControl.h"

namespace kelo::test {

SimulatedUnitFolder::SimulatedUnitFolder(const std::string& unitId) : unit(unitId) {
    sim::SyntheticUnitOptions options;
    options.id = unitId;
    options.root = dir.path();
    std::ostringstream log;
    const std::string failure = sim::writeSyntheticUnit(options, log);
    if (!failure.empty()) ADD_FAILURE() << "unit " << unitId << ": " << failure;
}

SimulatedUnitFolder::~SimulatedUnitFolder() {
    simcam::SimulatorSettings unplugged;
    unplugged.cameras.clear();
    simcam::configure(unplugged);
}

std::vector<std::string> SimulatedUnitFolder::plugCameras(std::size_t count,
                                                          const std::string& scene,
                                                          const std::string& unitId) {
    static int nextSerial = 50000000;
    simcam::SimulatorSettings settings;
    settings.cameras.clear();
    std::vector<std::string> serials;
    for (std::size_t i = 0; i < count; ++i) {
        serials.push_back(std::to_string(nextSerial++));
        settings.cameras.push_back({serials.back(), unitId.empty() ? unit : unitId});
    }
    settings.scene = scene;
    settings.noise = false;
    settings.root = dir.path();
    simcam::configure(settings);
    return serials;
}

}  // namespace kelo::test
