// Cell values to spectra on hand-made units whose fits can be worked out on
// paper: dark subtraction, the smallest-sum rule, saturation, smoothing and
// its alignment, diagnostics, and mode switches from another thread.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <sstream>
#include <thread>

#include "HandMadeUnit.h"
#include "TestSupport.h"
#include "engine/SpectralProcessor.h"

namespace {

using kelo::enginetest::HandMadeUnit;
using kelo::enginetest::identityUnit;
using Values = std::vector<double>;

// Units whose cells each see one wavelength of 500..509 nm, working range
// 502..505 (an even size). A line width of 0.05 nm makes the kernel a single
// 1 at its centre (its neighbours underflow to 0), so the spectrum is the fit itself with its last
// point repeated.
class IdentityUnit : public ::testing::Test {
protected:
    void start(HandMadeUnit unit) {
        unit.write();
        ASSERT_TRUE(processor.initialize("HM1")) << log.str();
        ASSERT_EQ(processor.unavailableReason(), "");
    }
    void start() { start(identityUnit(500, 509, 502, 505, 0.05)); }

    Values solve(const Values& cells, std::uint8_t* saturatedOut = nullptr) {
        Values spectrum;
        std::uint8_t saturated = 9;
        EXPECT_TRUE(processor.solveSpectrum(cells, spectrum, saturated));
        if (saturatedOut) *saturatedOut = saturated;
        return spectrum;
    }

    kelo::test::ScopedWorkDir dir;
    std::ostringstream log;
    SpectralProcessor processor{log};
};

const Values kRising = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100};

// Calibration values and cells that are each finite can still overflow the
// fit; that is a failed solve, never a spectrum of infinities or NaN.
TEST_F(IdentityUnit, OverflowingFitFailsAndLeavesTheOutputs) {
    HandMadeUnit unit = identityUnit(500, 509, 502, 505, 0.05);
    for (double& value : unit.transfer.values) value *= 1e100;
    start(unit);
    Values spectrum = {42.0};
    std::uint8_t saturated = 7;
    EXPECT_FALSE(processor.solveSpectrum(Values(10, 1e300), spectrum, saturated));
    EXPECT_EQ(spectrum, Values{42.0});
    EXPECT_EQ(saturated, 7);
    EXPECT_NE(log.str().find("\nno spectrum: the fit of these cell values against the "
                             "calibration is not finite\n"),
              std::string::npos);
    EXPECT_FALSE(processor.fitDiagnostics().fitted);
}

TEST_F(IdentityUnit, RestrictedFitTakesTheRangeColumnsAndFullFitAll) {
    start();
    EXPECT_EQ(processor.getWavelengths(), (Values{502, 503, 504, 505}));
    EXPECT_EQ(solve(kRising), (Values{30, 40, 50, 50}));
    processor.setRestrictedRange(false);
    EXPECT_EQ(processor.getWavelengths(),
              (Values{500, 501, 502, 503, 504, 505, 506, 507, 508, 509}));
    EXPECT_EQ(solve(kRising), (Values{10, 20, 30, 40, 50, 60, 70, 80, 90, 90}));
}

TEST_F(IdentityUnit, ANewCalibrationIsSolvedWithItsOwnNormalMatrix) {
    start();
    EXPECT_EQ(solve(kRising), (Values{30, 40, 50, 50}));
    HandMadeUnit doubled = identityUnit(500, 509, 502, 505, 0.05);
    for (double& value : doubled.normal.values) value *= 2.0;
    start(doubled);
    EXPECT_EQ(solve(kRising), (Values{15, 20, 25, 25}));
}

TEST_F(IdentityUnit, NegativeCellsFitToZeroAndTimesAreReported) {
    start();
    EXPECT_EQ(solve({0, 0, 30, -40, 50, -60, 100, 0, 0, 0}), (Values{30, 0, 50, 50}));
    EXPECT_NE(log.str().find("\nLSQN time: "), std::string::npos);
    EXPECT_NE(log.str().find(" milliseconds\n\nConvolution time: "), std::string::npos);
}

TEST_F(IdentityUnit, GradientBelowToleranceGivesAZeroSpectrum) {
    start();
    EXPECT_EQ(solve(Values(10, 1e-7)), (Values{0, 0, 0, 0}));
    EXPECT_EQ(processor.fitDiagnostics().outerIterations, 0);
}

