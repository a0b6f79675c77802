#include "NnlsGradient.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "BlasFortran.h"
#include "NnlsKernels.h"

namespace kelo::engine {

namespace {
const int kUnit = 1;
const double kOne = 1.0;
const double kZero = 0.0;
const double kMinusOne = -1.0;
}  // namespace

bool NnlsGradient::holds(const double* matrix, std::size_t rows, std::size_t columns) const {
    return rows == m && columns == n && !a.empty() &&
           std::memcmp(matrix, a.data(), rows * columns * sizeof(double)) == 0;
}

void NnlsGradient::prepare(const double* matrix, std::size_t rows, std::size_t columns) {
    if (holds(matrix, rows, columns)) return;
    m = rows;
    n = columns;
    a.assign(matrix, matrix + m * n);
    gram.assign(n * n, 0.0);
    const int mi = static_cast<int>(m);
    const int ni = static_cast<int>(n);
    dsyrk_("U", "T", &ni, &mi, &kOne, a.data(), &mi, &kZero, gram.data(), &ni);
    for (std::size_t j = 0; j < n; ++j)
        for (std::size_t i = j + 1; i < n; ++i) gram[j * n + i] = gram[i * n + j];

    columnNorms.resize(n);
    for (std::size_t j = 0; j < n; ++j) columnNorms[j] = std::sqrt(gram[j * n + j]);
    largestColumnNorm = n ? *std::max_element(columnNorms.begin(), columnNorms.end()) : 0.0;

    atb.resize(n);
    residual.resize(m);
    inSupport.assign(n, 0);
    outside.resize(n);
    gramSlices.resize(n);
    sliceValues.resize(n);
}

void NnlsGradient::setRightHandSide(const double* rhs) {
    b = rhs;
    const int mi = static_cast<int>(m);
    const int ni = static_cast<int>(n);
    dgemv_("T", &mi, &ni, &kOne, a.data(), &mi, b, &kUnit, &kZero, atb.data(), &kUnit);
    bNorm = dnrm2_(&mi, b, &kUnit);
}

double NnlsGradient::fast(const double* x, const int* support, std::size_t k, double* w) {
    double xNorm1 = 0.0;
    for (std::size_t p = 0; p < k; ++p) xNorm1 += std::fabs(x[support[p]]);

    if (k <= n - k) {
        for (std::size_t p = 0; p < k; ++p) {
            gramSlices[p] = gram.data() + static_cast<std::size_t>(support[p]) * n;
            sliceValues[p] = x[support[p]];
        }
        std::copy(atb.begin(), atb.end(), w);
        kernels::subtractWeightedColumns(gramSlices.data(), sliceValues.data(), k, n, w);
    } else {
        for (std::size_t p = 0; p < k; ++p) inSupport[support[p]] = 1;
        std::size_t count = 0;
        for (std::size_t i = 0; i < n; ++i)
            if (!inSupport[i]) outside[count++] = i;
        // Rows of A^T A (its columns, by symmetry), several per sweep over x.
        for (std::size_t r = 0; r < count; ++r) gramSlices[r] = gram.data() + outside[r] * n;
        kernels::dotRows(gramSlices.data(), count, x, n, sliceValues.data());
        for (std::size_t r = 0; r < count; ++r) w[outside[r]] = atb[outside[r]] - sliceValues[r];
        for (std::size_t p = 0; p < k; ++p) inSupport[support[p]] = 0;
    }

    // Both ways add at most m + n rounded products per entry, each bounded
    // through |a_i| |b| and |a_i| |a_j| |x_j|.
    const double eps = std::numeric_limits<double>::epsilon();
    return 2.0 * static_cast<double>(m + n) * eps * largestColumnNorm *
           (bNorm + largestColumnNorm * xNorm1);
}

void NnlsGradient::exact(const double* x, double* w) {
    const int mi = static_cast<int>(m);
    const int ni = static_cast<int>(n);
    dgemv_("N", &mi, &ni, &kMinusOne, a.data(), &mi, x, &kUnit, &kZero, residual.data(), &kUnit);
    daxpy_(&mi, &kOne, b, &kUnit, residual.data(), &kUnit);
    dgemv_("T", &mi, &ni, &kOne, a.data(), &mi, residual.data(), &kUnit, &kZero, w, &kUnit);
}

double NnlsGradient::relativeResidual(const double* x) {
    if (bNorm == 0.0) return 0.0;
    const int mi = static_cast<int>(m);
    const int ni = static_cast<int>(n);
    std::copy(b, b + m, residual.begin());
    dgemv_("N", &mi, &ni, &kOne, a.data(), &mi, x, &kUnit, &kMinusOne, residual.data(), &kUnit);
    return dnrm2_(&mi, residual.data(), &kUnit) / bNorm;
}

}  // namespace kelo::engine
