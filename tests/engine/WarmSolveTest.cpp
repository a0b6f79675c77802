// Warm-started solves against cold ones on the synthetic unit: streams of a
// drifting halogen lamp, scene changes to lines and to saturation-level
// light, a long noisy stream, the caps, and the processor's returns to a cold
// start where its inputs change. Every warm spectrum must lie within 1e-6 of
// the peak of the cold solve of the same cells.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <string>

#include "NnlsSolver.h"
#include "PlainNnls.h"
#include "SolverSettings.h"
#include "SyntheticProblems.h"
#include "engine/SpectralProcessor.h"

namespace {

using kelo::engine::NnlsSolver;
using kelo::engine::SolveStart;
using kelo::reference::SolverProblem;
using Values = std::vector<double>;

constexpr double kTolerance = kelo::engine::kSolverTolerance;
constexpr double kNoise = 20.0;

double largestAbs(const Values& v) {
    double largest = 0.0;
    for (const double value : v) largest = std::max(largest, std::fabs(value));
    return largest;
}

// Within 1e-6 of the peak of `reference`.
::testing::AssertionResult agrees(const Values& x, const Values& reference) {
    double largest = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i)
        largest = std::max(largest, std::fabs(x[i] - reference[i]));
    const double peak = largestAbs(reference);
    if (x.size() == reference.size() && largest <= 1e-6 * peak)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "differs by " << largest << " of a peak of " << peak;
}

// One stream of problems solved twice: warm, each solve starting from the
// previous one, and cold.
class WarmAndCold {
public:
    explicit WarmAndCold(const SolverProblem& first) : n(first.n), warmX(n), coldX(n) {
        warm.prepare(first.a, n, n);
        cold.prepare(first.a, n, n);
    }

    // Solves p both ways and expects agreement; true when the warm solver
    // did start warm.
    bool solve(const SolverProblem& p, const std::string& scene) {
        const int cap = kelo::engine::iterationCap(n);
        warm.solve(p.b.data(), warmX.data(), cap, cap, kTolerance, SolveStart::warm);
        cold.solve(p.b.data(), coldX.data(), cap, cap, kTolerance);
        EXPECT_FALSE(warm.diagnostics().capReached) << scene;
        EXPECT_TRUE(agrees(warmX, coldX)) << scene;
        return warm.diagnostics().warm;
    }

    const Values& warmSolution() const { return warmX; }

private:
    std::size_t n;
    NnlsSolver warm, cold;
    Values warmX, coldX;
};

class WarmSolveTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        calibration = std::make_unique<kelo::reference::SyntheticCalibration>();
    }
    static void TearDownTestSuite() { calibration.reset(); }

    static SolverProblem noisy(const Values& s, bool full, unsigned seed) {
        return calibration->problem(s, full, kNoise, seed);
    }

    static Values mercuryLines(bool full) {
        return kelo::reference::lineSpectrum(calibration->grid(full),
                                             {404.7, 435.8, 546.1, 577.0, 579.1}, 2.0,
                                             0.8 * kelo::reference::kCameraPeak);
    }

    // A lamp stream interrupted by noisy lines and by a lamp three times
    // brighter (its brightest cells well past saturation), then the lamp
    // again; the plain solver checks the warm one every `plainEvery` frames.
    static void expectSceneSetAgrees(bool full, std::size_t frames, std::size_t plainEvery) {
        const auto stream = kelo::reference::broadbandStream(*calibration, frames, full, kNoise);
        const Values bright = kelo::reference::halogenSpectrum(calibration->grid(full),
                                                               3.0 * kelo::reference::kCameraPeak);
        std::vector<std::pair<std::string, SolverProblem>> scenes;
        for (std::size_t f = 0; f < frames; ++f) {
            scenes.emplace_back("lamp " + std::to_string(f), stream[f]);
            if (f == frames / 2)
                for (unsigned seed = 1; seed <= 4; ++seed)
                    scenes.emplace_back("lines " + std::to_string(seed),
                                        noisy(mercuryLines(full), full, 1000 + seed));
            if (f == 3 * frames / 4)
                for (unsigned seed = 1; seed <= 4; ++seed)
                    scenes.emplace_back("bright lamp " + std::to_string(seed),
                                        noisy(bright, full, 2000 + seed));
        }

        WarmAndCold solves(stream[0]);
        int warmStarts = 0;
        for (std::size_t i = 0; i < scenes.size(); ++i) {
            const auto& [scene, problem] = scenes[i];
            warmStarts += solves.solve(problem, scene);
            if (i % plainEvery != plainEvery - 1) continue;
            const int n = static_cast<int>(problem.n);
            const int cap = kelo::engine::iterationCap(problem.n);
            Values plainX(problem.n);
            kelo::reference::plainNnls(problem.a, problem.b.data(), plainX.data(), n, n, cap, cap,
                                       kTolerance);
            EXPECT_TRUE(agrees(solves.warmSolution(), plainX)) << "plain, " << scene;
        }
        // Only the first solve has nothing to start from.
        EXPECT_EQ(warmStarts, int(scenes.size()) - 1);
    }

    static std::unique_ptr<kelo::reference::SyntheticCalibration> calibration;
};

