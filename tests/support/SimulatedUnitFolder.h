// A scratch working folder holding one synthetic unit, for the simulated
// cameras of a test suite. Cameras are plugged in with fresh serial numbers,
// so that every test gets devices of its own from the process-wide registry.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace kelo::test {

class SimulatedUnitFolder {
public:
    // The folder becomes the working directory; the unit is written into its
    // cal/ (a failure fails the running test).
    explicit SimulatedUnitFolder(const std::string& unitId);
    // Unplugs every camera first: none may go on rendering from the folder.
    ~SimulatedUnitFolder();
    SimulatedUnitFolder(const SimulatedUnitFolder&) = delete;
    SimulatedUnitFolder& operator=(const SimulatedUnitFolder&) = delete;

    const std::filesystem::path& path() const { return dir.path(); }

    // Plugs in exactly `count` new cameras showing `scene` without noise, all
    // belonging to `unitId` (the folder's unit when empty); their serial
    // numbers.
    std::vector<std::string> plugCameras(std::size_t count, const std::string& scene,
                                         const std::string& unitId = {});

private:
    ScopedWorkDir dir;
    std::string unit;
};

}  // namespace kelo::test
