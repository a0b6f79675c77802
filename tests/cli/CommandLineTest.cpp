// Command lines an operator can get wrong, against the simulated camera and
// the unit K3S00042: every number outside what its option accepts, every
// input that is not a file and every output that is not one is refused with
// one line naming the option or the path, and no input is echoed at length.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

namespace fs = std::filesystem;
using kelo::test::linesOf;
using kelo::test::runProgram;
using kelo::test::writeText;

struct BadCommandLine {
    std::vector<std::string> words;
    int exitCode;
    std::string message;  // a whole line of standard error
};

// 77 of a long word's characters are shown, its start and its end.
std::string shortenedRun(char c) {
    return std::string(38, c) + "..." + std::string(39, c);
}

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("KELO_SIM_CAMERAS", "40012345:K3S00042", 1);
        ::setenv("KELO_SIM_NOISE", "0", 1);
        ASSERT_EQ(runProgram(KELO_PROGRAM, {"simunit", "K3S00042"}, dir.path()).exitCode, 0);
        fs::create_directory(dir.path() / "folder");
        std::string cells;
        for (int cell = 0; cell < 900; ++cell) cells += "1\n";
        writeText(dir.path() / "cells.txt", cells);
    }
    void TearDown() override {
        ::unsetenv("KELO_SIM_CAMERAS");
        ::unsetenv("KELO_SIM_NOISE");
    }

    void expectRefused(const BadCommandLine& line) {
        const kelo::test::ProcessResult result = runProgram(KELO_PROGRAM, line.words, dir.path());
        const std::string shown = ::testing::PrintToString(line.words).substr(0, 200);
        EXPECT_EQ(result.exitCode, line.exitCode) << shown << "\n" << result.err;
        const std::vector<std::string> errors = linesOf(result.err);
        EXPECT_NE(std::find(errors.begin(), errors.end(), line.message), errors.end())
            << shown << "\n"
            << result.err;
        for (const std::string& error : errors) EXPECT_LE(error.size(), 200u) << shown;
    }

    kelo::test::ScopedWorkDir dir;
};

TEST_F(CommandLine, NumbersOutsideTheirRangeAreRefusedNamingOptionAndRange) {
    const std::string exposure = "option --exposure-ms takes a number from 0.01 to 10000, not ";
    const std::string longNumber(100000, '9');
    const std::vector<BadCommandLine> lines = {
        // The camera's own limits: 10 µs to 10 s, gain 0 to 24 dB.
        {{"grab", "--exposure-ms", "-5", "--out", "f.raw"}, 2, "kelo grab: " + exposure + "-5"},
        {{"grab", "--exposure-ms", "0", "--out", "f.raw"}, 2, "kelo grab: " + exposure + "0"},
        {{"grab", "--exposure-ms", "nan", "--out", "f.raw"}, 2, "kelo grab: " + exposure + "nan"},
        {{"grab", "--exposure-ms", "inf", "--out", "f.raw"}, 2, "kelo grab: " + exposure + "inf"},
        {{"grab", "--exposure-ms", "1e9", "--out", "f.raw"}, 2, "kelo grab: " + exposure + "1e+09"},
        {{"grab", "--gain", "24.5", "--out", "f.raw"},
         2,
         "kelo grab: option --gain takes a number from 0 to 24, not 24.5"},
        {{"live", "--exposure-ms", "0.005"}, 2, "kelo live: " + exposure + "0.005"},
        {{"snap", "--exposure-ms", "20000", "--out", "s"}, 2, "kelo snap: " + exposure + "20000"},
        {{"snap", "--gain", "-1", "--out", "s"},
         2,
         "kelo snap: option --gain takes a number from 0 to 24, not -1"},
        // Ranges of the commands themselves.
        {{"live", "--seconds", "inf"},
         2,
         "kelo live: option --seconds takes a number above 0 up to 86400, not \"inf\""},
        {{"live", "--seconds", "0"},
         2,
         "kelo live: option --seconds takes a number above 0 up to 86400, not \"0\""},
        {{"live", "--averages", "0"},
         2,
         "kelo live: option --averages takes a whole number from 1 to 100000, not \"0\""},
        {{"snap", "--averages", "100001", "--out", "s"},
         2,
         "kelo snap: option --averages takes a whole number from 1 to 100000, not \"100001\""},
        {{"solve", "K3S00042", "cells.txt", "--out", "s.txt", "--repeat", "18446744073709551615"},
         2,
         "kelo solve: option --repeat takes a whole number from 1 to 10000, not "
         "\"18446744073709551615\""},
        {{"solve", "K3S00042", "cells.txt", "--out", "s.txt", "--repeat", longNumber},
         2,
         "kelo solve: option --repeat takes a whole number from 1 to 10000, not \"" +
             shortenedRun('9') + "\""},
        {{"series", "--interval", "0", "--samples", "1", "--start", "500", "--end", "510",
          "--metric", "area", "--out", "run"},
         2,
         "kelo series: option --interval takes a whole number from 1 to 86400, not \"0\""},
        {{"series", "--interval", "1", "--samples", "1", "--start", "510", "--end", "500",
          "--metric", "area", "--out", "run"},
         2,
         "kelo series: --start 510 nm lies above --end 500 nm; the area metric needs start at "
         "or below end"},
        {{"simunit", "K3S00042", "--seed", "-1"},
         2,
         "kelo simunit: option --seed takes a whole number from 0 to 18446744073709551615, not "
         "\"-1\""},
        {{std::string(100000, 'x')}, 2, "kelo: unknown command \"" + shortenedRun('x') + "\""},
        {{"cells", std::string(100000, 'K'), "frame.raw", "--out", "c.txt"},
         2,
         "kelo cells: unit id \"" + shortenedRun('K') +
             "\" is longer than 9 characters, the most a unit's system file holds"},
        {{"info", std::string(100000, 'K')},
         2,
         "kelo info: unit id \"" + shortenedRun('K') +
             "\" is longer than 9 characters, the most a unit's system file holds"},
        {{"simunit", "K3S00042", "--full-id", std::string(100000, 'F')},
         2,
         "kelo simunit: full device id \"" + shortenedRun('F') +
             "\" is longer than 24 characters, the most a unit's system file holds"},
    };
    for (const BadCommandLine& line : lines) expectRefused(line);
    EXPECT_TRUE(fs::is_empty(dir.path() / "folder"));
    for (const char* output : {"f.raw", "s.txt", "s.txt", "run.txt"})
        EXPECT_FALSE(fs::exists(dir.path() / output)) << output;
}

