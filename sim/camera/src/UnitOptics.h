// What a simulated camera knows of the unit it belongs to: where the cell
// windows lie on the unit's image and how each cell answers to light (the
// unit's transfer matrix), read from the unit's files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "config/DenseMatrix.h"
#include "config/SystemConfigLayout.h"

namespace kelo::simcam {

// Wide enough for any number a unit file holds plus an offset.
struct PixelPlace {
    std::int64_t x = 0;
    std::int64_t y = 0;
};

struct UnitOptics {
    SystemConfigBlock block;
    std::vector<PixelPlace> cellCentres;  // in the unit's image, software offsets added
    std::vector<PixelPlace> badPixels;    // in the unit's image
    DenseMatrix transfer;                 // numCells rows, one column per nm from minWavelength
};

struct UnitOpticsLoad {
    std::shared_ptr<const UnitOptics> optics;  // null when the unit could not be read
    std::string problem;                       // what was wrong with which file
};

// Reads root/cal/ID/ID-cfgSys.bin, then the cell centres, transfer matrix
// and bad pixels filed under the unit's full device id. Missing bad pixels
// are no problem; every other missing or short file is.
UnitOpticsLoad loadUnitOptics(const std::filesystem::path& root, const std::string& id);

// T s: each cell's response to the scene, before exposure and gain.
std::vector<double> cellResponses(const UnitOptics& optics, const std::string& scene);

}  // namespace kelo::simcam
