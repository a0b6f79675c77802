// The fast solver against the plain one on the problems the instrument
// solves: normal matrices of a synthetic unit and the right-hand sides of
// broadband and line spectra. Both must take the same path, step for step,
// and agree to 1e-6 of the spectrum's peak.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <sstream>

#include "NnlsSolver.h"
#include "PlainNnls.h"
#include "SolverSettings.h"
#include "SyntheticProblems.h"

namespace {

using kelo::engine::NnlsStep;
using kelo::reference::SolverProblem;

constexpr double kTolerance = kelo::engine::kSolverTolerance;

double largestAbs(const std::vector<double>& v) {
    double largest = 0.0;
    for (const double value : v) largest = std::max(largest, std::fabs(value));
    return largest;
}

double largestDifference(const std::vector<double>& a, const std::vector<double>& b) {
    double largest = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) largest = std::max(largest, std::fabs(a[i] - b[i]));
    return largest;
}

// Where two paths part, for a readable failure.
std::string firstDifference(const std::vector<NnlsStep>& a, const std::vector<NnlsStep>& b) {
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    if (i == a.size() && i == b.size()) return "";
    std::ostringstream out;
    out << "paths part at step " << i << " of " << a.size() << " / " << b.size() << ": ";
    if (i < a.size()) out << a[i];
    out << " vs ";
    if (i < b.size()) out << b[i];
    return out.str();
}

class NnlsAgreementTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        calibration = std::make_unique<kelo::reference::SyntheticCalibration>();
    }
    static void TearDownTestSuite() { calibration.reset(); }

    // Solves s's problem both ways with the 3n caps; returns the fast x.
    static std::vector<double> expectAgreement(const std::vector<double>& s, bool full,
                                               double noise = 0.0) {
        const SolverProblem p = calibration->problem(s, full, noise);
        const int n = static_cast<int>(p.n);
        const int cap = kelo::engine::iterationCap(p.n);

        std::vector<double> plainX(p.n);
        const auto plain =
            kelo::reference::plainNnls(p.a, p.b.data(), plainX.data(), n, n, cap, cap, kTolerance);

        kelo::engine::NnlsSolver solver;
        std::vector<NnlsStep> steps;
        std::vector<double> fastX(p.n);
        solver.recordSteps(&steps);
        solver.prepare(p.a, p.n, p.n);
        solver.solve(p.b.data(), fastX.data(), cap, cap, kTolerance);
        const auto& fast = solver.diagnostics();

        EXPECT_EQ(firstDifference(steps, plain.steps), "");
        EXPECT_EQ(fast.outerIterations, plain.outerIterations);
        EXPECT_EQ(fast.passes, plain.passes);
        EXPECT_EQ(fast.passiveCount, plain.passiveCount);
        EXPECT_FALSE(fast.capReached);
        EXPECT_FALSE(plain.capReached);
        EXPECT_LE(largestDifference(fastX, plainX), 1e-6 * largestAbs(plainX));
        return fastX;
    }

    static std::unique_ptr<kelo::reference::SyntheticCalibration> calibration;
};

std::unique_ptr<kelo::reference::SyntheticCalibration> NnlsAgreementTest::calibration;

TEST_F(NnlsAgreementTest, HalogenTakesThePlainPathInBothRanges) {
    for (const bool full : {false, true})
        expectAgreement(
            kelo::reference::halogenSpectrum(calibration->grid(full), kelo::reference::kCameraPeak),
            full);
}

// Noise makes the fit drop variables on the way: many removal passes.
TEST_F(NnlsAgreementTest, NoisyHalogenTakesThePlainPathThroughItsRemovals) {
    for (const bool full : {false, true})
        expectAgreement(
            kelo::reference::halogenSpectrum(calibration->grid(full), kelo::reference::kCameraPeak),
            full, 20.0);
}

TEST_F(NnlsAgreementTest, SingleLaserLineTakesThePlainPath) {
    const auto s = kelo::reference::lineSpectrum(calibration->grid(false), {532.0}, 1.0,
                                                 kelo::reference::kCameraPeak);
    expectAgreement(s, false);
}

TEST_F(NnlsAgreementTest, MercuryLinesOnAWeakContinuumTakeThePlainPath) {
    for (const bool full : {false, true}) {
        const auto grid = calibration->grid(full);
        auto s = kelo::reference::lineSpectrum(grid, {404.7, 435.8, 546.1, 577.0, 579.1}, 2.0,
                                               0.8 * kelo::reference::kCameraPeak);
        const auto continuum =
            kelo::reference::halogenSpectrum(grid, 0.02 * kelo::reference::kCameraPeak);
        for (std::size_t i = 0; i < s.size(); ++i) s[i] += continuum[i];
        expectAgreement(s, full);
    }
}

// A broadband spectrum brings nearly every variable in, one pass each, and
// each removal costs one more: n passes stop the solve short of the optimum.
TEST_F(NnlsAgreementTest, RegressionCapsOfNPassesStopBroadbandSolveShortOfTheOptimum) {
    const auto s =
        kelo::reference::halogenSpectrum(calibration->grid(false), kelo::reference::kCameraPeak);
    const SolverProblem p = calibration->problem(s, false);
    kelo::engine::NnlsSolver solver;
    solver.prepare(p.a, p.n, p.n);

    const int cap = kelo::engine::iterationCap(p.n);
    std::vector<double> optimum(p.n);
    solver.solve(p.b.data(), optimum.data(), cap, cap, kTolerance);
    EXPECT_FALSE(solver.diagnostics().capReached);
    const double optimumResidual = solver.diagnostics().relativeResidual;

    const int n = static_cast<int>(p.n);
    std::vector<double> capped(p.n);
    solver.solve(p.b.data(), capped.data(), n, n, kTolerance);
    EXPECT_TRUE(solver.diagnostics().capReached);
    EXPECT_GT(largestDifference(capped, optimum), 1e-2 * largestAbs(optimum));
    EXPECT_GT(solver.diagnostics().relativeResidual, 10 * optimumResidual);
    const auto zeros = [](const std::vector<double>& x) {
        return std::count(x.begin(), x.end(), 0.0);
    };
    EXPECT_GT(zeros(capped), zeros(optimum) + 10);
}

}  // namespace
