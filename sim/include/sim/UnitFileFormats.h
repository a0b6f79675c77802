// The bytes of the files of a unit, as the application reads them: numbers
// little-endian whatever the host, text in the C locale.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/DenseMatrix.h"
#include "config/SystemConfigLayout.h"
#include "sim/BadPixels.h"
#include "sim/CellLayout.h"

namespace kelo::sim {

using Bytes = std::vector<std::uint8_t>;

// The 124-byte system file: version text, then the block in the current or
// the old layout; bytes no field covers are zero.
Bytes systemFileBytes(const SystemConfigBlock& block, bool oldLayout);

// Every element as a float64, row by row.
Bytes matrixBytes(const DenseMatrix& matrix);

// int32 x and y of each cell's centre, in cell order.
Bytes cellCentreBytes(const std::vector<PlacedCell>& cells);

// int32 cell, x and y of each record, in record order.
Bytes badPixelBytes(const std::vector<BadPixelRecord>& records);

// One value per line, each the shortest text that reads back exactly.
std::string whiteLidText(const std::vector<double>& curve);

}  // namespace kelo::sim
