// kelo cells and kelo solve, run as an operator would, on hand-made units
// whose results are written out here line by line.
#include <gtest/gtest.h>

#include <regex>

#include "HandMadeUnit.h"
#include "TestSupport.h"

namespace {

using kelo::enginetest::HandMadeUnit;
using kelo::enginetest::identityUnit;
using kelo::test::readText;
using kelo::test::runProgram;
using kelo::test::writeText;

class EngineCommands : public ::testing::Test {
protected:
    kelo::test::ProcessResult kelo(const std::vector<std::string>& arguments) {
        return runProgram(KELO_PROGRAM, arguments, dir.path());
    }

    kelo::test::ScopedWorkDir dir;
};

// Ten cells of three pixels in a row on a 12 x 1 image, cell c covering
// columns c..c+2.
HandMadeUnit threePixelCells() {
    HandMadeUnit unit = identityUnit(500, 509, 502, 505, 0.05);
    unit.block.neighbourPixelsX = 1;
    unit.block.dataSizeX = 12;
    for (std::size_t i = 0; i < unit.centres.size(); i += 2) unit.centres[i] += 1;
    return unit;
}

TEST_F(EngineCommands, CellsWritesEachCellMeanExactly) {
    threePixelCells().write();
    std::vector<std::uint8_t> frame;
    for (int x = 0; x < 12; ++x) {  // pixel x holds x * x, little-endian
        frame.push_back(std::uint8_t(x * x));
        frame.push_back(0);
    }
    kelo::test::writeBytes("frame.raw", frame);

    const auto result = kelo({"cells", "HM1", "frame.raw", "--out", "cells.txt"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(readText("cells.txt"),
              "1.6666666666666667\n4.666666666666667\n9.6666666666666661\n16.666666666666668\n"
              "25.666666666666668\n36.666666666666664\n49.666666666666664\n64.666666666666671\n"
              "81.666666666666671\n100.66666666666667\n");
}

TEST_F(EngineCommands, CellsRejectsAFrameOfAnotherSizeNamingTheFile) {
    threePixelCells().write();
    kelo::test::writeBytes("short.raw", std::vector<std::uint8_t>(23, 1));
    const auto result = kelo({"cells", "HM1", "short.raw", "--out", "cells.txt"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("short.raw: 23 bytes, but a frame of 12 x 1 16-bit pixels has 24"),
              std::string::npos)
        << result.err;
    EXPECT_FALSE(std::filesystem::exists("cells.txt"));
}

TEST_F(EngineCommands, CellsAndSolveExplainAUnitThatCannotWork) {
    HandMadeUnit unit = threePixelCells();
    unit.withCalibration = false;
    unit.write();
    writeText("cells.txt", "1\n");
    for (const auto& arguments :
         {std::vector<std::string>{"cells", "HM1", "frame.raw", "--out", "out.txt"},
          std::vector<std::string>{"solve", "HM1", "cells.txt", "--out", "out.txt"}}) {
        const auto result = kelo(arguments);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.err.find("could not be loaded"), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("HM1-BP.bin"), std::string::npos) << result.err;
    }
    EXPECT_EQ(kelo({"cells", "HM1", "frame.raw"}).exitCode, 2);
    EXPECT_EQ(kelo({"solve", "HM1", "--out", "x"}).exitCode, 2);
    EXPECT_EQ(kelo({"solve", "HM1", "cells.txt", "--out", "x", "--repeat", "0"}).exitCode, 2);
}

class SolveCommand : public EngineCommands {
protected:
    void SetUp() override {
        identityUnit(500, 509, 502, 505, 0.05).write();
        writeText("cells.txt", "10\n20\n0.1\n40\n50\n60\n70\n80\n90\n100\n");
    }
};

TEST_F(SolveCommand, WritesWavelengthTabValueWithDiagnosticsOnStderr) {
    const auto result = kelo({"solve", "HM1", "cells.txt", "--out", "spectrum.txt"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(readText("spectrum.txt"), "502\t0.10000000000000001\n503\t40\n504\t50\n505\t50\n");
    EXPECT_NE(result.err.find("saturated: 0\n"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("passive: 4\n"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("cap-reached: 0\n"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("solve-ms"), std::string::npos);
}

TEST_F(SolveCommand, FullGridAndDarkSubtraction) {
    writeText("dark.txt", "1\n1\n0\n1\n1\n1\n1\n1\n1\n1\n");
    const auto result = kelo(
        {"solve", "HM1", "cells.txt", "--out", "spectrum.txt", "--full", "--dark", "dark.txt"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(readText("spectrum.txt"),
              "500\t9\n501\t19\n502\t0.10000000000000001\n503\t39\n504\t49\n505\t59\n506\t69\n"
              "507\t79\n508\t89\n509\t89\n");
}

TEST_F(SolveCommand, ReportsSaturatedCellsAndWhereTheyRespond) {
    writeText("bright.txt", "10\n20\n30\n5000\n50\n60\n70\n80\n90\n100\n");
    const auto result = kelo({"solve", "HM1", "bright.txt", "--out", "spectrum.txt"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find("saturated: 1\n"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("saturated-cell: 3 value 5000 peak-nm 503\n"), std::string::npos)
        << result.err;
}

TEST_F(SolveCommand, RepeatEndsWithTheMedianSolveTime) {
    const auto result =
        kelo({"solve", "HM1", "cells.txt", "--out", "spectrum.txt", "--repeat", "3"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(std::regex_search(result.err, std::regex("\nsolve-ms: [0-9]+\\.[0-9]{3}\n$")))
        << result.err;
}

TEST_F(SolveCommand, BadCellFilesAreNamedWithTheirFault) {
    writeText("word.txt", "1\n2\nabc\n");
    auto result = kelo({"solve", "HM1", "word.txt", "--out", "spectrum.txt"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("word.txt: line 3: \"abc\" is not a number"), std::string::npos)
        << result.err;

    writeText("short.txt", "1\n2\n3\n4\n5\n6\n7\n8\n9\n");
    result = kelo({"solve", "HM1", "short.txt", "--out", "spectrum.txt"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("short.txt: 9 values, but the unit has 10 cells"), std::string::npos)
        << result.err;

    result = kelo({"solve", "HM1", "cells.txt", "--out", "spectrum.txt", "--dark", "short.txt"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("short.txt: 9 values"), std::string::npos) << result.err;

    writeText("nan.txt", "1\n2\nnan\n4\n5\n6\n7\n8\n9\n10\n");
    result = kelo({"solve", "HM1", "nan.txt", "--out", "spectrum.txt"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("nan.txt"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists("spectrum.txt"));
}

TEST_F(SolveCommand, UnwritableOutputFailsAndLeavesNoFile) {
    const auto result = kelo({"solve", "HM1", "cells.txt", "--out", "missing/spectrum.txt"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("missing/spectrum.txt"), std::string::npos) << result.err;
}

}  // namespace
