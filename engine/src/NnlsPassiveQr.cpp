#include "NnlsPassiveQr.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "NnlsKernels.h"

namespace kelo::engine {

Givens givensFor(double a, double e) {
    if (a != 0.0 && e != 0.0) {
        if (std::fabs(e) > std::fabs(a)) {
            const double tau = -a / e;
            const double s = 1.0 / std::sqrt(tau * tau + 1.0);
            return {-s * tau, s};
        }
        const double tau = -e / a;
        const double c = 1.0 / std::sqrt(tau * tau + 1.0);
        return {c, -c * tau};
    }
    if (a == 0.0 && e != 0.0) return {0.0, 1.0};
    // Nothing to eliminate; two zeros must not wipe the rows either.
    return {1.0, 0.0};
}

void NnlsPassiveQr::reserve(std::size_t rows, std::size_t columns) {
    m = rows;
    n = columns;
    count = 0;
    if (q.size() < m * n) q.resize(m * n);
    if (r.size() < n * n) r.resize(n * n);
    for (auto* vector : {&qtb, &carriedRow, &zByPosition})
        if (vector->size() < n) vector->resize(n);
    if (list.size() < n) list.resize(n);
    for (auto* vector : {&work, &carriedColumn})
        if (vector->size() < m) vector->resize(m);
}

bool NnlsPassiveQr::append(int variable, const double* column, double columnNorm, const double* b,
                           double dependentRatio) {
    std::copy(column, column + m, work.begin());
    // The new column of R lands in column `count` of the first `count` rows;
    // the coefficients are gathered first and scattered after the sweep.
    double* coefficients = zByPosition.data();
    const double squaredNorm =
        kernels::orthogonalise(q.data(), m, count, work.data(), coefficients);
    const double diagonal = std::sqrt(squaredNorm);
    if (!(diagonal > dependentRatio * columnNorm)) return false;

    for (std::size_t p = 0; p < count; ++p) rRow(p)[count] = coefficients[p];
    rRow(count)[count] = diagonal;
    qtb[count] = kernels::scaleAndDot(work.data(), 1.0 / diagonal, b, m, qColumn(count));
    list[count] = variable;
    ++count;
    return true;
}

void NnlsPassiveQr::setRightHandSide(const double* b) {
    for (std::size_t p = 0; p < count; ++p) qtb[p] = kernels::dot(qColumn(p), b, m);
}

void NnlsPassiveQr::remove(std::size_t position) {
    // The removed row, column and Q^T b entry are carried along and rotated
    // against each later position in turn; every later position moves up one
    // place as it is rotated.
    std::copy(qColumn(position), qColumn(position) + m, carriedColumn.begin());
    std::copy(rRow(position), rRow(position) + count, carriedRow.begin());
    double carriedQtb = qtb[position];
    for (std::size_t later = position + 1; later < count; ++later) {
        const Givens g = givensFor(rRow(later)[later], carriedRow[later]);
        kernels::rotate(rRow(later) + later, carriedRow.data() + later, count - later, g.c, g.s,
                        rRow(later - 1) + later - 1);
        kernels::rotate(qColumn(later), carriedColumn.data(), m, g.c, g.s, qColumn(later - 1));
        kernels::rotate(&qtb[later], &carriedQtb, 1, g.c, g.s, &qtb[later - 1]);
        list[later - 1] = list[later];
    }
    // The earlier rows lose the removed column.
    const std::size_t tail = count - position - 1;
    for (std::size_t row = 0; row < position; ++row)
        std::memmove(rRow(row) + position, rRow(row) + position + 1, tail * sizeof(double));
    --count;
}

double NnlsPassiveQr::solve(double* z) {
    double* solved = zByPosition.data();
    kernels::backSubstitute(r.data(), n, count, qtb.data(), solved);

    std::fill(z, z + n, 0.0);
    double smallest = std::numeric_limits<double>::infinity();
    for (std::size_t p = 0; p < count; ++p) {
        z[list[p]] = solved[p];
        smallest = std::min(smallest, solved[p]);
    }
    return smallest;
}

}  // namespace kelo::engine
