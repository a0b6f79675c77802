// The frame rate of the live loop: nine sweeps over the time they took.
#include <gtest/gtest.h>

#include <limits>
#include <optional>

#include "FrameRateWindow.h"

namespace kelo::acquisitiontest {
namespace {

using acquisition::FrameRateWindow;

// The results of adding sweeps of `seconds` one by one; -1 where nothing was
// reported.
std::vector<int> reports(FrameRateWindow& window, const std::vector<double>& seconds) {
    std::vector<int> out;
    for (double length : seconds) out.push_back(window.add(length).value_or(-1));
    return out;
}

TEST(FrameRateWindow, ASteadyTwentySweepsPerSecondIsReportedOnEveryNinthSweep) {
    FrameRateWindow window;
    const std::vector<double> steady(18, 1.0 / 20.4);
    const std::vector<int> expected = {-1, -1, -1, -1, -1, -1, -1, -1, 20,
                                       -1, -1, -1, -1, -1, -1, -1, -1, 20};
    EXPECT_EQ(reports(window, steady), expected);
}

TEST(FrameRateWindow, TheRateIsTheWindowsSweepsOverTheirTimeTruncated) {
    FrameRateWindow window;
    // Nine sweeps just longer than 50 ms: 19.99 per second is reported as 19.
    EXPECT_EQ(reports(window, std::vector<double>(9, 1.0 / 19.99)).back(), 19);
    // Sweeps of 2 and 9.9 ms in turn, as overlapping stages give: nine in
    // 5 x 2 + 4 x 9.9 = 49.6 ms is 181.45 per second (a mean of their rates
    // would say 322).
    EXPECT_EQ(reports(window, {0.002, 0.0099, 0.002, 0.0099, 0.002, 0.0099, 0.002, 0.0099, 0.002})
                  .back(),
              181);
}

TEST(FrameRateWindow, RestartForgetsTheSweepsOfTheOldSetting) {
    FrameRateWindow window;
    reports(window, std::vector<double>(5, 0.01));
    window.restart();
    const std::vector<int> afterRestart = reports(window, std::vector<double>(9, 0.098));
    EXPECT_EQ(afterRestart, (std::vector<int>{-1, -1, -1, -1, -1, -1, -1, -1, 10}));
}

TEST(FrameRateWindow, SweepsOfNoLengthAreLeftOut) {
    FrameRateWindow window;
    EXPECT_EQ(window.add(0.0), std::nullopt);
    EXPECT_EQ(window.add(-1.0), std::nullopt);
    EXPECT_EQ(window.add(std::numeric_limits<double>::infinity()), std::nullopt);
    EXPECT_EQ(window.add(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
    EXPECT_EQ(reports(window, std::vector<double>(9, 1.0 / 30.5)).back(), 30);
}

}  // namespace
}  // namespace kelo::acquisitiontest
