// The process-wide maker of the acquisition controller: one controller for
// the first listed camera, under shared ownership.
//
// Threads: the user-interface thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "acquisition/KelSpectro.h"

class KelSpectroFactory {
public:
    static constexpr const char* kSoftwareVersion = "2.0.3";

    static KelSpectroFactory& instance();

    // Attaches the cameras; `ids` receives the serial numbers listed now, also
    // when attaching failed.
    bool init(std::vector<std::string>& ids);
    // A controller for the first listed camera, or empty when none is listed.
    // The controller's device is null when the camera could not be created.
    std::shared_ptr<Brevanta::KelSpectro> createSpectro();
    void softwareVersion(std::string& version) const;

private:
    std::vector<std::string> deviceIds;  // as last listed
};