TEST_F(IdentityUnit, CellsSummingBelow1e12GiveZerosAndLeaveTheFlag) {
    start();
    for (const Values& cells :
         {Values(10, 0.0), Values(10, 0.04e-12), Values{-5, 5, 0, 0, 0, 0, 0, 0, 0, 0}}) {
        log.str("");
        Values spectrum = {1, 2};
        std::uint8_t saturated = 7;
        ASSERT_TRUE(processor.solveSpectrum(cells, spectrum, saturated));
        EXPECT_EQ(spectrum, (Values{0, 0, 0, 0}));
        EXPECT_EQ(saturated, 7);
        EXPECT_EQ(log.str(), "\nIntersum < 1.0e-12\n");
        EXPECT_FALSE(processor.fitDiagnostics().fitted);
    }
    // Just above the limit the fit runs.
    EXPECT_EQ(solve({0, 0, 2e-12, 0, 0, 0, 0, 0, 0, 0}).size(), 4u);
    EXPECT_TRUE(processor.fitDiagnostics().fitted);
}

TEST_F(IdentityUnit, SaturationIsAboveNotAt4000) {
    start();
    std::uint8_t saturated = 9;
    solve({0, 0, 4000.0, 0, 0, 0, 0, 0, 0, 0}, &saturated);
    EXPECT_EQ(saturated, 0);
    EXPECT_TRUE(processor.fitDiagnostics().saturatedCells.empty());
    solve({0, 0, 4000.5, 0, 0, 0, 0, 0, 0, 0}, &saturated);
    EXPECT_EQ(saturated, 1);
}

TEST_F(IdentityUnit, SaturationIsJudgedBeforeDarkSubtraction) {
    start();
    ASSERT_TRUE(processor.setDarkCells(Values(10, 100.0)));
    processor.setDarkSubtraction(true);
    std::uint8_t saturated = 9;
    // A clipped cell under a dark of 100 counts reads 3995 afterwards.
    const Values spectrum = solve({100, 100, 100, 4095, 100, 100, 100, 100, 100, 100}, &saturated);
    EXPECT_EQ(saturated, 1);
    EXPECT_EQ(spectrum, (Values{0, 3995, 0, 0}));
    const auto diagnostics = processor.fitDiagnostics();
    ASSERT_EQ(diagnostics.saturatedCells.size(), 1u);
    EXPECT_EQ(diagnostics.saturatedCells[0].cell, 3u);
    EXPECT_EQ(diagnostics.saturatedCells[0].value, 4095.0);
    EXPECT_EQ(diagnostics.saturatedCells[0].peakWavelength, 503.0);
}

TEST_F(IdentityUnit, SaturatedCellReportsWhereItRespondsMost) {
    HandMadeUnit unit = identityUnit(500, 509, 502, 505, 0.05);
    // Cell 9 answers mostly to 508 nm, and within the working range to 504.
    unit.transfer.at(9, 9) = 0.0;
    unit.transfer.at(9, 8) = 3.0;
    unit.transfer.at(9, 4) = 0.5;
    unit.transfer.at(9, 3) = 0.25;
    start(unit);
    Values cells(10, 1.0);
    cells[9] = 5000.0;
    solve(cells);
    auto saturated = processor.fitDiagnostics().saturatedCells;
    ASSERT_EQ(saturated.size(), 1u);
    EXPECT_EQ(saturated[0].cell, 9u);
    EXPECT_EQ(saturated[0].peakWavelength, 504.0);
    processor.setRestrictedRange(false);
    solve(cells);
    saturated = processor.fitDiagnostics().saturatedCells;
    ASSERT_EQ(saturated.size(), 1u);
    EXPECT_EQ(saturated[0].peakWavelength, 508.0);
}

TEST_F(IdentityUnit, DarkIsSubtractedOnlyWhileStoredAndSwitchedOn) {
    start();
    processor.setDarkSubtraction(true);  // no dark yet: nothing to subtract
    EXPECT_EQ(solve(kRising), (Values{30, 40, 50, 50}));
    // The choice stands: a dark stored afterwards applies at once.
    ASSERT_TRUE(processor.setDarkCells(Values(10, 5.0)));
    EXPECT_TRUE(processor.getDarkSubtraction());
    EXPECT_EQ(solve(kRising), (Values{25, 35, 45, 45}));
    processor.setDarkSubtraction(false);
    EXPECT_EQ(solve(kRising), (Values{30, 40, 50, 50}));
    processor.setDarkSubtraction(true);
    processor.clearDarkCells();
    EXPECT_EQ(solve(kRising), (Values{30, 40, 50, 50}));
    EXPECT_FALSE(processor.setDarkCells(Values(9, 5.0)));
    EXPECT_FALSE(processor.setDarkCells(Values(10, NAN)));
}

