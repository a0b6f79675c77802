#include "sim/NormalMatrix.h"

namespace kelo::sim {

DenseMatrix normalMatrix(const DenseMatrix& transfer) {
    const std::size_t n = transfer.cols;
    DenseMatrix normal(n, n);
    // Adding one row's outer product at a time keeps the summation order
    // fixed while the inner loop runs over independent elements.
    for (std::size_t i = 0; i < transfer.rows; ++i) {
        const double* row = transfer.row(i);
        for (std::size_t a = 0; a < n; ++a) {
            double* target = normal.values.data() + a * n;
            const double factor = row[a];
            for (std::size_t b = a; b < n; ++b) target[b] += factor * row[b];
        }
    }
    for (std::size_t a = 0; a < n; ++a)
        for (std::size_t b = 0; b < a; ++b) normal.at(a, b) = normal.at(b, a);
    return normal;
}

}  // namespace kelo::sim
