// Where the sampling cells of a synthetic unit lie on the sensor and which
// wavelength each is centred on.
#pragma once

#include <vector>

#include "config/SystemConfigLayout.h"
#include "sim/SeededRandom.h"
#include "sim/UnitModel.h"

namespace kelo::sim {

struct PlacedCell {
    int x = 0;  // centre pixel in the sensor window
    int y = 0;
    double centreWavelength = 0.0;  // nm, middle of the cell's passband
};

// model.tracks * model.cellsPerTrack cells in the window of `block`, track by
// track from the top, each track from left to right.
std::vector<PlacedCell> placeCells(const UnitModel& model, const SystemConfigBlock& block,
                                   SeededRandom& random);

}  // namespace kelo::sim
