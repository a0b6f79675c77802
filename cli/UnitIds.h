// Unit identifiers given on the command line. The libraries name a unit's
// files and messages after its id, so an id that no system file can hold is
// refused before it reaches them.
#pragma once

#include <cstddef>
#include <string>

#include "config/SystemConfigLayout.h"

namespace kelo::cli {

// The most characters of a device id and a full device id: their fields in
// the system file, filled to the end.
constexpr std::size_t kLongestDeviceId = kDeviceIdSize;
constexpr std::size_t kLongestFullDeviceId = kFullDeviceIdSize;

// Empty when `id` has at most `longest` characters; otherwise the one line
// that refuses it, naming it as `what` ("unit id").
std::string idLengthProblem(const std::string& what, const std::string& id, std::size_t longest);

}  // namespace kelo::cli
