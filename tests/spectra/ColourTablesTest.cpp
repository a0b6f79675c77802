// Reading the colour data files and resampling their rows onto a grid.
// Failures of the files are checked through the engine, which names them.
#include <gtest/gtest.h>

#include "ColourTables.h"
#include "OutputCapture.h"
#include "TestSupport.h"

namespace {

using kelo::colour::Column;
using kelo::test::OutputCapture;
using kelo::test::ScopedWorkDir;
using kelo::test::writeText;
using namespace kelo::colour;

TEST(ColourArrayInterpolation, LinearBetweenRowsExtendedPastTheLastAndBelowTheFirst) {
    const Column x = {0, 10, 20};
    const Column y = {0, 10, 30};
    const Column values = arrayInterpolation(x, y, {-2, 0, 5, 10, 15, 20, 25});
    const Column expected = {-2, 0, 5, 10, 20, 30, 40};
    ASSERT_EQ(values.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_DOUBLE_EQ(values[i], expected[i]) << i;
}

TEST(ColourListInterpolation, ExactBetweenAndOutsideTheTable) {
    const Column x = {390, 400, 410};
    const Column y = {1, 2, 4};
    // Below the table: the first table value; after it: the previous value.
    const Column values = listInterpolation(x, y, {380, 385, 390, 395, 400, 405, 410, 415});
    const Column expected = {1, 1, 1, 1.5, 2, 3, 4, 4};
    ASSERT_EQ(values.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_DOUBLE_EQ(values[i], expected[i]) << i;
}

TEST(ColourListInterpolation, AfterTheEndRepeatsAnInterpolatedValue) {
    // 405 falls between rows; 420 and 430 lie past the table and keep 405's value.
    const Column values = listInterpolation({400, 410}, {0, 10}, {405, 420, 430});
    EXPECT_EQ(values, (Column{5, 5, 5}));
}

class ColourTableFiles : public ::testing::Test {
protected:
    ScopedWorkDir workDir;
    OutputCapture output;
};

TEST_F(ColourTableFiles, FixedTableReadsExactlyItsRowsAndIgnoresWhatFollows) {
    writeText("t.dat", "380 1.5\n381 2.5\n382 3.5\ntrailing words\n");
    const std::vector<Column> table = readFixedTable("t.dat", 2, 3);
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0], (Column{380, 381, 382}));
    EXPECT_EQ(table[1], (Column{1.5, 2.5, 3.5}));
    EXPECT_EQ(output.stdOut(), "");
}

TEST_F(ColourTableFiles, ListTableReadsGroupsAcrossLinesUntilAnUnreadableValue) {
    writeText("t.dat", "380 1 390\n2\n400 3\n410 x\n420 5\n");
    const std::vector<Column> table = readListTable("t.dat", 2);
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0], (Column{380, 390, 400}));
    EXPECT_EQ(table[1], (Column{1, 2, 3}));
}

TEST_F(ColourTableFiles, ListTableDropsAnIncompleteLastGroup) {
    writeText("t.dat", "380 1 2 3\n390 4 5\n");
    const std::vector<Column> table = readListTable("t.dat", 4);
    ASSERT_EQ(table.size(), 4u);
    EXPECT_EQ(table[3], (Column{3}));
}

TEST_F(ColourTableFiles, RowsOutOfBoundsRefuseTheTableNamingFileAndRow) {
    // A list table ends at a value the stream cannot read (nan, inf), so
    // only the fixed table meets those.
    const struct {
        const char* text;
        const char* message;
        bool list;
    } cases[] = {
        {"380 1\n381 nan\n", "t.dat: row 2: a value is not a finite number\n", false},
        {"380 1\n381 inf\n", "t.dat: row 2: a value is not a finite number\n", false},
        {"380 1\n381 1.7e308\n", "t.dat: row 2: a value is beyond +-1e6\n", true},
        {"380 1\n380 2\n", "t.dat: row 2: wavelength 380 nm does not follow 380 nm\n", true},
        {"1e300 1\n381 2\n", "t.dat: row 1: wavelength 1e+300 nm is outside 100..2500 nm\n",
         true},
    };
    for (const auto& bad : cases) {
        writeText("t.dat", bad.text);
        output.clear();
        EXPECT_TRUE(readFixedTable("t.dat", 2, 2).empty()) << bad.text;
        EXPECT_EQ(output.stdOut(), bad.message);
        if (!bad.list) continue;
        output.clear();
        EXPECT_TRUE(readListTable("t.dat", 2).empty()) << bad.text;
        EXPECT_EQ(output.stdOut(), bad.message);
    }
}

}  // namespace
