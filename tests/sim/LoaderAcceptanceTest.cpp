// The application's loader accepts a synthetic unit as it stands.
#include <gtest/gtest.h>

#include <sstream>

#include "SimTestSupport.h"
#include "config/CalibrationData.h"
#include "config/SystemConfig.h"
#include "config/UnitFiles.h"

namespace kelo::simtest {
namespace {

class LoaderAcceptanceTest : public ::testing::TestWithParam<bool> {};

TEST_P(LoaderAcceptanceTest, LoadsConfigurationAndCalibration) {
    kelo::test::ScopedWorkDir folder;  // the loader reads relative to the working folder
    sim::SyntheticUnitOptions options = defaultUnitOptions();
    options.fullId = "K3S00042-FULL";
    options.gaussBlur = GetParam();
    writeUnit(options);

    std::ostringstream out, err;
    SystemConfig config;
    ASSERT_TRUE(config.load("K3S00042", out)) << out.str();
    EXPECT_EQ(config.unusableReason(), "");
    EXPECT_EQ(config.getFullDeviceId(), "K3S00042-FULL");
    CalibrationData calibration;
    ASSERT_TRUE(calibration.loadCalibration(config, out, err)) << calibration.loadError << "\n"
                                                               << out.str() << err.str();

    EXPECT_EQ(calibration.cellCentres.size(), kCells);
    EXPECT_EQ(calibration.trtRange.rows, kRangePoints);
    EXPECT_EQ(calibration.tmatRangeT.cols, kCells);
    const DenseMatrix transfer = readMatrix(
        unitFile(folder.path(), "K3S00042-FULL", kTransferMatrixFileSuffix), kCells, kPoints);
    EXPECT_EQ(calibration.tmatRangeT.at(0, 0), transfer.at(0, kRangeFirst));
    EXPECT_EQ(calibration.tmatGbRangeT.rows, GetParam() ? kRangePoints : 0u);
}

INSTANTIATE_TEST_SUITE_P(BlurOrNot, LoaderAcceptanceTest, ::testing::Bool());

}  // namespace
}  // namespace kelo::simtest
