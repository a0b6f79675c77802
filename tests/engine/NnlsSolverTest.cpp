// The active-set solver on problems small enough to follow by hand, the
// faults it was mended for, and the batch entry point.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "NnlsPassiveQr.h"
#include "NnlsSolver.h"
#include "PlainNnls.h"
#include "SolverSettings.h"
#include "engine/LeastSquares.h"

namespace {

using kelo::engine::NnlsSolver;
using kelo::engine::NnlsStep;
using Kind = kelo::engine::NnlsStep::Kind;

constexpr double kTolerance = kelo::engine::kSolverTolerance;

// A column-major m x n problem.
struct Problem {
    int m;
    int n;
    std::vector<double> a;
    std::vector<double> b;
};

struct FastRun {
    std::vector<double> x;
    std::vector<NnlsStep> steps;
    kelo::engine::NnlsDiagnostics diagnostics;
};

FastRun solveFast(const Problem& p, int maxOuter, int maxPasses) {
    NnlsSolver solver;
    FastRun run;
    run.x.assign(p.n, -1.0);
    solver.recordSteps(&run.steps);
    solver.prepare(p.a.data(), p.m, p.n);
    solver.solve(p.b.data(), run.x.data(), maxOuter, maxPasses, kTolerance);
    run.diagnostics = solver.diagnostics();
    return run;
}

// a1 = (3, 0), a2 = (1, 1), b = (0.7, 1). a1 leads the gradient at 0 and
// fits alone with x1 = 0.7 / 3; a2 then joins, the pair asks x1 = -0.1,
// the step stops 70 % of the way at x = (0, 0.7), x1 leaves, and a2 alone
// gives x2 = (0.7 + 1) / 2 = 0.85. The gradient of x1 there is -0.45.
const Problem kRemovalProblem{2, 2, {3, 0, 1, 1}, {0.7, 1}};
const std::vector<NnlsStep> kRemovalPath{
    {Kind::add, 0, 0}, {Kind::add, 1, 1}, {Kind::remove, 0, 2}};

// Columns s = e1, t = e1 + 1e-12 e3, c = e2 - e3; b = (1e9, 2e8 + 1, -1).
// s leads, then c; the residual left is (0, 1e8, 1e8), along which t has a
// gradient of 1e-4 although only 7e-13 of it is independent of s and c.
const Problem kDependentProblem{3, 3, {1, 0, 0, 1, 0, 1e-12, 0, 1, -1}, {1e9, 2e8 + 1, -1}};

TEST(NnlsSolverTest, VariableThatTurnsNegativeIsRemovedOnTheWayToTheOptimum) {
    const FastRun run = solveFast(kRemovalProblem, 6, 6);
    EXPECT_NEAR(run.x[0], 0.0, 1e-15);
    EXPECT_NEAR(run.x[1], 0.85, 1e-15);
    EXPECT_EQ(run.steps, kRemovalPath);
    EXPECT_EQ(run.diagnostics.outerIterations, 2);
    EXPECT_EQ(run.diagnostics.passes, 3);
    EXPECT_EQ(run.diagnostics.passiveCount, 1);
    EXPECT_FALSE(run.diagnostics.capReached);
    // |A x - b| = |(-0.15, 0.15)| against |b| = sqrt(1.49).
    EXPECT_NEAR(run.diagnostics.relativeResidual, std::sqrt(0.045 / 1.49), 1e-15);

    std::vector<double> plainX(2);
    const auto plain = kelo::reference::plainNnls(
        kRemovalProblem.a.data(), kRemovalProblem.b.data(), plainX.data(), 2, 2, 6, 6, kTolerance);
    EXPECT_EQ(plain.steps, kRemovalPath);
    EXPECT_NEAR(plainX[1], 0.85, 1e-15);
}

TEST(NnlsSolverTest, GradientAtMostTheToleranceEverywhereGivesZero) {
    const Problem p{2, 2, {1, 0, 0, 1}, {1e-6, -5}};
    const FastRun run = solveFast(p, 6, 6);
    EXPECT_EQ(run.x, std::vector<double>({0.0, 0.0}));
    EXPECT_TRUE(run.steps.empty());
    EXPECT_EQ(run.diagnostics.passes, 0);
    EXPECT_EQ(run.diagnostics.relativeResidual, 1.0);
}

TEST(NnlsSolverTest, ZeroRightHandSideGivesZeroAndZeroResidual) {
    const Problem p{2, 2, {1, 0, 0, 1}, {0, 0}};
    const FastRun run = solveFast(p, 6, 6);
    EXPECT_EQ(run.x, std::vector<double>({0.0, 0.0}));
    EXPECT_EQ(run.diagnostics.relativeResidual, 0.0);
}

TEST(NnlsSolverTest, EqualGradientsBringInTheFirstVariable) {
    // Identical columns: the gradients are equal to the last bit.
    const Problem p{2, 3, {0, 1, 1, 0, 1, 0}, {2, 1}};
    const FastRun run = solveFast(p, 9, 9);
    ASSERT_FALSE(run.steps.empty());
    EXPECT_EQ(run.steps[0], (NnlsStep{Kind::add, 1, 0}));
    EXPECT_EQ(run.x, std::vector<double>({1.0, 2.0, 0.0}));
    EXPECT_GE(run.diagnostics.exactGradients, 1);
}

TEST(NnlsSolverTest, RegressionDependentColumnIsSkippedInsteadOfDividingByZero) {
    const std::vector<NnlsStep> expected{{Kind::add, 0, 0}, {Kind::add, 2, 1}, {Kind::skip, 1, 2}};
    const FastRun run = solveFast(kDependentProblem, 9, 9);
    EXPECT_EQ(run.steps, expected);
    EXPECT_EQ(run.x[0], 1e9);
    EXPECT_EQ(run.x[1], 0.0);
    EXPECT_NEAR(run.x[2], 1e8 + 1, 1e-6);
    EXPECT_EQ(run.diagnostics.passiveCount, 2);
    EXPECT_FALSE(run.diagnostics.capReached);

    std::vector<double> plainX(3);
    const auto plain =
        kelo::reference::plainNnls(kDependentProblem.a.data(), kDependentProblem.b.data(),
                                   plainX.data(), 3, 3, 9, 9, kTolerance);
    EXPECT_EQ(plain.steps, expected);
    EXPECT_EQ(plainX[1], 0.0);
    EXPECT_NEAR(plainX[2], 1e8 + 1, 1e-6);
}

TEST(NnlsSolverTest, RegressionGivensRotationOfTwoZerosIsTheIdentity) {
    const kelo::engine::Givens both = kelo::engine::givensFor(0.0, 0.0);
    EXPECT_EQ(both.c, 1.0);
    EXPECT_EQ(both.s, 0.0);
    const kelo::engine::Givens none = kelo::engine::givensFor(2.0, 0.0);
    EXPECT_EQ(none.c, 1.0);
    EXPECT_EQ(none.s, 0.0);
    const kelo::engine::Givens swap = kelo::engine::givensFor(0.0, -3.0);
    EXPECT_EQ(swap.c, 0.0);
    EXPECT_EQ(swap.s, 1.0);
    // Either branch: (a, e) turns into (c a + s e, c e - s a = 0).
    for (const auto& [a, e] : {std::pair{3.0, 4.0}, std::pair{4.0, -3.0}, std::pair{-1.0, 1e-3}}) {
        const kelo::engine::Givens g = kelo::engine::givensFor(a, e);
        EXPECT_NEAR(g.c * g.c + g.s * g.s, 1.0, 1e-15);
        EXPECT_NEAR(g.c * e - g.s * a, 0.0, 1e-15);
        EXPECT_NEAR(std::fabs(g.c * a + g.s * e), std::hypot(a, e), 1e-14);
    }
}

TEST(NnlsSolverTest, PassCapStopsTheSolveWhereItIs) {
    // The removal problem needs three passes; two leave x at the step's end.
    const FastRun run = solveFast(kRemovalProblem, 6, 2);
    EXPECT_TRUE(run.diagnostics.capReached);
    EXPECT_EQ(run.diagnostics.passes, 2);
    EXPECT_EQ(run.diagnostics.outerIterations, 1);
    EXPECT_NEAR(run.x[0], 0.0, 1e-15);
    EXPECT_NEAR(run.x[1], 0.7, 1e-15);
}

TEST(NnlsSolverTest, OuterCapStopsAfterThatManyAcceptedSolutions) {
    const FastRun run = solveFast(kRemovalProblem, 1, 6);
    EXPECT_TRUE(run.diagnostics.capReached);
    EXPECT_EQ(run.diagnostics.outerIterations, 1);
    EXPECT_NEAR(run.x[0], 0.7 / 3.0, 1e-15);
    EXPECT_EQ(run.x[1], 0.0);
}

TEST(NnlsSolverTest, CapsAreThreeTimesTheUnknowns) {
    EXPECT_EQ(kelo::engine::iterationCap(411), 1233);
    EXPECT_EQ(kelo::engine::iterationCap(641), 1923);
}

TEST(NnlsSolverTest, SolverReusedForAnotherMatrixOfTheSameShapeUsesTheNewOne) {
    NnlsSolver solver;
    std::vector<double> x(2);
    std::vector<double> a{1, 0, 0, 1};
    const std::vector<double> b{2, 3};
    solver.prepare(a.data(), 2, 2);
    solver.solve(b.data(), x.data(), 6, 6, kTolerance);
    EXPECT_EQ(x, std::vector<double>({2.0, 3.0}));
    a = {2, 0, 0, 4};  // same storage, new contents
    solver.prepare(a.data(), 2, 2);
    solver.solve(b.data(), x.data(), 6, 6, kTolerance);
    EXPECT_EQ(x, std::vector<double>({1.0, 0.75}));
}

TEST(LsqnSolveTest, SolvesEveryProblemOfTheBatchAsASingleSolverWould) {
    // The removal problem and its mirror image (columns swapped), three times.
    std::vector<double> a, b;
    for (int copy = 0; copy < 3; ++copy) {
        a.insert(a.end(), {3, 0, 1, 1});
        b.insert(b.end(), {0.7, 1});
        a.insert(a.end(), {1, 1, 3, 0});
        b.insert(b.end(), {0.7, 1});
    }
    for (const int threads : {1, 2}) {
        std::vector<double> x(12, -1.0);
        lsqnSolve(a.data(), b.data(), x.data(), 0, 6, 6, 6, 2, 2, 1, threads, kTolerance);
        for (int p = 0; p < 6; p += 2) {
            EXPECT_NEAR(x[2 * p], 0.0, 1e-15);
            EXPECT_NEAR(x[2 * p + 1], 0.85, 1e-15);
            EXPECT_NEAR(x[2 * p + 2], 0.85, 1e-15);
            EXPECT_NEAR(x[2 * p + 3], 0.0, 1e-15);
        }
    }
}

TEST(LsqnSolveTest, RowMajorMatricesAreReadByRows) {
    // The removal problem's matrix [[3, 1], [0, 1]] written row by row.
    const std::vector<double> a{3, 1, 0, 1};
    std::vector<double> x(2);
    lsqnSolve(a.data(), kRemovalProblem.b.data(), x.data(), 1, 6, 6, 1, 2, 2, 1, 1, kTolerance);
    EXPECT_NEAR(x[0], 0.0, 1e-15);
    EXPECT_NEAR(x[1], 0.85, 1e-15);
}

}  // namespace
