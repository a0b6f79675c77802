// Refining evenly spaced spectral tables: every interval between two nodes
// is split into `parts` equal steps (5 nm nodes, parts 5: a 1 nm table).
// Both return (nodes - 1) * parts + 1 values and keep the node values.
#pragma once

#include <array>
#include <vector>

namespace kelo::colourdata {

// Sprague's six-point quintic with the coefficients of the CIE
// recommendation for interpolating colorimetric tables. Needs at least six
// nodes; the two nodes it lacks at each end come from spragueBelowFirst and
// spragueAboveLast. Reproduces polynomials up to the fourth degree where no
// extrapolated node is involved and straight lines everywhere.
std::vector<double> spragueRefine(const std::vector<double>& nodes, int parts);

// F-2 and F-1, extrapolated from the first six nodes.
std::array<double, 2> spragueBelowFirst(const std::vector<double>& nodes);
// F(n+1) and F(n+2), extrapolated from the last six nodes.
std::array<double, 2> spragueAboveLast(const std::vector<double>& nodes);

// Straight lines between neighbouring nodes. Needs at least two nodes.
std::vector<double> linearRefine(const std::vector<double>& nodes, int parts);

}  // namespace kelo::colourdata
