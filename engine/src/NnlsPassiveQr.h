// The QR factorisation A_P = Q R of the passive columns of the solver's
// matrix, with Q^T b alongside, updated column by column: Gram-Schmidt to
// add a column, plane rotations to remove one. Everything is stored by
// passive position (column p of Q, row p of R and entry p of Q^T b belong
// to the variable at position p), so the live part is contiguous.
#pragma once

#include <cstddef>
#include <vector>

namespace kelo::engine {

class NnlsPassiveQr {
public:
    // Work space for m x n problems; allocates only when the shape grows.
    void reserve(std::size_t m, std::size_t n);
    void clear() { count = 0; }

    std::size_t size() const { return count; }
    const int* variables() const { return list.data(); }

    // Orthogonalises `column` (m values, variable `variable`) against the
    // passive columns and appends it, with its entry of Q^T b, unless what is
    // left of it is no more than dependentRatio * columnNorm: such a column
    // is numerically dependent on the passive ones, and false is returned.
    bool append(int variable, const double* column, double columnNorm, const double* b,
                double dependentRatio);

    // Q^T b for a new right-hand side (m values), the factorisation kept:
    // the columns of Q are orthonormal, so one product replaces Q^T b.
    void setRightHandSide(const double* b);

    // Takes the variable at `position` out, rotating each later row of R
    // against the removed one so that R stays upper triangular.
    void remove(std::size_t position);

    // Back substitution R z_P = Q^T b: z receives n values, zero outside the
    // passive set. Returns the smallest passive entry, +infinity when none.
    double solve(double* z);

private:
    double* qColumn(std::size_t position) { return q.data() + position * m; }
    double* rRow(std::size_t position) { return r.data() + position * n; }

    std::size_t m = 0;
    std::size_t n = 0;
    std::size_t count = 0;
    std::vector<double> q;     // n columns of m
    std::vector<double> r;     // n x n, row-major; the upper triangle is live
    std::vector<double> qtb;   // Q^T b
    std::vector<int> list;     // the variable at each position
    std::vector<double> work;  // the column being orthogonalised
    std::vector<double> carriedColumn, carriedRow, zByPosition;
};

// The plane rotation (c, s) that turns (a, e) into (c a + s e, 0): the
// identity when both are zero.
struct Givens {
    double c = 1.0;
    double s = 0.0;
};
Givens givensFor(double a, double e);

}  // namespace kelo::engine
