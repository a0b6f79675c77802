// Frames to cell values: window placement with the software offsets, bad
// pixels, and the Gaussian-blur normalisation with its guards.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "HandMadeUnit.h"
#include "TestSupport.h"
#include "engine/SpectralProcessor.h"

namespace {

using kelo::enginetest::HandMadeUnit;
using kelo::enginetest::identity;

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// Two cells of 17 x 17 pixels on a 40 x 30 image, software offsets (1, 2):
// cell 0 covers columns 2..18 and rows 2..18, cell 1 columns 20..36 and rows
// 10..26. Cell 0 has 3 bad pixels.
class TwoWindowUnit : public ::testing::Test {
protected:
    static constexpr int kWidth = 40, kHeight = 30;

    void SetUp() override {
        kelo::SystemConfigBlock& b = unit.block;
        b.minWavelength = 500;
        b.maxWavelength = 501;
        b.rangeMinWavelength = 500;
        b.rangeMaxWavelength = 501;
        b.numCells = 2;
        b.swOffsetX = 1;
        b.swOffsetY = 2;
        b.dataSizeX = kWidth;
        b.dataSizeY = kHeight;
        b.swFwhm = 1.0;
        unit.centres = {9, 8, 27, 16};
        unit.badPixels = {0, 2, 2, 0, 18, 18, 0, 10, 10};
        unit.transfer = identity(2);
        unit.normal = identity(2);
    }

    void start() {
        unit.write();
        ASSERT_TRUE(processor.initialize("HM1")) << log.str();
    }

    // `inside` on the two windows, `outside` everywhere else, `bad` on the
    // bad pixels.
    Frame frame(std::uint16_t inside, std::uint16_t outside, std::uint16_t bad) const {
        Frame pixels(kWidth * kHeight, outside);
        auto fill = [&](int left, int top) {
            for (int y = top; y < top + 17; ++y)
                for (int x = left; x < left + 17; ++x) pixels[y * kWidth + x] = inside;
        };
        fill(2, 2);
        fill(20, 10);
        for (std::size_t i = 0; i < unit.badPixels.size(); i += 3)
            pixels[unit.badPixels[i + 2] * kWidth + unit.badPixels[i + 1]] = bad;
        return pixels;
    }

    kelo::test::ScopedWorkDir dir;
    HandMadeUnit unit;
    std::ostringstream log;
    SpectralProcessor processor{log};
};

TEST_F(TwoWindowUnit, CellWithThreeBadPixelsIsTheMeanOfTheOther286) {
    start();
    std::vector<double> cells;
    // Counting the bad pixels, or dividing by 289, would move cell 0 off 1000.
    ASSERT_TRUE(processor.computeCellValues(frame(1000, 60000, 4095), cells));
    EXPECT_EQ(cells, (std::vector<double>{1000.0, 1000.0}));

    Frame odd = frame(2, 60000, 4095);
    odd[2 * kWidth + 3] = 3;  // one good pixel of cell 0 one count higher
    const Frame delivered = odd;
    ASSERT_TRUE(processor.computeCellValues(odd, cells));
    EXPECT_EQ(cells[0], (285.0 * 2 + 3) / 286);
    EXPECT_EQ(cells[1], 2.0);
    EXPECT_EQ(odd, delivered);  // the caller's frame keeps its bad pixels
}

TEST_F(TwoWindowUnit, CellWhosePixelsAreAllBadIsZero) {
    unit.badPixels.clear();
    for (int y = 10; y <= 26; ++y)
        for (int x = 20; x <= 36; ++x) unit.badPixels.insert(unit.badPixels.end(), {1, x, y});
    start();
    std::vector<double> cells;
    ASSERT_TRUE(processor.computeCellValues(frame(1000, 1000, 1000), cells));
    EXPECT_EQ(cells, (std::vector<double>{1000.0, 0.0}));
    EXPECT_EQ(occurrences(log.str(), "All are bad pixels"), 1u);
}

TEST_F(TwoWindowUnit, FrameOfAnotherSizeIsRefused) {
    start();
    std::vector<double> cells = {-1.0};
    EXPECT_FALSE(processor.computeCellValues(Frame(kWidth * kHeight - 1, 5), cells));
    EXPECT_FALSE(processor.computeCellValues(Frame(kWidth * kHeight + 1, 5), cells));
    EXPECT_FALSE(processor.computeCellValues(Frame(), cells));
    EXPECT_EQ(cells, std::vector<double>{-1.0});
}

TEST_F(TwoWindowUnit, BlurModeOnAUnitWithoutBlurSupportIsRefused) {
    // The image is too small for the blur, and the unit has no blur set.
    processor.setGaussBlurMode(1);
    start();
    std::vector<double> cells;
    EXPECT_FALSE(processor.computeCellValues(frame(1, 1, 1), cells));
    EXPECT_FALSE(processor.unavailableReason().empty());
}

// Three cells of 17 x 17 pixels on a 400 x 110 image in Gaussian-blur mode:
// cell 0 far right at x 380, cell 1 far left at x 20, cell 2 in the middle.
// The blur reaches 148 pixels, so the ends do not see each other.
class BlurUnit : public ::testing::Test {
protected:
    static constexpr int kWidth = 400, kHeight = 110;

