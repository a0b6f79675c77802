// The colour data files as columns of numbers, and the two ways their rows
// are resampled onto the colour grid.
#pragma once

#include <cstddef>
#include <vector>

namespace kelo::colour {

using Column = std::vector<double>;

// first, first + 1, ..., last.
Column integerGrid(int first, int last);

// Exactly `rows` lines of `columns` (2 or 4) numbers read with the C format
// "%lf %lf[ %lf %lf]", one Column per number. Empty, with a message naming
// the file on standard output, when the file is missing, a line stops the
// reading before the end of the file, or fewer rows are there, or a row
// is out of bounds: every number finite, the wavelengths (first column)
// within 100..2500 nm and increasing, the other values within +-1e6.
std::vector<Column> readFixedTable(const char* path, int columns, std::size_t rows);

// Groups of `columns` (2 or 4) numbers until the end of the file or the first
// value that cannot be read. Empty, with a message naming the file, when the
// file is missing or holds no whole group, or a group is out of the bounds
// of readFixedTable.
std::vector<Column> readListTable(const char* path, int columns);

// For fixed tables: the line of the nearest row at or below each grid
// wavelength (the last row continues the last segment, the first row's line
// reaches below the table).
Column arrayInterpolation(const Column& x, const Column& y, const Column& grid);

// For tables of any length: the table value where a wavelength matches,
// linear between neighbours, and outside the table the previous grid
// wavelength's value (the first table value before there is one).
Column listInterpolation(const Column& x, const Column& y, const Column& grid);

}  // namespace kelo::colour
