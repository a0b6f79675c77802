// kelo simunit as an operator runs it: its words, its exit status and what
// it prints.
#include <gtest/gtest.h>

#include <algorithm>

#include "SimTestSupport.h"
#include "config/UnitFiles.h"

namespace kelo::simtest {
namespace {

using kelo::test::ProcessResult;
using kelo::test::readBytes;
using kelo::test::runProgram;
using kelo::test::ScopedWorkDir;
using kelo::test::writeText;

class SimunitCommandTest : public ::testing::Test {
protected:
    ScopedWorkDir folder;

    ProcessResult simunit(std::vector<std::string> words) {
        words.insert(words.begin(), "simunit");
        return runProgram(KELO_PROGRAM, words, folder.path());
    }

    std::filesystem::path file(const std::string& id, const char* suffix) const {
        return unitFile(folder.path(), id, suffix);
    }
};

TEST_F(SimunitCommandTest, WritesTheUnitIntoTheWorkingFolder) {
    const ProcessResult result = simunit({"K3S00042"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    // One line for each of the seven files.
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 7) << result.out;
    EXPECT_NE(result.out.find("K3S00042-TMat.bin"), std::string::npos) << result.out;
    EXPECT_EQ(std::filesystem::file_size(file("K3S00042", kSystemFileSuffix)), 124u);
}

TEST_F(SimunitCommandTest, OptionsReachTheUnit) {
    const std::string fullId = "K3S0042-2024-A-00000001";  // 23 characters, the most allowed
    const ProcessResult result =
        simunit({"K3S0042", "--root", "units", "--full-id", fullId, "--fluorescence",
                 "--gauss-blur", "--old-layout", "--seed", "7"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::filesystem::path root = folder.path() / "units";
    const Bytes system = readBytes(unitFile(root, "K3S0042", kSystemFileSuffix));
    ASSERT_EQ(system.size(), 124u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(system.data())), "0.0.1");
    EXPECT_EQ(system[96], 0);  // fluorescence
    EXPECT_EQ(system[97], 1);  // Gaussian blur
    EXPECT_TRUE(std::filesystem::exists(unitFile(root, fullId, kBlurTransferMatrixFileSuffix)));

    sim::SyntheticUnitOptions seven;
    seven.id = "K3S0042";
    seven.fullId = fullId;
    seven.seed = 7;
    seven.root = folder.path() / "library";
    writeUnit(seven);
    EXPECT_TRUE(readBytes(unitFile(root, fullId, kTransferMatrixFileSuffix)) ==
                readBytes(unitFile(seven.root, fullId, kTransferMatrixFileSuffix)));
}

TEST_F(SimunitCommandTest, KeepsTheOperatorsSettingsAndSaysSo) {
    writeText(file("K3S00042", kUserFileSuffix), "hwGain: 3.000000");
    const ProcessResult result = simunit({"K3S00042"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("kept"), std::string::npos) << result.out;
    EXPECT_EQ(kelo::test::readText(file("K3S00042", kUserFileSuffix)), "hwGain: 3.000000");
}

TEST_F(SimunitCommandTest, WrongWordsAreAUsageError) {
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"K3S00042", "K3S00043"},
        {"K3S00042", "--colour"},
        {"K3S00042", "--seed", "forty-two"},
        {"K3S00042", "--root"},
        {"K3S000042"},
        {"K3S/0042"},
        {"K3S00042", "--full-id", "a\\b"},
        {"K3S00042", "--old-layout"},
    };
    for (const auto& words : wrong) {
        const ProcessResult result = simunit(words);
        EXPECT_EQ(result.exitCode, 2) << ::testing::PrintToString(words);
        EXPECT_EQ(result.err.rfind("kelo simunit: ", 0), 0u) << result.err;
    }
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "cal"));
}

TEST_F(SimunitCommandTest, FailedWriteExitsWithOne) {
    writeText(folder.path() / "blocked", "a file, not a folder");
    const ProcessResult result = simunit({"K3S00042", "--root", "blocked"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("blocked"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace kelo::simtest