std::unique_ptr<kelo::reference::SyntheticCalibration> WarmSolveTest::calibration;

TEST_F(WarmSolveTest, WarmSolvesOfLampLinesAndSaturationScenesAgreeWithColdAndPlainOnes) {
    expectSceneSetAgrees(false, 100, 25);
    expectSceneSetAgrees(true, 16, 12);
}

// Rounding in the factorisation kept from spectrum to spectrum must not build up.
TEST_F(WarmSolveTest, LongNoisyStreamStillAgreesWithColdSolvesAtItsEnd) {
    const std::size_t frames = 1200;
    const auto stream = kelo::reference::broadbandStream(*calibration, frames, false, kNoise);
    const std::size_t n = stream[0].n;
    const int cap = kelo::engine::iterationCap(n);
    NnlsSolver warm, cold;
    warm.prepare(stream[0].a, n, n);
    cold.prepare(stream[0].a, n, n);
    Values warmX(n), coldX(n);
    int warmStarts = 0;
    for (std::size_t f = 0; f < frames; ++f) {
        warm.solve(stream[f].b.data(), warmX.data(), cap, cap, kTolerance, SolveStart::warm);
        warmStarts += warm.diagnostics().warm;
        if (f % 300 != 299) continue;
        cold.solve(stream[f].b.data(), coldX.data(), cap, cap, kTolerance);
        EXPECT_TRUE(agrees(warmX, coldX)) << "frame " << f;
    }
    EXPECT_EQ(warmStarts, int(frames) - 1);
}

TEST_F(WarmSolveTest, WarmSolveStartsColdWhereItHasNothingToStartFromOrReachesACap) {
    const auto grid = calibration->grid(false);
    const SolverProblem lamp =
        noisy(kelo::reference::halogenSpectrum(grid, kelo::reference::kCameraPeak), false, 1);
    const SolverProblem lines = noisy(mercuryLines(false), false, 2);
    const std::size_t n = lamp.n;
    const int cap = kelo::engine::iterationCap(n);
    NnlsSolver solver, fresh;
    solver.prepare(lamp.a, n, n);
    fresh.prepare(lamp.a, n, n);
    Values x(n), coldX(n);

    // Nothing solved since prepare().
    solver.solve(lamp.b.data(), x.data(), cap, cap, kTolerance, SolveStart::warm);
    EXPECT_FALSE(solver.diagnostics().warm);
    solver.solve(lamp.b.data(), x.data(), cap, cap, kTolerance, SolveStart::warm);
    EXPECT_TRUE(solver.diagnostics().warm);
    solver.prepare(lamp.a, n, n);
    solver.solve(lamp.b.data(), x.data(), cap, cap, kTolerance, SolveStart::warm);
    EXPECT_FALSE(solver.diagnostics().warm);

    // From the lamp's hundreds of passive variables the lines take far more
    // passes than from nothing: the warm solve reaches the cap, and the
    // result is the cold solve's, as if nothing had come before.
    fresh.solve(lines.b.data(), coldX.data(), 60, 60, kTolerance);
    ASSERT_FALSE(fresh.diagnostics().capReached);
    solver.solve(lines.b.data(), x.data(), 60, 60, kTolerance, SolveStart::warm);
    EXPECT_FALSE(solver.diagnostics().warm);
    EXPECT_FALSE(solver.diagnostics().capReached);
    EXPECT_EQ(solver.diagnostics().passes, fresh.diagnostics().passes);
    EXPECT_EQ(x, coldX);

    // A solve stopped by its cap is no start either.
    solver.solve(lamp.b.data(), x.data(), 50, 50, kTolerance);
    ASSERT_TRUE(solver.diagnostics().capReached);
    solver.solve(lamp.b.data(), x.data(), cap, cap, kTolerance, SolveStart::warm);
    EXPECT_FALSE(solver.diagnostics().warm);
    EXPECT_FALSE(solver.diagnostics().capReached);
}

// The live loop's processor, asked for warm solves throughout, against one
// that always solves cold, while the operator changes dark and grid.
class WarmProcessorTest : public WarmSolveTest {
protected:
    void SetUp() override {
        for (SpectralProcessor* processor : {&warm, &cold})
            ASSERT_TRUE(processor->initialize(kelo::reference::ScratchUnitFolder::unitId()));
        ASSERT_EQ(warm.unavailableReason(), "");
    }

