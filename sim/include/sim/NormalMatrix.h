// The normal matrix TᵀT that is stored beside a transfer matrix T.
#pragma once

#include "config/DenseMatrix.h"

namespace kelo::sim {

// TᵀT, every element summed over the rows of T in order, so the same T
// always gives the same bytes; the result is exactly symmetric.
DenseMatrix normalMatrix(const DenseMatrix& transfer);

}  // namespace kelo::sim
