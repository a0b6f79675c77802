// The white-lid correction curve of a synthetic unit.
#pragma once

#include <vector>

#include "config/SystemConfigLayout.h"
#include "sim/UnitModel.h"

namespace kelo::sim {

// One value per grid point of the restricted range of `block`, close to
// model.whiteLidLevel and changing slowly with the wavelength.
std::vector<double> whiteLidCurve(const UnitModel& model, const SystemConfigBlock& block);

}  // namespace kelo::sim
