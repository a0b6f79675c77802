// Which cameras the program serves, chosen with KELO_CAMERA_BACKEND.
#pragma once

#include <string>

namespace kelo::backends {

enum class BackendChoice {
    Auto,        // USB3 Vision cameras first, then the simulated cameras
    Gige,        // as Auto, and GigE Vision cameras found on the network
    AravisFake,  // the fake camera standing in for the first simulated camera
    Sim,         // the simulated cameras alone
};

// The choice a value of KELO_CAMERA_BACKEND names ("auto", "gige",
// "aravis-fake", "sim"; unset or empty: auto). An unknown value gives Auto
// and a one-line `warning`.
BackendChoice parseBackendChoice(const char* value, std::string& warning);

}  // namespace kelo::backends
