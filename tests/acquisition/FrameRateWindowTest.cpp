// The frame rate of the live loop: nine sweep rates, each truncated, averaged.
#include <gtest/gtest.h>

#include <limits>
#include <optional>

#include "FrameRateWindow.h"

namespace kelo::acquisitiontest {
namespace {

using acquisition::FrameRateWindow;

// The results of adding `rates` one by one; -1 where nothing was reported.
std::vector<int> reports(FrameRateWindow& window, const std::vector<double>& rates) {
    std::vector<int> out;
    for (double rate : rates) out.push_back(window.add(rate).value_or(-1));
    return out;
}

TEST(FrameRateWindow, ASteadyTwentySweepsPerSecondIsReportedOnEveryNinthSweep) {
    FrameRateWindow window;
    const std::vector<double> steady(18, 20.4);
    const std::vector<int> expected = {-1, -1, -1, -1, -1, -1, -1, -1, 20,
                                       -1, -1, -1, -1, -1, -1, -1, -1, 20};
    EXPECT_EQ(reports(window, steady), expected);
}

TEST(FrameRateWindow, EachRateIsTruncatedBeforeTheMeanIsTaken) {
    FrameRateWindow window;
    // Nine rates just under 20: the sum of the truncated rates is 9 x 19.
    EXPECT_EQ(reports(window, std::vector<double>(9, 19.99)).back(), 19);
    // 10, 20, ..., 90 plus fractions: (10 + ... + 90) / 9 = 50.
    EXPECT_EQ(reports(window, {10.7, 20.7, 30.7, 40.7, 50.7, 60.7, 70.7, 80.7, 90.7}).back(), 50);
    // Integer division of the sum: 9 x 20 + 8 = 188, 188 / 9 = 20.
    EXPECT_EQ(reports(window, {28, 20, 20, 20, 20, 20, 20, 20, 20}).back(), 20);
}

TEST(FrameRateWindow, RestartForgetsTheRatesOfTheOldSetting) {
    FrameRateWindow window;
    reports(window, std::vector<double>(5, 100.0));
    window.restart();
    const std::vector<int> afterRestart = reports(window, std::vector<double>(9, 10.0));
    EXPECT_EQ(afterRestart, (std::vector<int>{-1, -1, -1, -1, -1, -1, -1, -1, 10}));
}

TEST(FrameRateWindow, ARateOfAZeroIntervalIsLeftOut) {
    FrameRateWindow window;
    EXPECT_EQ(window.add(std::numeric_limits<double>::infinity()), std::nullopt);
    EXPECT_EQ(window.add(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
    EXPECT_EQ(reports(window, std::vector<double>(9, 30.0)).back(), 30);
}

}  // namespace
}  // namespace kelo::acquisitiontest
