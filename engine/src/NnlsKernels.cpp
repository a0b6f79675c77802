#include "NnlsKernels.h"

#include "VectorClones.h"

namespace kelo::engine::kernels {

// The reductions below run over the halves or quarters of their vectors at
// once: one running sum alone would make every step wait for the previous
// addition.

namespace {

constexpr std::size_t kBlock = 8;

// The columns of one block of the Gram-Schmidt sweep. A block narrower than
// kBlock repeats its last column in the places left over, with a zero
// weight in the removal, so that every block runs the same loops.
struct SweepBlock {
    const double* columns[kBlock];
    std::size_t width;
};

inline __attribute__((always_inline)) SweepBlock sweepBlock(const double* q, std::size_t m,
                                                            std::size_t first, std::size_t k) {
    SweepBlock block;
    block.width = k - first < kBlock ? k - first : kBlock;
    for (std::size_t j = 0; j < kBlock; ++j)
        block.columns[j] = q + (first + (j < block.width ? j : block.width - 1)) * m;
    return block;
}

// sums[j] = vectors[j] . x for eight vectors at once, x read once.
inline __attribute__((always_inline)) void dotEight(const double* const vectors[8],
                                                    const double* x, std::size_t n,
                                                    double sums[8]) {
    const double *v0 = vectors[0], *v1 = vectors[1], *v2 = vectors[2], *v3 = vectors[3],
                 *v4 = vectors[4], *v5 = vectors[5], *v6 = vectors[6], *v7 = vectors[7];
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0, s4 = 0.0, s5 = 0.0, s6 = 0.0, s7 = 0.0;
#pragma omp simd reduction(+ : s0, s1, s2, s3, s4, s5, s6, s7)
    for (std::size_t i = 0; i < n; ++i) {
        const double xi = x[i];
        s0 += v0[i] * xi;
        s1 += v1[i] * xi;
        s2 += v2[i] * xi;
        s3 += v3[i] * xi;
        s4 += v4[i] * xi;
        s5 += v5[i] * xi;
        s6 += v6[i] * xi;
        s7 += v7[i] * xi;
    }
    sums[0] = s0;
    sums[1] = s1;
    sums[2] = s2;
    sums[3] = s3;
    sums[4] = s4;
    sums[5] = s5;
    sums[6] = s6;
    sums[7] = s7;
}

// The block's coefficients against work as it stands: independent dot
// products, work read once for all of them.
inline __attribute__((always_inline)) void blockCoefficients(const SweepBlock& block,
                                                             std::size_t m, const double* work,
                                                             double* coefficients) {
    double sums[kBlock];
    dotEight(block.columns, work, m, sums);
    for (std::size_t j = 0; j < block.width; ++j) coefficients[j] = sums[j];
}

// work -= the block's columns times their coefficients.
inline __attribute__((always_inline)) void removeBlock(const SweepBlock& block, std::size_t m,
                                                       const double* coefficients, double* work) {
    double c[kBlock];
    for (std::size_t j = 0; j < kBlock; ++j) c[j] = j < block.width ? coefficients[j] : 0.0;
    const double *q0 = block.columns[0], *q1 = block.columns[1], *q2 = block.columns[2],
                 *q3 = block.columns[3], *q4 = block.columns[4], *q5 = block.columns[5],
                 *q6 = block.columns[6], *q7 = block.columns[7];
    const double w0 = c[0], w1 = c[1], w2 = c[2], w3 = c[3], w4 = c[4], w5 = c[5], w6 = c[6],
                 w7 = c[7];
#pragma omp simd
    for (std::size_t i = 0; i < m; ++i)
        work[i] -= ((w0 * q0[i] + w1 * q1[i]) + (w2 * q2[i] + w3 * q3[i])) +
                   ((w4 * q4[i] + w5 * q5[i]) + (w6 * q6[i] + w7 * q7[i]));
}

}  // namespace

KELO_VECTOR_CLONES
double orthogonalise(const double* q, std::size_t m, std::size_t k, double* work,
                     double* coefficients) {
    for (std::size_t first = 0; first < k; first += kBlock) {
        const SweepBlock block = sweepBlock(q, m, first, k);
        blockCoefficients(block, m, work, coefficients + first);
        removeBlock(block, m, coefficients + first, work);
    }
    return dot(work, work, m);
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

namespace {

inline __attribute__((always_inline)) void dotFourRows(const double* r0, const double* r1,
                                                       const double* r2, const double* r3,
                                                       const double* x, std::size_t n,
                                                       double sums[4]) {
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

}  // namespace

KELO_VECTOR_CLONES
void dotFour(const double* const rows[4], const double* x, std::size_t n, double sums[4]) {
    dotFourRows(rows[0], rows[1], rows[2], rows[3], x, n, sums);
}

KELO_VECTOR_CLONES
void backSubstitute(const double* r, std::size_t stride, std::size_t count, const double* rhs,
                    double* solution) {
    // Eight rows at a time, from the last: their products with the part of
    // the solution already known in one sweep, then the small triangle they
    // share. The reciprocals of their diagonal are taken before the sweep, and
    // each row takes the entry just solved last, so that a row waits for the
    // one below only through one multiply-add and one multiplication. The
    // rows above the last whole block (fewer than eight) repeat their first
    // row in the sweep.
    constexpr std::size_t rowsPerBlock = 8;
    std::size_t end = count;
    while (end > 0) {
        const std::size_t first = end >= rowsPerBlock ? end - rowsPerBlock : 0;
        const double* rows[rowsPerBlock];
        const double* tails[rowsPerBlock];
        double inverse[rowsPerBlock];
        for (std::size_t j = 0; j < rowsPerBlock; ++j) {
            const std::size_t p = first + j < end ? first + j : first;
            rows[j] = r + p * stride;
            tails[j] = rows[j] + end;
            inverse[j] = 1.0 / rows[j][p];
        }
        double known[rowsPerBlock];
        dotEight(tails, solution + end, count - end, known);
        for (std::size_t p = end; p-- > first;) {
            const double* row = rows[p - first];
            double sum = rhs[p] - known[p - first];
            for (std::size_t j = end; j-- > p + 1;) sum -= row[j] * solution[j];
            solution[p] = sum * inverse[p - first];
        }
        end = first;
    }
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
