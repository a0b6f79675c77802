// Start-up of the spectral processor: sizes and grids from the unit's
// record, the start-up messages, and refusing records and calibrations that
// cannot work.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <sstream>

#include "HandMadeUnit.h"
#include "TestSupport.h"
#include "engine/SpectralProcessor.h"

namespace {

using kelo::enginetest::HandMadeUnit;

// Expects `parts` to appear in `text` in this order.
void expectInOrder(const std::string& text, const std::vector<std::string>& parts) {
    std::size_t at = 0;
    for (const std::string& part : parts) {
        const std::size_t found = text.find(part, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: \"" << part << "\"";
        at = found + part.size();
    }
}

class DefaultRecord : public ::testing::Test {
protected:
    void SetUp() override {
        unit.block.swFwhm = 3.0;  // the only field without a usable default
        unit.withCalibration = false;
        unit.write();
    }

    kelo::test::ScopedWorkDir dir;
    HandMadeUnit unit;
    std::ostringstream log;
    SpectralProcessor processor{log};
};

TEST_F(DefaultRecord, GridsAre390To800RestrictedAnd384To1024Full) {
    ASSERT_TRUE(processor.initialize("HM1")) << log.str();
    EXPECT_EQ(processor.getRestrictedPointCount(), 411u);
    const std::vector<double> restricted = processor.getWavelengths();
    ASSERT_EQ(restricted.size(), 411u);
    EXPECT_EQ(restricted[0], 390.0);
    EXPECT_EQ(restricted[1], 391.0);
    EXPECT_EQ(restricted[410], 800.0);

    processor.setRestrictedRange(false);
    const std::vector<double> full = processor.getWavelengths();
    ASSERT_EQ(full.size(), 641u);
    EXPECT_EQ(full[0], 384.0);
    EXPECT_EQ(full[1], 385.0);
    EXPECT_EQ(full[640], 1024.0);

    processor.setRestrictedRange(true);
    EXPECT_EQ(processor.getWavelengths(), restricted);
}

TEST_F(DefaultRecord, StartUpReportsEachStepAndTheMissingCalibration) {
    processor.setGaussBlurMode(0);
    ASSERT_TRUE(processor.initialize("HM1"));
    expectInOrder(log.str(), {"Gaus Blur value:0\n", "\nin spectralprocessor initialize",
                              "Full Device ID: HM1\n", "\nDataSizes: 1280670",
                              "\n SP Config : WvlArr is filled", "\n Gaussian generated",
                              "\n Images Generated", "\n Files Not Found", "HM1-BP.bin"});
    EXPECT_NE(processor.unavailableReason().find("HM1-BP.bin"), std::string::npos);
}

TEST_F(DefaultRecord, FrameOperationsAfterAFailedCalibrationLoadPublishNothing) {
    ASSERT_TRUE(processor.initialize("HM1"));
    std::vector<double> cells = {42.0};
    EXPECT_FALSE(processor.computeCellValues(Frame(1280 * 670, 100), cells));
    EXPECT_EQ(cells, std::vector<double>{42.0});

    std::vector<double> spectrum = {42.0};
    std::uint8_t saturated = 7;
    EXPECT_FALSE(processor.solveSpectrum(std::vector<double>(900, 100.0), spectrum, saturated));
    EXPECT_EQ(spectrum, std::vector<double>{42.0});
    EXPECT_EQ(saturated, 7);
}

TEST(ProcessorSetup, OperationsBeforeInitializeAreRefused) {
    std::ostringstream log;
    SpectralProcessor processor(log);
    std::vector<double> cells;
    std::uint8_t saturated = 0;
    EXPECT_FALSE(processor.computeCellValues(Frame(10, 0), cells));
    EXPECT_FALSE(processor.solveSpectrum({1.0}, cells, saturated));
    EXPECT_FALSE(processor.setDarkCells({}));
    EXPECT_FALSE(processor.unavailableReason().empty());
}

TEST(ProcessorSetup, UnknownUnitFailsNamingTheUnit) {
    kelo::test::ScopedWorkDir dir;
    std::ostringstream log;
    SpectralProcessor processor(log);
    EXPECT_FALSE(processor.initialize("NOUNIT"));
    const std::string reason = "unit NOUNIT is unknown: there is no folder cal/NOUNIT";
    expectInOrder(log.str(), {reason + "\n", "something went wrong with reading cfg\n"});
    EXPECT_EQ(processor.unavailableReason(), reason);
}

struct UnusableRecord {
    const char* name;
    std::function<void(kelo::SystemConfigBlock&)> spoil;
    const char* reasonMentions;
};

void PrintTo(const UnusableRecord& record, std::ostream* out) {
    *out << record.name;
}

class UnusableRecords : public ::testing::TestWithParam<UnusableRecord> {};

TEST_P(UnusableRecords, InitializeFailsNamingTheFault) {
    kelo::test::ScopedWorkDir dir;
    HandMadeUnit unit = kelo::enginetest::identityUnit(500, 509, 502, 505, 2.0);
    GetParam().spoil(unit.block);
    unit.write();
    std::ostringstream log;
    SpectralProcessor processor(log);
    EXPECT_FALSE(processor.initialize("HM1"));
    const std::string reason = processor.unavailableReason();
    EXPECT_EQ(reason.rfind("cal/HM1/HM1-cfgSys.bin: ", 0), 0u) << reason;
    EXPECT_NE(reason.find(GetParam().reasonMentions), std::string::npos) << reason;
    EXPECT_NE(log.str().find(reason + "\n"), std::string::npos) << log.str();
    std::vector<double> spectrum;
    std::uint8_t saturated = 0;
    EXPECT_FALSE(processor.solveSpectrum(std::vector<double>(10, 1.0), spectrum, saturated));
    EXPECT_TRUE(spectrum.empty());
}

INSTANTIATE_TEST_SUITE_P(
    ProcessorSetup, UnusableRecords,
    ::testing::Values(
        UnusableRecord{"ZeroStep", [](auto& b) { b.wavelengthRes = 0; }, "wavelengthRes"},
        UnusableRecord{"ZeroWidth", [](auto& b) { b.swFwhm = 0.0; }, "swFwhm"},
        UnusableRecord{"NegativeWidth", [](auto& b) { b.swFwhm = -1.5; }, "swFwhm"},
        UnusableRecord{"NoCells", [](auto& b) { b.numCells = 0; }, "numCells"},
        UnusableRecord{"RangeOfEveryInteger",
                       [](auto& b) {
                           b.rangeMinWavelength = INT32_MIN;
                           b.rangeMaxWavelength = INT32_MAX;
                       },
                       "rangeMinWavelength is -2147483648"},
        UnusableRecord{"TooManyRows", [](auto& b) { b.dataSizeY = 1048576; }, "dataSizeY"},
        UnusableRecord{"BlurOnSmallImage", [](auto& b) { b.gaussBlurMode = 1; }, "101 x 101"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