// A folder given as an input threw out of the frame reader (SIGABRT); one
// given as an output, or a device node, was replaced by a plain file.
TEST_F(CommandLine, FoldersAndDevicesAreNeitherReadNorReplaced) {
    std::vector<BadCommandLine> lines = {
        {{"cells", "K3S00042", "folder", "--out", "c.txt"}, 1, "kelo cells: folder is a directory"},
        {{"solve", "K3S00042", "folder", "--out", "s.txt"}, 1, "kelo solve: folder is a directory"},
        {{"solve", "K3S00042", "cells.txt", "--dark", "folder", "--out", "s.txt"},
         1,
         "kelo solve: folder is a directory"},
        {{"colour", "folder"}, 2, "kelo colour: folder is a directory"},
        {{"solve", "K3S00042", "cells.txt", "--out", "folder"},
         1,
         "kelo solve: folder is a directory"},
        {{"grab", "--out", "folder"}, 1, "kelo grab: folder is a directory"},
    };
    if (::geteuid() == 0) {
        // /dev/full and /dev/zero, made here rather than touched where they live.
        ASSERT_EQ(::mknod((dir.path() / "full").c_str(), S_IFCHR | 0666, makedev(1, 7)), 0);
        ASSERT_EQ(::mknod((dir.path() / "full.txt").c_str(), S_IFCHR | 0666, makedev(1, 7)), 0);
        lines.push_back({{"grab", "--out", "full"}, 1, "kelo grab: full is not a regular file"});
        lines.push_back({{"solve", "K3S00042", "cells.txt", "--out", "full"},
                         1,
                         "kelo solve: full is not a regular file"});
        lines.push_back({{"snap", "--out", "full"}, 1, "full.txt is not a regular file"});
    } else {
        std::cout << "not root: the device nodes are left out\n";
    }
    for (const BadCommandLine& line : lines) expectRefused(line);
    EXPECT_TRUE(fs::is_empty(dir.path() / "folder"));
    for (const char* node : {"full", "full.txt"}) {
        if (fs::exists(dir.path() / node)) {
            EXPECT_TRUE(fs::is_character_file(dir.path() / node)) << node;
        }
    }
}

}  // namespace
