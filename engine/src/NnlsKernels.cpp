#include "NnlsKernels.h"

#include "VectorClones.h"

namespace kelo::engine::kernels {

// The reductions below run over several vectors, or the halves or quarters
// of one, at once: one running sum alone would make every step wait for the
// previous addition. The matrices they read (Q, R, A^T A) are larger than
// the second-level cache, so eight vectors per sweep also keep enough reads
// from memory in flight.

namespace {

constexpr std::size_t kWay = 8;

// sums[j] = vectors[j] . x for eight vectors at once, x read once.
inline __attribute__((always_inline)) void dotEightWay(const double* const vectors[kWay],
                                                       const double* x, std::size_t n,
                                                       double sums[kWay]) {
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

// w -= sum of weights[j] * vectors[j] over eight vectors, w written once.
inline __attribute__((always_inline)) void subtractEightWay(const double* const vectors[kWay],
                                                            const double weights[kWay],
                                                            std::size_t n, double* w) {
    const double *v0 = vectors[0], *v1 = vectors[1], *v2 = vectors[2], *v3 = vectors[3],
                 *v4 = vectors[4], *v5 = vectors[5], *v6 = vectors[6], *v7 = vectors[7];
    const double w0 = weights[0], w1 = weights[1], w2 = weights[2], w3 = weights[3],
                 w4 = weights[4], w5 = weights[5], w6 = weights[6], w7 = weights[7];
#pragma omp simd
    for (std::size_t i = 0; i < n; ++i)
        w[i] -= ((w0 * v0[i] + w1 * v1[i]) + (w2 * v2[i] + w3 * v3[i])) +
                ((w4 * v4[i] + w5 * v5[i]) + (w6 * v6[i] + w7 * v7[i]));
}

// Eight of `count` vectors from `first` on (vector j at base + j * stride
// when `stride` is given, else at pointers[j]); where fewer than eight are
// left, the last one fills the places left over. Returns how many are real.
inline __attribute__((always_inline)) std::size_t eightFrom(const double* const* pointers,
                                                            const double* base, std::size_t stride,
                                                            std::size_t first, std::size_t count,
                                                            const double* vectors[kWay]) {
    const std::size_t real = count - first < kWay ? count - first : kWay;
    for (std::size_t j = 0; j < kWay; ++j) {
        const std::size_t index = first + (j < real ? j : real - 1);
        vectors[j] = pointers ? pointers[index] : base + index * stride;
    }
    return real;
}

}  // namespace

KELO_VECTOR_CLONES
double orthogonalise(const double* q, std::size_t m, std::size_t k, double* work,
                     double* coefficients) {
    // Within a block the coefficients are independent dot products against
    // work as the earlier blocks left it; the block's columns then come back
    // from the first-level cache for their removal. The places left over in
    // the last block are removed with a zero weight.
    for (std::size_t first = 0; first < k; first += kWay) {
        const double* columns[kWay];
        const std::size_t real = eightFrom(nullptr, q, m, first, k, columns);
        double sums[kWay];
        dotEightWay(columns, work, m, sums);
        for (std::size_t j = 0; j < kWay; ++j) {
            if (j < real)
                coefficients[first + j] = sums[j];
            else
                sums[j] = 0.0;
        }
        subtractEightWay(columns, sums, m, work);
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

KELO_VECTOR_CLONES
void dotRows(const double* const* rows, std::size_t count, const double* x, std::size_t n,
             double* sums) {
    for (std::size_t first = 0; first < count; first += kWay) {
        const double* eight[kWay];
        const std::size_t real = eightFrom(rows, nullptr, 0, first, count, eight);
        double products[kWay];
        dotEightWay(eight, x, n, products);
        for (std::size_t j = 0; j < real; ++j) sums[first + j] = products[j];
    }
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
    std::size_t end = count;
    while (end > 0) {
        const std::size_t first = end >= kWay ? end - kWay : 0;
        const double* rows[kWay];
        const double* tails[kWay];
        double inverse[kWay];
        for (std::size_t j = 0; j < kWay; ++j) {
            const std::size_t p = first + j < end ? first + j : first;
            rows[j] = r + p * stride;
            tails[j] = rows[j] + end;
            inverse[j] = 1.0 / rows[j][p];
        }
        double known[kWay];
        dotEightWay(tails, solution + end, count - end, known);
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
    // Eight columns per sweep over w; the places left over in the last
    // sweep get a zero weight.
    for (std::size_t first = 0; first < k; first += kWay) {
        const double* eight[kWay];
        const std::size_t real = eightFrom(columns, nullptr, 0, first, k, eight);
        double eightWeights[kWay];
        for (std::size_t j = 0; j < kWay; ++j)
            eightWeights[j] = j < real ? weights[first + j] : 0.0;
        subtractEightWay(eight, eightWeights, n, w);
    }
}

}  // namespace kelo::engine::kernels
