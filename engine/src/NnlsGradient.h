// The solver's matrix and the products derived from it, and the gradient
// A^T (b - A x) of the least-squares objective at a point x.
//
// Taken the direct way, the gradient costs two m x n matrix-vector products.
// With A^T A formed once per matrix and A^T b once per right-hand side it is
// A^T b - (A^T A) x over the nonzero entries of x, or, when these are the
// majority, only for the entries outside them: at most n^2 / 2 products.
// Both ways round differently; bound() says by how much at most, so that a
// caller can fall back to the direct way where the difference could matter.
#pragma once

#include <cstddef>
#include <vector>

namespace kelo::engine {

class NnlsGradient {
public:
    // Copies A (m x n, column-major) and forms A^T A and the column norms,
    // unless the same matrix is already held.
    void prepare(const double* a, std::size_t m, std::size_t n);

    // Forms A^T b; b must stay unchanged while gradients are taken.
    void setRightHandSide(const double* b);

    // w = A^T b - (A^T A) x, where x is zero outside the k variables
    // `support`. Entries of w for variables in the support may be left
    // stale. Returns a bound on the difference to exact() in every entry
    // that is computed.
    double fast(const double* x, const int* support, std::size_t k, double* w);

    // w = A^T (b - A x) with the BLAS, step by step.
    void exact(const double* x, double* w);

    // |A x - b| / |b|, or 0 when b is 0.
    double relativeResidual(const double* x);

    const double* column(int j) const { return a.data() + static_cast<std::size_t>(j) * m; }
    double columnNorm(int j) const { return columnNorms[static_cast<std::size_t>(j)]; }

private:
    bool holds(const double* matrix, std::size_t rows, std::size_t columns) const;

    std::size_t m = 0;
    std::size_t n = 0;
    std::vector<double> a;            // m x n, column-major
    std::vector<double> gram;         // A^T A, n x n, both triangles
    std::vector<double> columnNorms;  // |a_j|
    double largestColumnNorm = 0.0;

    const double* b = nullptr;
    double bNorm = 0.0;
    std::vector<double> atb;                // A^T b
    std::vector<double> residual;           // m
    std::vector<char> inSupport;            // n flags
    std::vector<std::size_t> outside;       // the variables outside the support
    std::vector<const double*> gramSlices;  // the columns or rows of A^T A taken
    std::vector<double> sliceValues;        // their weights or products
};

}  // namespace kelo::engine
