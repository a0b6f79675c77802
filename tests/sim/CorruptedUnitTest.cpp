// The commands an operator runs on a unit whose files were damaged, as
// found in the field: each refuses with the one line naming the file, the
// field and the value, and none crashes or sizes anything for the unit.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "SimTestSupport.h"
#include "config/UnitFiles.h"

namespace kelo::simtest {
namespace {

namespace fs = std::filesystem;
using kelo::test::ProcessResult;

// Writes `bytes` over the file from `offset`.
void patch(const fs::path& file, std::size_t offset, const Bytes& bytes) {
    Bytes content = kelo::test::readBytes(file);
    std::copy(bytes.begin(), bytes.end(), content.begin() + long(offset));
    kelo::test::writeBytes(file, content);
}

// The NaN and infinity doubles, little-endian.
const Bytes kNan = {0, 0, 0, 0, 0, 0, 0xf8, 0x7f};
const Bytes kInfinity = {0, 0, 0, 0, 0, 0, 0xf0, 0x7f};

struct Damage {
    const char* name;
    std::function<void(const fs::path& unitFolder)> apply;
    std::string line;   // the refusal every command prints
    bool ofSystemFile;  // kelo info reads only the configuration
};

class CorruptedUnitTest : public DefaultUnitTest {
protected:
    ProcessResult run(const std::vector<std::string>& words) {
        return kelo::test::runProgram(KELO_PROGRAM, words, fs::current_path());
    }
};

TEST_F(CorruptedUnitTest, InfoSolveAndSnapRefuseNamingTheFault) {
    const std::string system = "cal/K3S00042/K3S00042-cfgSys.bin";
    const std::string outsideCalibration = ", not a finite number within +-1e+100";
    const Damage damages[] = {
        {"numCells of 2^31-1",
         [](const fs::path& f) {
             patch(f / "K3S00042-cfgSys.bin", 44, {0xff, 0xff, 0xff, 0x7f});
         },
         system + ": numCells is 2147483647, outside 1..65536", true},
        {"dataSizeX of -1",
         [](const fs::path& f) {
             patch(f / "K3S00042-cfgSys.bin", 68, {0xff, 0xff, 0xff, 0xff});
         },
         system + ": dataSizeX is -1 pixels, outside 1..8192 pixels", true},
        {"restricted range over every integer",
         [](const fs::path& f) {
             patch(f / "K3S00042-cfgSys.bin", 80, {0, 0, 0, 0x80, 0xff, 0xff, 0xff, 0x7f});
         },
         system + ": rangeMinWavelength is -2147483648 nm, outside 100..3000 nm", true},
        {"swFwhm of 1e-300",
         [](const fs::path& f) {
             patch(f / "K3S00042-cfgSys.bin", 60, {0x59, 0xf3, 0xf8, 0xc2, 0x1f, 0x6e, 0xa5, 0x01});
         },
         system + ": swFwhm is 1e-300 nm, outside 0.01..1000 nm", true},
        {"system file cut to 60 bytes",
         [](const fs::path& f) {
             const Bytes whole = kelo::test::readBytes(f / "K3S00042-cfgSys.bin");
             kelo::test::writeBytes(f / "K3S00042-cfgSys.bin",
                                    Bytes(whole.begin(), whole.begin() + 60));
         },
         system + ": 60 bytes, a system file has 124", true},
        {"folder for the system file",
         [](const fs::path& f) {
             fs::remove(f / "K3S00042-cfgSys.bin");
             fs::create_directory(f / "K3S00042-cfgSys.bin");
         },
         system + " is not a file (a folder stands there, or a device)", true},
        {"one infinity in TMat",
         [](const fs::path& f) { patch(f / "K3S00042-TMat.bin", 8 * 100, kInfinity); },
         "cal/K3S00042/K3S00042-TMat.bin: the value at row 0, column 100 is inf" +
             outsideCalibration,
         false},
        {"TrT all NaN",
         [](const fs::path& f) {
             const fs::path file = f / "K3S00042-TrT.bin";
             Bytes nans;
             for (std::size_t i = 0; i < fs::file_size(file) / 8; ++i)
                 nans.insert(nans.end(), kNan.begin(), kNan.end());
             kelo::test::writeBytes(file, nans);
         },
         "cal/K3S00042/K3S00042-TrT.bin: the value at row 0, column 0 is nan" + outsideCalibration,
         false},
    };
    const fs::path unit = file(kSystemFileSuffix).parent_path();
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.name);
        kelo::test::ScopedWorkDir dir;
        fs::create_directory("cal");
        fs::copy(unit, "cal/K3S00042", fs::copy_options::recursive);
        damage.apply("cal/K3S00042");
        std::string cells;
        for (std::size_t i = 0; i < kCells; ++i) cells += "100\n";
        kelo::test::writeText("cells.txt", cells);

        const ProcessResult info = run({"info", "K3S00042"});
        EXPECT_EQ(info.exitCode, damage.ofSystemFile ? 1 : 0) << info.err;
        if (damage.ofSystemFile) {
            EXPECT_NE(info.out.find(damage.line + "\n"), std::string::npos) << info.out;
        }

        const ProcessResult solve = run({"solve", "K3S00042", "cells.txt", "--out", "s.txt"});
        EXPECT_EQ(solve.exitCode, 1) << solve.err;
        EXPECT_NE(solve.out.find(damage.line + "\n"), std::string::npos) << solve.out;
        EXPECT_NE(solve.err.find(damage.line + "\n"), std::string::npos) << solve.err;

        const ProcessResult snap = run({"snap", "--out", "snap"});
        EXPECT_EQ(snap.exitCode, 1) << snap.err;
        EXPECT_NE(snap.out.find(damage.line + "\n"), std::string::npos) << snap.out;
        EXPECT_FALSE(fs::exists("snap.txt"));
    }
}

}  // namespace
}  // namespace kelo::simtest
