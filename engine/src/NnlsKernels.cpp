#include "NnlsKernels.h"

#include "VectorClones.h"

namespace kelo::engine::kernels {

// The reductions below run over the halves or quarters of their vectors at
// once: one running sum alone would make every step wait for the previous
// addition.

KELO_VECTOR_CLONES
double orthogonalise(const double* q, std::size_t m, std::size_t k, double* work,
                     double* coefficients) {
    // Each pass removes the previous column's share while it takes the
    // current column's coefficient, so q is read once from memory. Before
    // the first column nothing is removed (a zero share of work itself).
    const std::size_t half = m / 2;
    double* work2 = work + half;
    const double* previous = work;
    double share = 0.0;
    for (std::size_t j = 0; j < k; ++j) {
        const double* qj = q + j * m;
        const double* qj2 = qj + half;
        const double* previous2 = previous + half;
        double c1 = 0.0, c2 = 0.0;
#pragma omp simd reduction(+ : c1, c2)
        for (std::size_t i = 0; i < half; ++i) {
            work[i] -= share * previous[i];
            work2[i] -= share * previous2[i];
            c1 += qj[i] * work[i];
            c2 += qj2[i] * work2[i];
        }
        for (std::size_t i = 2 * half; i < m; ++i) {
            work[i] -= share * previous[i];
            c1 += qj[i] * work[i];
        }
        coefficients[j] = c1 + c2;
        previous = qj;
        share = c1 + c2;
    }
    const double* previous2 = previous + half;
    double n1 = 0.0, n2 = 0.0;
#pragma omp simd reduction(+ : n1, n2)
    for (std::size_t i = 0; i < half; ++i) {
        work[i] -= share * previous[i];
        work2[i] -= share * previous2[i];
        n1 += work[i] * work[i];
        n2 += work2[i] * work2[i];
    }
    for (std::size_t i = 2 * half; i < m; ++i) {
        work[i] -= share * previous[i];
        n1 += work[i] * work[i];
    }
    return n1 + n2;
}

KELO_VECTOR_CLONES
double scaleAndDot(const double* source, double factor, const double* b, std::size_t m,
                   double* target) {
    double sum = 0.0;
#pragma omp simd reduction(+ : sum)
    for (std::size_t i = 0; i < m; ++i) {
        target[i] = factor * source[i];
        sum += target[i] * b[i];
    }
    return sum;
}

KELO_VECTOR_CLONES
void rotate(const double* x, double* y, std::size_t n, double c, double s, double* xOut) {
#pragma omp simd
    for (std::size_t i = 0; i < n; ++i) {
        const double xi = x[i];
        const double yi = y[i];
        xOut[i] = c * xi + s * yi;
        y[i] = c * yi - s * xi;
    }
}

KELO_VECTOR_CLONES
double dot(const double* a, const double* b, std::size_t n) {
    const std::size_t quarter = n / 4;
    const double *a1 = a + quarter, *a2 = a1 + quarter, *a3 = a2 + quarter;
    const double *b1 = b + quarter, *b2 = b1 + quarter, *b3 = b2 + quarter;
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
#pragma omp simd reduction(+ : s0, s1, s2, s3)
    for (std::size_t i = 0; i < quarter; ++i) {
        s0 += a[i] * b[i];
        s1 += a1[i] * b1[i];
        s2 += a2[i] * b2[i];
        s3 += a3[i] * b3[i];
    }
    for (std::size_t i = 4 * quarter; i < n; ++i) s0 += a[i] * b[i];
    return (s0 + s1) + (s2 + s3);
}

KELO_VECTOR_CLONES
void dotFour(const double* const rows[4], const double* x, std::size_t n, double sums[4]) {
    const double *r0 = rows[0], *r1 = rows[1], *r2 = rows[2], *r3 = rows[3];
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
#pragma omp simd reduction(+ : s0, s1, s2, s3)
    for (std::size_t i = 0; i < n; ++i) {
        s0 += r0[i] * x[i];
        s1 += r1[i] * x[i];
        s2 += r2[i] * x[i];
        s3 += r3[i] * x[i];
    }
    sums[0] = s0;
    sums[1] = s1;
    sums[2] = s2;
    sums[3] = s3;
}

KELO_VECTOR_CLONES
void subtractWeightedColumns(const double* const* columns, const double* weights, std::size_t k,
                             std::size_t n, double* w) {
    // Four columns per sweep over w.
    std::size_t j = 0;
    for (; j + 4 <= k; j += 4) {
        const double* c0 = columns[j];
        const double* c1 = columns[j + 1];
        const double* c2 = columns[j + 2];
        const double* c3 = columns[j + 3];
        const double w0 = weights[j], w1 = weights[j + 1], w2 = weights[j + 2], w3 = weights[j + 3];
#pragma omp simd
        for (std::size_t i = 0; i < n; ++i)
            w[i] -= (w0 * c0[i] + w1 * c1[i]) + (w2 * c2[i] + w3 * c3[i]);
    }
    for (; j < k; ++j) {
        const double* cj = columns[j];
        const double wj = weights[j];
#pragma omp simd
        for (std::size_t i = 0; i < n; ++i) w[i] -= wj * cj[i];
    }
}

}  // namespace kelo::engine::kernels
