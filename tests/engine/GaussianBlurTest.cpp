// The fast blur: its box sizes, what it does to simple frames, and bit for
// bit agreement with the plain blur on frames like the camera's.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <vector>

#include "GaussianBlur.h"
#include "PlainBlur.h"

namespace {

using kelo::engine::GaussianBlur;

constexpr int kWidth = 1280;
constexpr int kHeight = 670;

std::vector<double> randomFrame(int width, int height, int largest, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pixel(0, largest);
    std::vector<double> frame(static_cast<std::size_t>(width) * height);
    for (double& value : frame) value = pixel(random);
    return frame;
}

void expectSameAsPlain(std::vector<double> frame, int width, int height, double sigma) {
    std::vector<double> plain = frame;
    kelo::reference::plainGaussBlur(plain, width, height, sigma);
    GaussianBlur(width, height, sigma).apply(frame.data());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < frame.size(); ++i) differing += frame[i] != plain[i];
    EXPECT_EQ(differing, 0u) << width << " x " << height << ", sigma " << sigma;
}

TEST(GaussianBlurTest, BoxSizesForTheNormalisationSigma) {
    EXPECT_EQ(kelo::engine::boxSizesForGauss(50.0), (std::array<int, 3>{99, 99, 101}));
    // wIdeal = sqrt(26) = 5.1: odd 5 below, m = round(69 / 24) = 3 boxes of 5.
    EXPECT_EQ(kelo::engine::boxSizesForGauss(2.5), (std::array<int, 3>{5, 5, 5}));
    // wIdeal = 2.6: 1 and 3, m = round(6.72 / 8) = 1.
    EXPECT_EQ(kelo::engine::boxSizesForGauss(1.2), (std::array<int, 3>{1, 3, 3}));
    for (const double sigma : {1.2, 2.5, 7.3, 50.0})
        EXPECT_EQ(kelo::engine::boxSizesForGauss(sigma), kelo::reference::plainBoxSizes(sigma));
}

TEST(GaussianBlurTest, UniformFrameStaysUniform) {
    for (const double level : {0.0, 1.0, 777.0, 4095.0, 65535.0}) {
        std::vector<double> frame(static_cast<std::size_t>(kWidth) * kHeight, level);
        GaussianBlur(kWidth, kHeight, 50.0).apply(frame.data());
        EXPECT_EQ(std::count(frame.begin(), frame.end(), level), static_cast<long>(frame.size()))
            << level;
    }
}

TEST(GaussianBlurTest, RandomCameraFramesMatchThePlainBlurBitForBit) {
    expectSameAsPlain(randomFrame(kWidth, kHeight, 4095, 1), kWidth, kHeight, 50.0);
    expectSameAsPlain(randomFrame(kWidth, kHeight, 65535, 2), kWidth, kHeight, 50.0);
}

TEST(GaussianBlurTest, FramesWithEdgesMatchThePlainBlurBitForBit) {
    // Bright and dark half planes, a bright border and a lit spot: every
    // edge case of the running sums meets a step in the values.
    std::vector<double> frame(static_cast<std::size_t>(kWidth) * kHeight, 0.0);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            double& pixel = frame[static_cast<std::size_t>(y) * kWidth + x];
            if (x < 3 || y < 3 || x >= kWidth - 3 || y >= kHeight - 3)
                pixel = 4095;
            else if (x > kWidth / 2)
                pixel = 1000 + (x + 3 * y) % 7;
            if (std::hypot(x - 300.0, y - 200.0) < 40.0) pixel = 65535;
        }
    expectSameAsPlain(frame, kWidth, kHeight, 50.0);
}

TEST(GaussianBlurTest, SmallestImagesAndOtherSigmasMatchThePlainBlur) {
    expectSameAsPlain(randomFrame(101, 101, 4095, 3), 101, 101, 50.0);
    expectSameAsPlain(randomFrame(103, 250, 65535, 4), 103, 250, 50.0);
    expectSameAsPlain(randomFrame(40, 31, 4095, 5), 40, 31, 2.5);
    expectSameAsPlain(randomFrame(17, 9, 4095, 6), 17, 9, 1.2);
}

TEST(GaussianBlurTest, ImageSmallerThanTheLargestBoxIsRefused) {
    EXPECT_THROW(GaussianBlur(100, 670, 50.0), std::invalid_argument);
    EXPECT_THROW(GaussianBlur(1280, 100, 50.0), std::invalid_argument);
    EXPECT_NO_THROW(GaussianBlur(101, 101, 50.0));
}

// Every window sum a 16-bit frame can give, for the radii of the blur
// normalisation and a few small ones.
TEST(GaussianBlurTest, IntegerWindowMeanEqualsRoundingTheSinglePrecisionQuotient) {
    for (const int radius : {49, 50, 0, 1, 2, 7}) {
        const float inverseF = 1.0f / static_cast<float>(2 * radius + 1);
        const double inverse = inverseF;
        EXPECT_EQ(kelo::engine::boxInverse(radius), inverse);
        const std::int32_t largestSum = (2 * radius + 1) * 65535;
        std::int32_t mismatches = 0;
        for (std::int32_t sum = 0; sum <= largestSum; ++sum)
            mismatches += kelo::engine::roundedBoxMean(sum, inverse) != std::round(sum * inverse);
        EXPECT_EQ(mismatches, 0) << "radius " << radius;
    }
}

}  // namespace
