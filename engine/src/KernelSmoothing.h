// Smoothing a fitted spectrum with the line-width kernel: the full linear
// convolution and the part of it that lines up with the fitted grid.
#pragma once

#include <cstddef>

namespace kelo::engine {

// c[i + j] += x[i] * k[j] over two n-point sequences; c has 2n - 1 values and
// must be zero on entry.
void convolveFull(const double* x, const double* kernel, std::size_t n, double* c);

// The n points of c aligned with the kernel's centre k[n / 2]: c[n / 2] up to
// c[n / 2 + n - 2], then that last value once more.
void centralPart(const double* c, std::size_t n, double* out);

}  // namespace kelo::engine
