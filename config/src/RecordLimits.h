// Holding the fields of a unit's files to the unit limits.
#pragma once

#include <string>

#include "config/SystemConfigLayout.h"

namespace kelo {

// The first field of the system file's block outside the unit limits, as
// "<field> is <value>, ..." , or an empty text.
std::string systemFieldProblem(const SystemConfigBlock& block);

// The same for the two numbers of the user file.
std::string userFieldProblem(double hwGain, double hwExposureTime);

}  // namespace kelo
