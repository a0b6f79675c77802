// The one way files are replaced: only a regular file (or nothing) is ever
// replaced, a link to a regular file is followed, and whatever stands in
// the way is named.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "config/AtomicFile.h"

namespace {

namespace fs = std::filesystem;
using kelo::test::readText;
using kelo::test::ScopedWorkDir;
using kelo::test::writeText;

std::string replaceWith(const fs::path& target, const std::string& text) {
    return kelo::replaceFileContents(target, text.data(), text.size());
}

bool isCharacterDevice(const fs::path& path) {
    return fs::is_character_file(fs::symlink_status(path));
}

TEST(FileReplacement, AnythingButARegularFileIsNamedAndLeftAsItWas) {
    ScopedWorkDir dir;
    fs::create_directory("folder");
    ASSERT_EQ(::mkfifo("pipe", 0600), 0);
    fs::create_symlink("nowhere", "dangling");
    fs::create_symlink("folder", "folder-link");
    struct Refusal {
        std::string target;
        std::string message;
    };
    std::vector<Refusal> refusals = {
        {"folder", "folder is a directory"},
        {"folder-link", "folder-link is a directory"},
        {"pipe", "pipe is not a regular file"},
        {"dangling", "dangling is a symbolic link to nothing"},
    };
    if (::geteuid() == 0) {
        // /dev/full and /dev/zero, made here rather than touched where they live.
        ASSERT_EQ(::mknod("full", S_IFCHR | 0666, makedev(1, 7)), 0);
        ASSERT_EQ(::mknod("zero", S_IFCHR | 0666, makedev(1, 5)), 0);
        refusals.push_back({"full", "full is not a regular file"});
        refusals.push_back({"zero", "zero is not a regular file"});
    } else {
        std::cout << "not root: the device nodes are left out\n";
    }
    for (const Refusal& refusal : refusals)
        EXPECT_EQ(replaceWith(refusal.target, "new\n"), refusal.message);

    EXPECT_TRUE(fs::is_empty("folder"));
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status("pipe")));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status("dangling")));
    EXPECT_FALSE(fs::exists("nowhere"));
    if (::geteuid() == 0) {
        EXPECT_TRUE(isCharacterDevice("full"));
        EXPECT_TRUE(isCharacterDevice("zero"));
    }
    for (const char* leftOver : {"folder.part", "pipe.part", "full.part", "zero.part"})
        EXPECT_FALSE(fs::exists(leftOver)) << leftOver;
}

TEST(FileReplacement, RegularFilesAndLinksToThemGetTheNewContents) {
    ScopedWorkDir dir;
    EXPECT_EQ(replaceWith("new.txt", "created\n"), "");
    EXPECT_EQ(readText("new.txt"), "created\n");

    writeText("kept.txt", "old\n");
    fs::permissions("kept.txt", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(replaceWith("kept.txt", "replaced\n"), "");
    EXPECT_EQ(readText("kept.txt"), "replaced\n");
    EXPECT_EQ(fs::status("kept.txt").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    // The link stays a link; the file it leads to is replaced beside itself.
    fs::create_directory("store");
    writeText("store/data.txt", "old\n");
    fs::create_symlink("store/data.txt", "link.txt");
    EXPECT_EQ(replaceWith("link.txt", "through the link\n"), "");
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status("link.txt")));
    EXPECT_EQ(readText("store/data.txt"), "through the link\n");
    EXPECT_FALSE(fs::exists("store/data.txt.part"));

    // A temporary file left by an interrupted write goes; a link in its
    // place is not written through.
    writeText("stale.txt.part", "half");
    EXPECT_EQ(replaceWith("stale.txt", "whole\n"), "");
    EXPECT_EQ(readText("stale.txt"), "whole\n");
    writeText("victim.txt", "untouched\n");
    writeText("guarded.txt", "old\n");
    fs::create_symlink("victim.txt", "guarded.txt.part");
    EXPECT_EQ(replaceWith("guarded.txt", "new\n"), "cannot create guarded.txt.part: File exists");
    EXPECT_EQ(readText("victim.txt"), "untouched\n");
    EXPECT_EQ(readText("guarded.txt"), "old\n");
}

// The updater program converts in place: a device node given as its file
// is neither read nor replaced.
TEST(FileReplacement, RestampLeavesADeviceNodeInPlace) {
    if (::geteuid() != 0) GTEST_SKIP() << "not root: no device node can be made";
    ScopedWorkDir dir;
    ASSERT_EQ(::mknod("zero", S_IFCHR | 0666, makedev(1, 5)), 0);
    const kelo::test::ProcessResult result =
        kelo::test::runProgram(RESTAMP_PROGRAM, {"zero"}, dir.path());
    EXPECT_EQ(result.out, "filePath=zero\nzero: not a regular file; left as it is\n");
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(isCharacterDevice("zero"));
    EXPECT_FALSE(fs::exists("zero.part"));
}

}  // namespace
