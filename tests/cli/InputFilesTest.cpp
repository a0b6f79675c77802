// The readers of the kelo commands' input files against tables of broken
// files: each is refused with one line naming the file, the line and the
// value at fault, and nothing is read from anything but a regular file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "InputFiles.h"
#include "TestSupport.h"

namespace {

namespace fs = std::filesystem;
using kelo::cli::readCellFile;
using kelo::cli::readFrameFile;
using kelo::cli::readReflectanceFile;
using kelo::test::ScopedWorkDir;
using kelo::test::writeBytes;
using kelo::test::writeText;

// A file's contents and the whole refusal expected for it.
struct BadFile {
    std::string contents;
    std::string refusal;
};

// Reads `path`; the refusal, or "" when the file was read.
using Reader = std::function<std::string(const std::string& path)>;

const Reader kFrameReader = [](const std::string& path) {
    std::string error;
    return readFrameFile(path, 3, 2, error) ? std::string() : error;
};
const Reader kCellReader = [](const std::string& path) {
    std::string error;
    return readCellFile(path, 3, error) ? std::string() : error;
};
const Reader kReflectanceReader = [](const std::string& path) {
    std::string error;
    return readReflectanceFile(path, error) ? std::string() : error;
};

void expectRefusals(const Reader& read, const std::string& path,
                    const std::vector<BadFile>& files) {
    for (const BadFile& file : files) {
        writeText(path, file.contents);
        EXPECT_EQ(read(path), file.refusal) << file.contents.substr(0, 80);
    }
}

// 77 of a long line's characters are shown, its start and its end.
std::string shortenedRun(char c) {
    return std::string(38, c) + "..." + std::string(39, c);
}

class InputFiles : public ::testing::Test {
protected:
    ScopedWorkDir dir;
};

TEST_F(InputFiles, FramesOfAnotherSizeAreRefusedAndOthersReadLittleEndian) {
    expectRefusals(kFrameReader, "frame.raw",
                   {
                       {"", "frame.raw: 0 bytes, but a frame of 3 x 2 16-bit pixels has 12"},
                       {std::string(11, 'a'),
                        "frame.raw: 11 bytes, but a frame of 3 x 2 16-bit pixels has 12"},
                       {std::string(13, 'a'),
                        "frame.raw: 13 bytes, but a frame of 3 x 2 16-bit pixels has 12"},
                   });
    writeBytes("frame.raw", {1, 0, 0, 1, 255, 255, 0, 0, 2, 0, 0, 128});
    std::string error;
    const std::optional<Frame> frame = readFrameFile("frame.raw", 3, 2, error);
    ASSERT_TRUE(frame.has_value()) << error;
    EXPECT_EQ(*frame, (Frame{1, 256, 65535, 0, 2, 32768}));
}

TEST_F(InputFiles, CellFilesWithValuesThatNoPixelsGiveAreRefused) {
    expectRefusals(
        kCellReader, "cells.txt",
        {
            {"1\n2\nabc\n", "cells.txt: line 3: \"abc\" is not a number"},
            {"1\n2 3\n4\n", "cells.txt: line 2: \"2 3\" is not a number"},
            {"1\nnan\n3\n", "cells.txt: line 2: \"nan\" is not a finite number"},
            {"1\n2\n-inf\n", "cells.txt: line 3: \"-inf\" is not a finite number"},
            {"1e308\n2\n3\n",
             "cells.txt: line 1: \"1e308\" is outside 0 to 65535, the range of a cell "
             "value"},
            {"1\n\n-0.5\n3\n",
             "cells.txt: line 3: \"-0.5\" is outside 0 to 65535, the range of a cell "
             "value"},
            {"1e999\n2\n3\n", "cells.txt: line 1: \"1e999\" is beyond what a number can hold"},
            {"1\n2\n", "cells.txt: 2 values, but the unit has 3 cells"},
            {"1\n2\n3\n4\n", "cells.txt: more than 3 values, but the unit has 3 cells"},
            {std::string(10'000'000, '7') + "\n",
             "cells.txt: line 1: \"" + shortenedRun('7') + "\" is beyond what a number can hold"},
        });
    writeText("cells.txt", "\n 1 \n\t65535\r\n\n0.25\n");
    std::string error;
    const auto cells = readCellFile("cells.txt", 3, error);
    ASSERT_TRUE(cells.has_value()) << error;
    EXPECT_EQ(*cells, (std::vector<double>{1, 65535, 0.25}));
}

TEST_F(InputFiles, ReflectancesOutsideTheirBoundsAreRefused) {
    expectRefusals(
        kReflectanceReader, "refl.txt",
        {
            {"", "refl.txt: no reflectance values"},
            {"400 0.5\n401 half\n", "refl.txt: line 2: \"half\" is not a number"},
            {"400\n", "refl.txt: line 1: \"400\" is not \"wavelength value\""},
            {"400 0.5 7\n", "refl.txt: line 1: \"400 0.5 7\" is not \"wavelength value\""},
            {"400 0.5\n402 0.5\n",
             "refl.txt: line 2: the wavelengths must follow each other by 1 nm"},
            {"400 1.7e308\n",
             "refl.txt: line 1: \"1.7e308\" is outside 0 to 10, the range of a reflectance"},
            {"400 -0.1\n",
             "refl.txt: line 1: \"-0.1\" is outside 0 to 10, the range of a reflectance"},
            {"400 nan\n", "refl.txt: line 1: \"nan\" is not a finite number"},
            {"inf 0.5\n", "refl.txt: line 1: \"inf\" is not a finite number"},
            {"50 0.5\n",
             "refl.txt: line 1: \"50\" is outside 100 to 2500, the range of a wavelength (nm)"},
            {"400 0.5\n401 " + std::string(200, '1') + "\n",
             "refl.txt: line 2: \"" + shortenedRun('1') +
                 "\" is outside 0 to 10, the range of a reflectance"},
        });
    writeText("refl.txt", "400 0.5\n\n401\t0.25\n");
    std::string error;
    const auto reflectance = readReflectanceFile("refl.txt", error);
    ASSERT_TRUE(reflectance.has_value()) << error;
    EXPECT_EQ(reflectance->wavelengths, (std::vector<double>{400, 401}));
    EXPECT_EQ(reflectance->values, (std::vector<double>{0.5, 0.25}));
}

// A folder, a pipe or a dangling link is never opened: reading a folder
// threw out of the frame reader, and a pipe would block it.
TEST_F(InputFiles, OnlyRegularFilesAreRead) {
    const std::string longFolder(120, 'd');
    fs::create_directory("folder");
    fs::create_directory(longFolder);
    ASSERT_EQ(::mkfifo("pipe", 0600), 0);
    fs::create_symlink("nowhere", "dangling");
    const std::vector<BadFile> paths = {
        {"folder", "folder is a directory"},
        {longFolder, shortenedRun('d') + " is a directory"},
        {"pipe", "pipe is not a regular file"},
        {"dangling", "dangling is a symbolic link to nothing"},
        {"missing", "missing: cannot be opened"},
    };
    for (const Reader& read : {kFrameReader, kCellReader, kReflectanceReader})
        for (const BadFile& path : paths) EXPECT_EQ(read(path.contents), path.refusal);
}

}  // namespace