    void SetUp() override {
        kelo::SystemConfigBlock& b = unit.block;
        b.minWavelength = 500;
        b.maxWavelength = 502;
        b.rangeMinWavelength = 500;
        b.rangeMaxWavelength = 502;
        b.numCells = 3;
        b.dataSizeX = kWidth;
        b.dataSizeY = kHeight;
        b.swFwhm = 1.0;
        b.gaussBlurMode = 1;
        unit.centres = {380, 55, 20, 55, 200, 55};
        unit.transfer = identity(3);
        unit.normal = identity(3);
        unit.write();
        processor.setGaussBlurMode(1);
        EXPECT_TRUE(processor.initialize("HM1")) << log.str();
    }

    std::vector<double> cellsOf(const Frame& frame) {
        std::vector<double> cells;
        EXPECT_TRUE(processor.computeCellValues(frame, cells));
        return cells;
    }

    std::size_t blursMade() const {
        return occurrences(log.str(), "\n Time taken for gaussian blur=");
    }

    kelo::test::ScopedWorkDir dir;
    HandMadeUnit unit;
    std::ostringstream log;
    SpectralProcessor processor{log};
};

TEST_F(BlurUnit, UniformFrameNormalisesToAllOnes) {
    EXPECT_EQ(cellsOf(Frame(kWidth * kHeight, 700)), (std::vector<double>{700, 700, 700}));
    EXPECT_EQ(blursMade(), 1u);
    EXPECT_NE(log.str().find("milliseconds\n"), std::string::npos);
}

TEST_F(BlurUnit, BlackFrameGivesZeroCellsNotNaN) {
    EXPECT_EQ(cellsOf(Frame(kWidth * kHeight, 0)), (std::vector<double>{0, 0, 0}));
}

TEST_F(BlurUnit, PixelsThatBlurToZeroFarFromTheLightDivideByOne) {
    // Light only at the left edge; cell 0 sees a faint patch that the blur
    // spreads below one count, so its normalisation pixels are 0.
    Frame frame(kWidth * kHeight, 0);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < 40; ++x) frame[y * kWidth + x] = 4000;
    for (int y = 47; y <= 63; ++y)
        for (int x = 372; x <= 388; ++x) frame[y * kWidth + x] = 5;
    const std::vector<double> cells = cellsOf(frame);
    EXPECT_EQ(cells[0], 5.0);
    for (double value : cells) EXPECT_TRUE(std::isfinite(value)) << value;
}

TEST_F(BlurUnit, BlurEveryFrameOffMakesExactlyOneMoreImage) {
    const Frame frame(kWidth * kHeight, 300);
    cellsOf(frame);
    cellsOf(frame);
    EXPECT_EQ(blursMade(), 2u);
    processor.setBlurEveryFrame(false);
    cellsOf(frame);
    cellsOf(frame);
    cellsOf(frame);
    EXPECT_EQ(blursMade(), 3u);
    processor.setBlurEveryFrame(false);
    cellsOf(frame);
    cellsOf(frame);
    EXPECT_EQ(blursMade(), 4u);
    processor.setBlurEveryFrame(true);
    cellsOf(frame);
    EXPECT_EQ(blursMade(), 5u);
}

TEST_F(BlurUnit, BlurModeOffNeverBlurs) {
    processor.setGaussBlurMode(0);
    EXPECT_EQ(cellsOf(Frame(kWidth * kHeight, 123)), (std::vector<double>{123, 123, 123}));
    processor.setBlurEveryFrame(false);
    cellsOf(Frame(kWidth * kHeight, 123));
    EXPECT_EQ(blursMade(), 0u);
}

}  // namespace
