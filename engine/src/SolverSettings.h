// The fixed parameters of the spectrum solve, in one place.
#pragma once

#include <cstddef>

namespace kelo::engine {

// A gradient entry must exceed this to bring its variable into the fit.
inline constexpr double kSolverTolerance = 1e-6;

// A candidate column whose part orthogonal to the passive columns is no more
// than this fraction of its norm is numerically dependent on them: adding it
// would put a zero on the diagonal of R. Rounding alone leaves about n * 1e-16.
inline constexpr double kDependentColumnRatio = 1e-10;

// Outer iterations and inner passes allowed for n unknowns, each in total
// over one solve: the classic Lawson-Hanson bound of 3n.
inline int iterationCap(std::size_t n) {
    return static_cast<int>(3 * n);
}

}  // namespace kelo::engine
