// A unit's factory calibration: bad pixels, cell centres and the transfer and
// normal matrices, in full and restricted wavelength range, read from
// "cal/F/F-*.bin" where F is the unit's full device identifier.
#pragma once

#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

#include "config/DenseMatrix.h"

class SystemConfig;

struct BadPixel {
    std::int32_t cell = 0;  // only the low 16 bits count, as an unsigned number
    std::int32_t x = 0;
    std::int32_t y = 0;

    std::uint32_t cellIndex() const { return static_cast<std::uint16_t>(cell); }
};

struct CellCentre {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct CalibrationData {
    std::vector<BadPixel> badPixels;           // in file order
    std::vector<std::uint32_t> badPixelCount;  // per cell
    std::vector<CellCentre> cellCentres;       // record i belongs to cell i

    // W = maxWavelength - minWavelength + 1 columns, one per nm;
    // R = rangeMaxWavelength - rangeMinWavelength + 1; C = numCells.
    kelo::DenseMatrix trt;         // W x W normal matrix
    kelo::DenseMatrix trtRange;    // R x R block of trt over the restricted range
    kelo::DenseMatrix tmatT;       // W x C, the transposed transfer matrix
    kelo::DenseMatrix tmatRangeT;  // R x C, its rows of the restricted range
    kelo::DenseMatrix trtGb;       // the same four for the Gaussian-blur set,
    kelo::DenseMatrix trtGbRange;  // filled only when the unit uses it
    kelo::DenseMatrix tmatGbT;
    kelo::DenseMatrix tmatGbRangeT;

    // What failed the last load, naming the file; empty after a good load.
    std::string loadError;

    // Loads every file the record calls for, in order, printing the loader's
    // messages to `out` (and an unexpected failure to `err`). The first
    // failure ends the load with false and leaves what was read so far.
    bool loadCalibration(const SystemConfig& config, std::ostream& out = std::cout,
                         std::ostream& err = std::cerr);
};
