// What the calibration of the default unit says: cell windows, bad pixels,
// and transfer matrices an application can reconstruct spectra with.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <map>

#include "SimTestSupport.h"
#include "config/UnitFiles.h"

namespace kelo::simtest {
namespace {

struct Pixel {
    int x = 0;
    int y = 0;
};

std::vector<Pixel> cellCentres(const std::filesystem::path& file) {
    const std::vector<std::int32_t> values = readInt32s(file);
    std::vector<Pixel> centres;
    for (std::size_t k = 0; k + 1 < values.size(); k += 2)
        centres.push_back({values[k], values[k + 1]});
    return centres;
}

bool insideWindow(const Pixel& centre, int x, int y) {
    return std::abs(x - centre.x) <= kReach && std::abs(y - centre.y) <= kReach;
}

// Element (a, b) of TᵀT, summed here over the cells.
double normalElement(const DenseMatrix& transfer, std::size_t a, std::size_t b) {
    double sum = 0.0;
    for (std::size_t i = 0; i < transfer.rows; ++i) sum += transfer.at(i, a) * transfer.at(i, b);
    return sum;
}

void expectNormalMatrixOf(const DenseMatrix& transfer, const DenseMatrix& normal) {
    for (std::size_t a = 0; a < normal.rows; ++a)
        for (std::size_t b = 0; b < normal.cols; ++b)
            ASSERT_NEAR(normal.at(a, b), normalElement(transfer, a, b),
                        1e-13 * std::sqrt(normal.at(a, a) * normal.at(b, b)))
                << a << ", " << b;
}

using CellLayoutTest = DefaultUnitTest;

TEST_F(CellLayoutTest, EveryWindowLiesInsideTheImage) {
    const std::vector<Pixel> centres = cellCentres(file(kCellCentreFileSuffix));
    ASSERT_EQ(centres.size(), kCells);
    for (std::size_t i = 0; i < centres.size(); ++i) {
        EXPECT_GE(centres[i].x - kReach, 0) << i;
        EXPECT_LT(centres[i].x + kReach, kImageWidth) << i;
        EXPECT_GE(centres[i].y - kReach, 0) << i;
        EXPECT_LT(centres[i].y + kReach, kImageHeight) << i;
    }
}

TEST_F(CellLayoutTest, NoTwoWindowsShareAPixel) {
    const std::vector<Pixel> centres = cellCentres(file(kCellCentreFileSuffix));
    for (std::size_t i = 0; i < centres.size(); ++i)
        for (std::size_t k = i + 1; k < centres.size(); ++k)
            ASSERT_TRUE(std::abs(centres[i].x - centres[k].x) > 2 * kReach ||
                        std::abs(centres[i].y - centres[k].y) > 2 * kReach)
                << "cells " << i << " and " << k;
}

TEST_F(CellLayoutTest, BadPixelsLieInTheirCellsWindows) {
    const std::vector<Pixel> centres = cellCentres(file(kCellCentreFileSuffix));
    const std::vector<std::int32_t> values = readInt32s(file(kBadPixelFileSuffix));
    ASSERT_EQ(values.size() % 3, 0u);
    for (std::size_t k = 0; k < values.size(); k += 3) {
        const std::int32_t cell = values[k];
        ASSERT_GE(cell, 0);
        ASSERT_LT(cell, static_cast<std::int32_t>(kCells));
        EXPECT_TRUE(insideWindow(centres[cell], values[k + 1], values[k + 2]))
            << "record " << k / 3 << ": cell " << cell << " pixel " << values[k + 1] << ", "
            << values[k + 2];
    }
}

TEST_F(CellLayoutTest, BadPixelsOfACellAreAdjacentDistinctRecords) {
    const std::vector<std::int32_t> values = readInt32s(file(kBadPixelFileSuffix));
    std::map<std::int32_t, int> perCell;
    std::vector<std::int32_t> cellOrder;
    for (std::size_t k = 0; k < values.size(); k += 3) {
        if (cellOrder.empty() || cellOrder.back() != values[k]) {
            EXPECT_EQ(perCell.count(values[k]), 0u) << "cell " << values[k] << " split";
            cellOrder.push_back(values[k]);
        }
        ++perCell[values[k]];
        for (std::size_t other = 0; other < k; other += 3)
            EXPECT_FALSE(values[other + 1] == values[k + 1] && values[other + 2] == values[k + 2])
                << "record " << k / 3 << " repeats record " << other / 3;
    }
    EXPECT_GE(values.size() / 3, 8u);
    EXPECT_LE(values.size() / 3, 20u);
    EXPECT_GE(perCell.size(), 3u);
    EXPECT_TRUE(std::any_of(perCell.begin(), perCell.end(),
                            [](const auto& entry) { return entry.second == 3; }));
}

using TransferMatrixTest = DefaultUnitTest;

TEST_F(TransferMatrixTest, NormalMatrixIsTheProductOfTheWrittenTransferMatrix) {
    const DenseMatrix transfer = matrix(kTransferMatrixFileSuffix, kCells);
    const DenseMatrix normal = matrix(kNormalMatrixFileSuffix, kPoints);
    expectNormalMatrixOf(transfer, normal);
}

// The acceptance test of the model: a restricted-range reconstruction must be
// well posed at 1 nm sampling.
TEST_F(TransferMatrixTest, RestrictedRangeIsWellConditioned) {
    const DenseMatrix normal = matrix(kNormalMatrixFileSuffix, kPoints);
    const double restricted = conditionNumber(normal, kRangeFirst, kRangePoints);
    const double full = conditionNumber(normal, 0, kPoints);
    RecordProperty("restricted_condition", std::to_string(restricted));
    RecordProperty("full_condition", std::to_string(full));
    std::cout << "condition number: restricted " << restricted << ", full " << full << "\n";
    EXPECT_LT(restricted, 1e4);
}

// A restricted reconstruction is exact only if no cell mixes light from
// inside and outside the working range.
TEST_F(TransferMatrixTest, EachCellSeesLightOfOneFilterZoneOnly) {
    const DenseMatrix transfer = matrix(kTransferMatrixFileSuffix, kCells);
    std::size_t insideCells = 0;
    for (std::size_t i = 0; i < kCells; ++i) {
        std::size_t inside = 0, outside = 0;
        for (std::size_t j = 0; j < kPoints; ++j) {
            ASSERT_GE(transfer.at(i, j), 0.0) << i << ", " << j;
            const bool inRange = j >= kRangeFirst && j < kRangeFirst + kRangePoints;
            if (transfer.at(i, j) > 0.0) ++(inRange ? inside : outside);
        }
        if (inside > 0) {
            ++insideCells;
            EXPECT_EQ(outside, 0u) << "cell " << i;
            EXPECT_EQ(inside, kRangePoints) << "cell " << i;
        } else {
            EXPECT_EQ(outside, kPoints - kRangePoints) << "cell " << i;
        }
    }
    // Cell centres are spread evenly over 380..1020 nm, 411 of 641 nm are in range.
    EXPECT_GT(insideCells, kCells / 2);
    EXPECT_LT(insideCells, kCells * 3 / 4);
}

TEST_F(TransferMatrixTest, FlatSpectrumGivesCountsInTheCameraRange) {
    const DenseMatrix transfer = matrix(kTransferMatrixFileSuffix, kCells);
    for (std::size_t i = 0; i < kCells; ++i) {
        double counts = 0.0;
        for (std::size_t j = 0; j < kPoints; ++j) counts += 100.0 * transfer.at(i, j);
        // Cells at a filter-zone edge lose part of their passband.
        EXPECT_GT(counts, 50.0) << "cell " << i;
        EXPECT_LT(counts, 4095.0) << "cell " << i;
    }
}

TEST_F(TransferMatrixTest, EachCellSeesMostlyItsOwnPassband) {
    const DenseMatrix transfer = matrix(kTransferMatrixFileSuffix, kCells);
    for (std::size_t i = 0; i < kCells; ++i) {
        const double* row = transfer.row(i);
        const std::size_t peak = std::max_element(row, row + kPoints) - row;
        double total = 0.0, near = 0.0;
        for (std::size_t j = 0; j < kPoints; ++j) {
            total += row[j];
            if (j + 90 > peak && j < peak + 90) near += row[j];
        }
        EXPECT_GT(near / total, 0.9) << "cell " << i;
    }
}

class GaussBlurUnitTest : public SharedUnitTest {
protected:
    static void SetUpTestSuite() {
        sim::SyntheticUnitOptions options = defaultUnitOptions();
        options.gaussBlur = true;
        writeSharedUnit(options);
    }
};

TEST_F(GaussBlurUnitTest, BlurRowsAreTheRowsOverAnIlluminationFactorOfAtMostOne) {
    const DenseMatrix transfer = matrix(kTransferMatrixFileSuffix, kCells);
    const DenseMatrix blurred = matrix(kBlurTransferMatrixFileSuffix, kCells);
    double lowest = 1.0, highest = 0.0;
    for (std::size_t i = 0; i < kCells; ++i) {
        const double* row = transfer.row(i);
        const std::size_t peak = std::max_element(row, row + kPoints) - row;
        const double factor = transfer.at(i, peak) / blurred.at(i, peak);
        ASSERT_GT(factor, 0.0);
        ASSERT_LE(factor, 1.0);
        lowest = std::min(lowest, factor);
        highest = std::max(highest, factor);
        for (std::size_t j = 0; j < kPoints; ++j)
            ASSERT_NEAR(blurred.at(i, j) * factor, transfer.at(i, j), 1e-14 * transfer.at(i, j))
                << i << ", " << j;
    }
    // A broad profile: bright in the middle, clearly dimmer at the corners.
    EXPECT_GT(highest, 0.99);
    EXPECT_LT(lowest, 0.9);
    EXPECT_GT(lowest, 0.3);
}

TEST_F(GaussBlurUnitTest, BlurNormalMatrixIsTheProductOfTheBlurTransferMatrix) {
    expectNormalMatrixOf(matrix(kBlurTransferMatrixFileSuffix, kCells),
                         matrix(kBlurNormalMatrixFileSuffix, kPoints));
}

}  // namespace
}  // namespace kelo::simtest
