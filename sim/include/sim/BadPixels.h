// The bad pixels a synthetic unit is shipped with.
#pragma once

#include <vector>

#include "config/SystemConfigLayout.h"
#include "sim/CellLayout.h"
#include "sim/SeededRandom.h"
#include "sim/UnitModel.h"

namespace kelo::sim {

struct BadPixelRecord {
    int cell = 0;
    int x = 0;  // column in the sensor window
    int y = 0;  // row in the sensor window
};

// model.badPixelsPerCell[k] distinct pixels in the window of the k-th of as
// many distinct cells drawn at random; the records of one cell are adjacent.
std::vector<BadPixelRecord> chooseBadPixels(const UnitModel& model, const SystemConfigBlock& block,
                                            const std::vector<PlacedCell>& cells,
                                            SeededRandom& random);

}  // namespace kelo::sim
