// The colourdata program as the build runs it: a bad source fails the run
// with a message naming it and leaves the output folder as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace fs = std::filesystem;
using kelo::test::ProcessResult;

namespace {

const std::string kProgram = std::string(KELO_BIN_DIR) + "/colourdata";
const fs::path kDataDir = KELO_COLOUR_DATA_DIR;
const char* const kDataFiles[] = {"cmf1931.dat", "cmf1964.dat", "D65.dat", "D50.dat", "pmsRgb.dat"};

class ColourdataProgram : public ::testing::Test {
protected:
    ProcessResult run(const std::vector<std::string>& arguments) {
        return kelo::test::runProgram(kProgram, arguments, work.path());
    }

    std::vector<std::string> folderEntries(const fs::path& folder) {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        return names;
    }

    kelo::test::ScopedWorkDir work;
};

TEST_F(ColourdataProgram, WritesWhatTheBuildGeneratedFromTheDebianSources) {
    const ProcessResult result = run({"out"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(folderEntries(work.path() / "out").size(), 5u);
    for (const char* name : kDataFiles) {
        EXPECT_EQ(kelo::test::readText(work.path() / "out" / name),
                  kelo::test::readText(kDataDir / name))
            << name;
    }
}

TEST_F(ColourdataProgram, MalformedSourceFailsNamingItAndWritesNothing) {
    std::string basis = kelo::test::readText("/usr/share/colord/ref/CIE-1986-daylight-SPD.cmf");
    basis.replace(basis.find("\t63.4\t"), 6, "\t63,4\t");
    kelo::test::writeText(work.path() / "daylight.cmf", basis);

    const ProcessResult result = run({"--daylight", "daylight.cmf", "out"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "colourdata: daylight.cmf: line 16: \"63,4\" is not a number\n");
    EXPECT_FALSE(fs::exists(work.path() / "out"));
}

TEST_F(ColourdataProgram, FailedRunLeavesTheEarlierFilesAsTheyWere) {
    ASSERT_EQ(run({"out"}).exitCode, 0);
    kelo::test::writeText(work.path() / "out" / "D65.dat", "380 1\n");
    std::string values;
    for (int band = 0; band < 77; ++band) values += " 1";
    kelo::test::writeText(work.path() / "short.sp",
                          "SPECTRAL_START_NM 400\nSPECTRAL_END_NM 780\nSPECTRAL_BANDS 77\n"
                          "BEGIN_DATA\n" +
                              values + "\nEND_DATA\n");

    const ProcessResult missing = run({"--colour-names", "no-rgb.txt", "out"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "colourdata: no-rgb.txt: cannot be read: No such file or directory\n");

    const ProcessResult narrow = run({"--d65", "short.sp", "out"});
    EXPECT_EQ(narrow.exitCode, 1);
    EXPECT_EQ(narrow.err, "colourdata: short.sp: does not cover 380 to 780 nm\n");

    EXPECT_EQ(kelo::test::readText(work.path() / "out" / "D65.dat"), "380 1\n");
    EXPECT_EQ(folderEntries(work.path() / "out").size(), 5u) << "a temporary file was left";
}

TEST_F(ColourdataProgram, WrongArgumentsPrintTheUsage) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{}, {"a", "b"}, {"--d65"}, {"--unknown", "out"}}) {
        const ProcessResult result = run(arguments);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.err.rfind("usage: colourdata", 0), 0u) << result.err;
    }
}

}  // namespace
