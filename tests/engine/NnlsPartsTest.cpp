// The solver's two workhorses on random problems: the gradient taken the
// fast way against the direct way, and the updated QR factorisation against
// the least-squares solution of the columns it holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

#include "NnlsGradient.h"
#include "NnlsPassiveQr.h"

namespace {

using kelo::engine::NnlsGradient;
using kelo::engine::NnlsPassiveQr;

std::vector<double> randomValues(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    std::vector<double> values(count);
    for (double& v : values) v = value(random);
    return values;
}

// A^T (b - A x) in plain loops, A column-major m x n.
std::vector<double> gradientByHand(const std::vector<double>& a, const std::vector<double>& b,
                                   const std::vector<double>& x, std::size_t m, std::size_t n) {
    std::vector<double> residual = b;
    for (std::size_t j = 0; j < n; ++j)
        for (std::size_t i = 0; i < m; ++i) residual[i] -= a[j * m + i] * x[j];
    std::vector<double> w(n, 0.0);
    for (std::size_t j = 0; j < n; ++j)
        for (std::size_t i = 0; i < m; ++i) w[j] += a[j * m + i] * residual[i];
    return w;
}

TEST(NnlsGradientTest, FastGradientMatchesTheDirectOneOutsideTheSupportForEverySupportSize) {
    // Large enough for several sweeps of eight columns or rows either way.
    const std::size_t m = 47, n = 41;
    const auto a = randomValues(m * n, 1);
    const auto b = randomValues(m, 2);
    NnlsGradient gradient;
    gradient.prepare(a.data(), m, n);
    gradient.setRightHandSide(b.data());

    std::mt19937 random(3);
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    for (std::size_t k = 0; k <= n; ++k) {
        // Random supports, and the last variables in particular, where a
        // block of four rows can be left over.
        for (const bool tail : {false, true}) {
            std::shuffle(order.begin(), order.end(), random);
            std::vector<int> support(order.begin(), order.begin() + k);
            if (tail) std::iota(support.begin(), support.end(), static_cast<int>(n - k));
            std::vector<double> x(n, 0.0);
            const auto values = randomValues(k, 10 + static_cast<unsigned>(k));
            for (std::size_t p = 0; p < k; ++p) x[support[p]] = 1.0 + values[p];

            std::vector<double> fast(n, std::nan("")), exact(n);
            const double bound = gradient.fast(x.data(), support.data(), k, fast.data());
            gradient.exact(x.data(), exact.data());
            const auto byHand = gradientByHand(a, b, x, m, n);
            for (std::size_t i = 0; i < n; ++i) {
                EXPECT_NEAR(exact[i], byHand[i], 1e-13);
                if (std::find(support.begin(), support.end(), static_cast<int>(i)) != support.end())
                    continue;
                EXPECT_LE(std::fabs(fast[i] - exact[i]), bound) << "k " << k << ", entry " << i;
            }
            EXPECT_LT(bound, 1e-10);
        }
    }
}

TEST(NnlsGradientTest, RelativeResidualOfAnExactFitIsZeroAndOfZeroIsOne) {
    const std::vector<double> a{2, 0, 0, 0, 3, 0};  // 3 x 2
    const std::vector<double> b{4, 3, 0};
    NnlsGradient gradient;
    gradient.prepare(a.data(), 3, 2);
    gradient.setRightHandSide(b.data());
    const std::vector<double> fit{2, 1}, zero{0, 0};
    EXPECT_EQ(gradient.relativeResidual(fit.data()), 0.0);
    EXPECT_EQ(gradient.relativeResidual(zero.data()), 1.0);
    EXPECT_EQ(gradient.columnNorm(0), 2.0);
    EXPECT_EQ(gradient.columnNorm(1), 3.0);
}

// z of the passive columns must make their residual orthogonal to them.
void expectLeastSquaresOfPassiveColumns(NnlsPassiveQr& qr, const std::vector<double>& a,
                                        const std::vector<double>& b, std::size_t m,
                                        std::size_t n) {
    std::vector<double> z(n, std::nan(""));
    const double smallest = qr.solve(z.data());
    std::vector<bool> passive(n, false);
    for (std::size_t p = 0; p < qr.size(); ++p) passive[qr.variables()[p]] = true;
    std::vector<double> residual = b;
    double least = std::numeric_limits<double>::infinity();
    for (std::size_t j = 0; j < n; ++j) {
        if (!passive[j]) {
            EXPECT_EQ(z[j], 0.0) << j;
            continue;
        }
        least = std::min(least, z[j]);
        for (std::size_t i = 0; i < m; ++i) residual[i] -= a[j * m + i] * z[j];
    }
    EXPECT_EQ(smallest, least);
    for (std::size_t j = 0; j < n; ++j) {
        if (!passive[j]) continue;
        double product = 0.0;
        for (std::size_t i = 0; i < m; ++i) product += a[j * m + i] * residual[i];
        EXPECT_NEAR(product, 0.0, 1e-12) << "column " << j;
    }
}

// Appends column j of the m-row matrix a (column-major) with its norm.
bool appendColumn(NnlsPassiveQr& qr, const std::vector<double>& a, const std::vector<double>& b,
                  std::size_t m, int j) {
    double norm = 0.0;
    for (std::size_t i = 0; i < m; ++i) norm += a[j * m + i] * a[j * m + i];
    return qr.append(j, a.data() + j * m, std::sqrt(norm), b.data(), 1e-10);
}

TEST(NnlsPassiveQrTest, AddingAndRemovingColumnsKeepsTheLeastSquaresSolution) {
    const std::size_t m = 15, n = 11;
    const auto a = randomValues(m * n, 5);
    const auto b = randomValues(m, 6);
    NnlsPassiveQr qr;
    qr.reserve(m, n);
    auto append = [&](int j) { return appendColumn(qr, a, b, m, j); };
    for (const int j : {4, 0, 9, 2, 7, 1, 10, 3}) ASSERT_TRUE(append(j));
    expectLeastSquaresOfPassiveColumns(qr, a, b, m, n);

    // Last, first and middle positions; then columns come back.
    for (const std::size_t position : {7u, 0u, 3u, 2u}) {
        qr.remove(position);
        expectLeastSquaresOfPassiveColumns(qr, a, b, m, n);
    }
    EXPECT_EQ(std::vector<int>(qr.variables(), qr.variables() + qr.size()),
              (std::vector<int>{0, 9, 1, 10}));
    for (const int j : {7, 4, 5}) ASSERT_TRUE(append(j));
    expectLeastSquaresOfPassiveColumns(qr, a, b, m, n);
    while (qr.size() > 0) qr.remove(0);
    expectLeastSquaresOfPassiveColumns(qr, a, b, m, n);
}

// Gram-Schmidt runs in blocks of eight columns and the back substitution in
// blocks of eight rows: every count from one to several blocks, with each
// remainder, on the way up, down and up again.
TEST(NnlsPassiveQrTest, EveryCountAcrossSeveralBlocksKeepsTheLeastSquaresSolution) {
    const std::size_t m = 40, n = 30;
    const auto a = randomValues(m * n, 7);
    const auto b = randomValues(m, 8);
    NnlsPassiveQr qr;
    qr.reserve(m, n);
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), std::mt19937(9));
    auto append = [&](int j) { return appendColumn(qr, a, b, m, j); };
    for (const int j : order) {
        ASSERT_TRUE(append(j));
        expectLeastSquaresOfPassiveColumns(qr, a, b, m, n);
    }
    // Out from the front, the back and between, then back in.
    for (std::size_t step = 0; qr.size() > 5; ++step) {
        qr.remove(step % 3 == 0 ? 0 : step % 3 == 1 ? qr.size() - 1 : qr.size() / 2);
        expectLeastSquaresOfPassiveColumns(qr, a, b, m, n);
    }
    std::vector<bool> passive(n, false);
    for (std::size_t p = 0; p < qr.size(); ++p) passive[qr.variables()[p]] = true;
    for (const int j : order) {
        if (passive[j]) continue;
        ASSERT_TRUE(append(j));
        expectLeastSquaresOfPassiveColumns(qr, a, b, m, n);
    }
    EXPECT_EQ(qr.size(), n);
}

TEST(NnlsPassiveQrTest, ColumnInTheSpanOfThePassiveOnesIsNotAdded) {
    const std::size_t m = 4, n = 3;
    // Column 2 = column 0 - 2 * column 1.
    const std::vector<double> a{1, 2, 0, 1, 0, 1, 1, 3, 1, 0, -2, -5};
    const std::vector<double> b{1, 1, 1, 1};
    NnlsPassiveQr qr;
    qr.reserve(m, n);
    ASSERT_TRUE(qr.append(0, a.data(), std::sqrt(6.0), b.data(), 1e-10));
    ASSERT_TRUE(qr.append(1, a.data() + 4, std::sqrt(11.0), b.data(), 1e-10));
    EXPECT_FALSE(qr.append(2, a.data() + 8, std::sqrt(30.0), b.data(), 1e-10));
    EXPECT_EQ(qr.size(), 2u);
    expectLeastSquaresOfPassiveColumns(qr, a, b, m, n);
}

}  // namespace