TEST_F(IdentityUnit, CellVectorOfAnotherLengthOrNotFiniteIsRefused) {
    start();
    for (const Values& cells :
         {Values(9, 1.0), Values(11, 1.0), Values{}, Values{1, 1, NAN, 1, 1, 1, 1, 1, 1, 1},
          Values{1, 1, 1, INFINITY, 1, 1, 1, 1, 1, 1}}) {
        Values spectrum = {42};
        std::uint8_t saturated = 7;
        EXPECT_FALSE(processor.solveSpectrum(cells, spectrum, saturated));
        EXPECT_EQ(spectrum, Values{42});
        EXPECT_EQ(saturated, 7);
    }
}

// A line at 503 nm smoothed with a 2 nm kernel over the even working range
// 502..505: the kernel's centre (its upper middle element) must land on 503.
TEST_F(IdentityUnit, EvenGridFeatureStaysOnItsWavelength) {
    start(identityUnit(500, 509, 502, 505, 2.0));
    Values cells(10, 0.0);
    cells[3] = 1.0;
    const Values spectrum = solve(cells);
    ASSERT_EQ(spectrum.size(), 4u);
    EXPECT_NEAR(spectrum[0], 0.24241070106196952, 1e-15);
    EXPECT_NEAR(spectrum[1], 0.484890146080834, 1e-15);
    EXPECT_NEAR(spectrum[2], 0.24241070106196952, 1e-15);
    EXPECT_NEAR(spectrum[3], 0.24241070106196952, 1e-15);
}

TEST_F(IdentityUnit, OddGridLineIsTheKernelWithItsLastPointRepeated) {
    start(identityUnit(500, 509, 502, 506, 2.0));
    Values cells(10, 0.0);
    cells[4] = 2.0;  // 504 nm, the middle of 502..506
    const Values spectrum = solve(cells);
    const Values kernel = {0.02939803095186677, 0.23528430376908602, 0.4706353305580945,
                           0.23528430376908602};
    ASSERT_EQ(spectrum.size(), 5u);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(spectrum[i], 2 * kernel[i], 1e-15) << i;
    EXPECT_EQ(spectrum[4], spectrum[3]);
}

// min |A x - b| for x >= 0 with A = [4 2 2 0; 2 0 0 0; 2 0 3 0; 0 0 0 1] and
// b = (4, -2, 2, 0): the first variable enters the fit and must leave it
// again; the optimum is (0, 4/3, 2/3, 0) with residual (0, -2, 0, 0).
TEST_F(IdentityUnit, FitRemovesAVariableThatTurnsNegative) {
    HandMadeUnit unit = identityUnit(500, 503, 500, 503, 0.05);
    const Values a = {4, 2, 2, 0, 2, 0, 0, 0, 2, 0, 3, 0, 0, 0, 0, 1};
    unit.normal.values = a;
    start(unit);
    const Values spectrum = solve({4, -2, 2, 0});
    ASSERT_EQ(spectrum.size(), 4u);
    EXPECT_NEAR(spectrum[0], 0.0, 1e-12);
    EXPECT_NEAR(spectrum[1], 4.0 / 3, 1e-12);
    EXPECT_NEAR(spectrum[2], 2.0 / 3, 1e-12);
    EXPECT_EQ(spectrum[3], spectrum[2]);

    const auto diagnostics = processor.fitDiagnostics();
    EXPECT_TRUE(diagnostics.fitted);
    EXPECT_EQ(diagnostics.passiveCount, 2);
    EXPECT_GT(diagnostics.passes, diagnostics.outerIterations);  // a removal pass
    EXPECT_FALSE(diagnostics.capReached);
    EXPECT_NEAR(diagnostics.relativeResidual, 2.0 / std::sqrt(24.0), 1e-12);
}

TEST_F(IdentityUnit, ModeSwitchesFromAnotherThreadNeverMixIntoASolve) {
    start();
    const Values restricted = {30, 40, 50, 50}, restrictedDark = {29, 39, 49, 49};
    const Values full = {10, 20, 30, 40, 50, 60, 70, 80, 90, 90};
    Values fullDark = full;
    for (double& value : fullDark) value -= 1;

    std::atomic<bool> done{false};
    std::thread switcher([&] {
        for (int round = 0; !done; ++round) {
            processor.setRestrictedRange(round % 2 == 0);
            if (round % 3 == 0) {
                processor.setDarkCells(Values(10, 1.0));
                processor.setDarkSubtraction(true);
            } else if (round % 3 == 2) {
                processor.clearDarkCells();
            }
            processor.fitDiagnostics();
        }
    });
    int mismatches = 0;
    for (int i = 0; i < 2000; ++i) {
        const Values spectrum = solve(kRising);
        if (spectrum != restricted && spectrum != restrictedDark && spectrum != full &&
            spectrum != fullDark)
            ++mismatches;
    }
    done = true;
    switcher.join();
    EXPECT_EQ(mismatches, 0);
}

}  // namespace
