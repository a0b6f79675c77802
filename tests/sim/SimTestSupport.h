// Helpers of the synthetic-unit tests: a default unit shared by a suite, and
// reading its files back by decoding the bytes here, independently of the
// generator's encoders.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "config/DenseMatrix.h"
#include "sim/SyntheticUnit.h"

namespace kelo::simtest {

using Bytes = std::vector<std::uint8_t>;

// The shape of the default unit.
constexpr std::size_t kCells = 900;
constexpr std::size_t kPoints = 641;       // 380..1020 nm
constexpr std::size_t kRangeFirst = 10;    // column of 390 nm
constexpr std::size_t kRangePoints = 411;  // 390..800 nm
constexpr int kImageWidth = 1280;
constexpr int kImageHeight = 670;
constexpr int kReach = 8;  // a window is the centre pixel +- 8 in x and y

// Every 4-byte little-endian integer of a file.
std::vector<std::int32_t> readInt32s(const std::filesystem::path& file);

// A file of rows x cols little-endian doubles; fails the test on another size.
DenseMatrix readMatrix(const std::filesystem::path& file, std::size_t rows, std::size_t cols);

// root/cal/id/id<suffix>.
std::filesystem::path unitFile(const std::filesystem::path& root, const std::string& id,
                               const char* suffix);

// Writes the unit, failing the test on an error; returns the log.
std::string writeUnit(const sim::SyntheticUnitOptions& options);

// sqrt(largest / smallest eigenvalue) of the count x count block of a
// symmetric positive definite matrix starting at (first, first).
double conditionNumber(const DenseMatrix& normal, std::size_t first, std::size_t count);

// The options of the default unit "K3S00042" (the root aside).
sim::SyntheticUnitOptions defaultUnitOptions();

// Suites whose tests read one unit "K3S00042", written once per suite into a
// scratch working folder by the suite's SetUpTestSuite().
class SharedUnitTest : public ::testing::Test {
protected:
    static void writeSharedUnit(sim::SyntheticUnitOptions options);
    static void TearDownTestSuite();

    static std::filesystem::path file(const char* suffix);
    // A matrix file of the unit with one column per nm of 380..1020.
    static DenseMatrix matrix(const char* suffix, std::size_t rows);

private:
    static std::unique_ptr<kelo::test::ScopedWorkDir> folder;
};

class DefaultUnitTest : public SharedUnitTest {
protected:
    static void SetUpTestSuite() { writeSharedUnit(defaultUnitOptions()); }
};

}  // namespace kelo::simtest
