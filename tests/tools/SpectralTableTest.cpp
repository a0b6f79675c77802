// Reading the CGATS-like spectral tables, and the messages for the ways such
// a file can be broken.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "SourceError.h"
#include "SpectralTable.h"

namespace kelo::colourdata {
namespace {

const char* const kTwoSets =
    "CMF    \n"
    "DISPLAY\t\"test\"\n"
    "SPECTRAL_START_NM\t400.0\n"
    "SPECTRAL_END_NM\t420.0\n"
    "SPECTRAL_BANDS\t5\n"
    "NUMBER_OF_SETS\t2\n"
    "BEGIN_DATA_FORMAT\n"
    " SPEC_400\tSPEC_405\tSPEC_410\tSPEC_415\tSPEC_420\n"
    "END_DATA_FORMAT\n"
    "BEGIN_DATA\n"
    " 0.1\t0.2\t0.3\t0.4\t0.5\n"
    " -1.5\t2e-3\t0.0\t7\t1.25\n"
    "END_DATA\n";

SpectralTable parse(const std::string& text) {
    std::istringstream stream(text);
    return parseSpectralTable(stream, "table.cmf");
}

// The message of the SourceError `text` raises.
std::string faultOf(const std::string& text) {
    try {
        parse(text);
    } catch (const SourceError& error) {
        return error.what();
    }
    return "(no error)";
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

TEST(SpectralTableReading, ReadsTheRangeAndEachSetInOrder) {
    const SpectralTable table = parse(kTwoSets);
    EXPECT_EQ(table.startNm, 400.0);
    EXPECT_EQ(table.endNm, 420.0);
    EXPECT_EQ(table.bands(), 5u);
    EXPECT_EQ(table.stepNm(), 5.0);
    ASSERT_EQ(table.sets.size(), 2u);
    EXPECT_EQ(table.sets[0], (std::vector<double>{0.1, 0.2, 0.3, 0.4, 0.5}));
    EXPECT_EQ(table.sets[1], (std::vector<double>{-1.5, 0.002, 0.0, 7.0, 1.25}));
}

TEST(SpectralTableReading, AcceptsCarriageReturnsAndASetSpreadOverLines) {
    const std::string text = replaced(replaced(kTwoSets, "0.3\t0.4", "0.3\r\n0.4"),
                                      "SPECTRAL_BANDS\t5\n", "SPECTRAL_BANDS\t5\r\n");
    const SpectralTable table = parse(text);
    ASSERT_EQ(table.sets.size(), 2u);
    EXPECT_EQ(table.sets[0][3], 0.4);
}

TEST(SpectralTableReading, NamesTheFileAndTheFaultOfABrokenTable) {
    struct Case {
        const char* what;
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {"empty file", "", "table.cmf: no BEGIN_DATA line"},
        {"no start", replaced(kTwoSets, "SPECTRAL_START_NM\t400.0\n", ""),
         "table.cmf: no SPECTRAL_START_NM before BEGIN_DATA"},
        {"no band count", replaced(kTwoSets, "SPECTRAL_BANDS\t5\n", ""),
         "table.cmf: no SPECTRAL_BANDS before BEGIN_DATA"},
        {"start not a number", replaced(kTwoSets, "400.0", "four"),
         "table.cmf: line 3: SPECTRAL_START_NM has no number (\"four\")"},
        {"one band", replaced(kTwoSets, "BANDS\t5", "BANDS\t1"),
         "table.cmf: line 5: SPECTRAL_BANDS is not a whole number from 2 up"},
        {"end below start", replaced(kTwoSets, "420.0", "380"),
         "table.cmf: SPECTRAL_END_NM is not above SPECTRAL_START_NM"},
        {"unreadable value", replaced(kTwoSets, "0.3\t0.4", "0.3\t0,4"),
         "table.cmf: line 11: \"0,4\" is not a number"},
        {"not a number", replaced(kTwoSets, "7\t", "nan\t"),
         "table.cmf: line 12: \"nan\" is not a number"},
        {"value missing", replaced(kTwoSets, "\t1.25", ""),
         "table.cmf: the data hold 9 numbers, not whole sets of 5 (SPECTRAL_BANDS)"},
        {"a set too few", replaced(kTwoSets, "SETS\t2", "SETS\t3"),
         "table.cmf: the data hold 2 sets, NUMBER_OF_SETS says 3"},
        {"no data", replaced(kTwoSets, " 0.1\t0.2\t0.3\t0.4\t0.5\n -1.5\t2e-3\t0.0\t7\t1.25\n", ""),
         "table.cmf: no numbers between BEGIN_DATA and END_DATA"},
        {"cut short", replaced(kTwoSets, "END_DATA\n", ""),
         "table.cmf: no END_DATA after BEGIN_DATA on line 10"},
    };
    for (const Case& broken : cases) EXPECT_EQ(faultOf(broken.text), broken.message) << broken.what;
}

TEST(SpectralTableReading, MissingFileIsASourceErrorNamingIt) {
    try {
        readSpectralTable("/nonexistent/CIE-D65.sp");
        FAIL() << "no error";
    } catch (const SourceError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "/nonexistent/CIE-D65.sp: cannot be read: No such file or directory");
    }
}

}  // namespace
}  // namespace kelo::colourdata
