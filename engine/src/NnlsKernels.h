// The inner loops of the active-set solver over contiguous vectors. On
// x86-64 each is built for the baseline, for AVX2 with FMA and for AVX-512,
// and the loader picks the one the processor runs.
#pragma once

#include <cstddef>

namespace kelo::engine::kernels {

// Gram-Schmidt of `work` (m values) against the k orthonormal columns of
// `q` (column j at q + j * m) in blocks of eight columns: the coefficients
// q_j . work of a block are taken together from work as the earlier blocks
// left it, stored in coefficients[j] and removed from work. Returns the
// squared norm of what is left in work.
double orthogonalise(const double* q, std::size_t m, std::size_t k, double* work,
                     double* coefficients);

// target = factor * source; returns target . b.
double scaleAndDot(const double* source, double factor, const double* b, std::size_t m,
                   double* target);

// The plane rotation (c, s) of the pair (x, y): x' = c x + s y goes to
// xOut, y' = c y - s x back to y. xOut may be x itself.
void rotate(const double* x, double* y, std::size_t n, double c, double s, double* xOut);

double dot(const double* a, const double* b, std::size_t n);

// sums[r] = rows[r] . x for `count` rows (each n values), eight rows per
// sweep over x.
void dotRows(const double* const* rows, std::size_t count, const double* x, std::size_t n,
             double* sums);

// Back substitution R x = rhs for the upper triangle of the count x count
// matrix R, row-major with rows `stride` apart.
void backSubstitute(const double* r, std::size_t stride, std::size_t count, const double* rhs,
                    double* solution);

// w -= sum over j < k of weights[j] * columns[j] (each n values).
void subtractWeightedColumns(const double* const* columns, const double* weights, std::size_t k,
                             std::size_t n, double* w);

}  // namespace kelo::engine::kernels
