// The factory transfer matrix of a synthetic unit: row i holds cell i's
// response to one unit of light at each nm of the unit's wavelength grid.
#pragma once

#include <vector>

#include "config/DenseMatrix.h"
#include "config/SystemConfigLayout.h"
#include "sim/CellLayout.h"
#include "sim/SeededRandom.h"
#include "sim/UnitModel.h"

namespace kelo::sim {

// Relative sensitivity of the silicon sensor at `wavelength` nm, peak 1.
double siliconSensitivity(const UnitModel& model, double wavelength);

// One row per cell, one column per grid point from block.minWavelength to
// block.maxWavelength in steps of block.wavelengthRes.
DenseMatrix transferMatrix(const UnitModel& model, const SystemConfigBlock& block,
                           const std::vector<PlacedCell>& cells, SeededRandom& random);

}  // namespace kelo::sim