    // The cells of spectrum s (on the full grid) with noise, as averaged
    // frames give them.
    static Values cellsOf(const Values& s, unsigned seed) {
        const kelo::DenseMatrix& transferT = calibration->data().tmatT;
        Values cells(transferT.cols, 0.0);
        for (std::size_t j = 0; j < transferT.rows; ++j)
            for (std::size_t k = 0; k < transferT.cols; ++k) cells[k] += transferT.at(j, k) * s[j];
        std::mt19937 random(seed);
        std::normal_distribution<double> deviation(0.0, kNoise);
        for (double& value : cells) value += deviation(random);
        return cells;
    }

    // Solves `cells` both ways; returns whether the warm processor started warm.
    bool solve(const Values& cells, const std::string& step) {
        Values warmSpectrum, coldSpectrum;
        std::uint8_t warmSaturated = 9, coldSaturated = 9;
        EXPECT_TRUE(warm.solveSpectrum(cells, warmSpectrum, warmSaturated, SolveStart::warm));
        EXPECT_TRUE(cold.solveSpectrum(cells, coldSpectrum, coldSaturated));
        EXPECT_TRUE(agrees(warmSpectrum, coldSpectrum)) << step;
        EXPECT_EQ(warmSaturated, coldSaturated) << step;
        EXPECT_FALSE(cold.fitDiagnostics().warmStart);
        return warm.fitDiagnostics().warmStart;
    }

    template <typename Change>
    void both(Change change) {
        change(warm);
        change(cold);
    }

    kelo::reference::ScratchUnitFolder folder;
    std::ostream quiet{nullptr};
    SpectralProcessor warm{quiet}, cold{quiet};
};

TEST_F(WarmProcessorTest, StartsColdWheneverGridDarkCalibrationOrThePreviousCallChanged) {
    const Values grid = calibration->grid(true);
    const Values lamp = kelo::reference::halogenSpectrum(grid, kelo::reference::kCameraPeak);
    unsigned seed = 0;
    const auto lampCells = [&] { return cellsOf(lamp, ++seed); };

    EXPECT_FALSE(solve(lampCells(), "first"));
    EXPECT_TRUE(solve(lampCells(), "second"));

    both([](SpectralProcessor& p) {
        ASSERT_TRUE(p.setDarkCells(Values(p.getNumCells(), 15.0)));
        p.setDarkSubtraction(true);
    });
    EXPECT_FALSE(solve(lampCells(), "dark on"));
    EXPECT_TRUE(solve(lampCells(), "dark on, next"));
    both([](SpectralProcessor& p) { ASSERT_TRUE(p.setDarkCells(Values(p.getNumCells(), 5.0))); });
    EXPECT_FALSE(solve(lampCells(), "new dark"));
    both([](SpectralProcessor& p) { p.clearDarkCells(); });
    EXPECT_FALSE(solve(lampCells(), "dark cleared"));
    EXPECT_TRUE(solve(lampCells(), "dark cleared, next"));
    both([](SpectralProcessor& p) { p.setDarkSubtraction(false); });
    EXPECT_TRUE(solve(lampCells(), "no dark to stop subtracting"));

    both([](SpectralProcessor& p) { p.setRestrictedRange(false); });
    EXPECT_FALSE(solve(lampCells(), "full grid"));
    EXPECT_TRUE(solve(lampCells(), "full grid, next"));
    both([](SpectralProcessor& p) { p.setRestrictedRange(true); });
    EXPECT_FALSE(solve(lampCells(), "restricted again"));

    // Saturation-level light is a scene like any other.
    const Values bright =
        cellsOf(kelo::reference::halogenSpectrum(grid, 3.0 * kelo::reference::kCameraPeak), ++seed);
    EXPECT_TRUE(solve(bright, "saturated"));
    EXPECT_FALSE(warm.fitDiagnostics().saturatedCells.empty());

    Values spectrum;
    std::uint8_t saturated = 0;
    EXPECT_FALSE(warm.solveSpectrum(Values(3, 1.0), spectrum, saturated, SolveStart::warm));
    EXPECT_FALSE(solve(lampCells(), "after a refused call"));
    ASSERT_TRUE(
        warm.solveSpectrum(Values(warm.getNumCells(), 0.0), spectrum, saturated, SolveStart::warm));
    EXPECT_FALSE(warm.fitDiagnostics().fitted);
    EXPECT_FALSE(solve(lampCells(), "after cells without light"));

    ASSERT_TRUE(warm.initialize(kelo::reference::ScratchUnitFolder::unitId()));
    EXPECT_FALSE(solve(lampCells(), "calibration loaded again"));
    EXPECT_TRUE(solve(lampCells(), "calibration loaded again, next"));
}

}  // namespace
