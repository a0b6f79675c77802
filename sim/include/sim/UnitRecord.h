// The system configuration record of a synthetic unit and the ids it can hold.
#pragma once

#include "config/SystemConfigLayout.h"
#include "sim/SyntheticUnit.h"

namespace kelo::sim {

// Why the ids of `options` cannot be stored in the record or name the unit's
// folders, or an empty text when they can.
std::string identifierProblem(const SyntheticUnitOptions& options);

// The full id the unit's calibration files are filed under.
std::string effectiveFullId(const SyntheticUnitOptions& options);

// The record's defaults with the ids, modes and cell count of `options`;
// ids too long for their fields are cut.
SystemConfigBlock unitRecord(const SyntheticUnitOptions& options);

}  // namespace kelo::sim
