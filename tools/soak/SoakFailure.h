// The soak's own trouble in the instrument process (a fault it cannot
// inject, a unit it cannot write), told apart from the instrument's faults:
// the process ends with kExitSoakFailure and the soak stops.
#pragma once

#include <stdexcept>

namespace kelo::soak {

constexpr int kExitSoakFailure = 2;

struct SoakFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace kelo::soak
