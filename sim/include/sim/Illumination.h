// The transfer matrix for frames that were divided by a peak-normalised
// heavy blur of themselves: that division lifts the dim outer parts of the
// sensor, so each cell's response grows by the inverse of the light that
// reaches its place.
#pragma once

#include <vector>

#include "config/DenseMatrix.h"
#include "sim/CellLayout.h"
#include "sim/UnitModel.h"

namespace kelo::sim {

// Share of the peak illumination reaching pixel (x, y), in (0, 1].
double illuminationFactor(const UnitModel& model, double x, double y);

// `transfer` with row i divided by the illumination at cell i's centre.
DenseMatrix blurredFrameTransfer(const UnitModel& model, const DenseMatrix& transfer,
                                 const std::vector<PlacedCell>& cells);

}  // namespace kelo::sim
