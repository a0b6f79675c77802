// The colour chart from a small hand-written colour-name list.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "ColourChart.h"
#include "SourceError.h"

namespace kelo::colourdata {
namespace {

const char* const kNames =
    "! a comment line\n"
    "255 250 250\t\tsnow\n"
    "248 248 255\t\tghost white\n"
    "248 248 255\t\tGhostWhite\n"
    "  0   0   0\t\tblack\n"
    "\n"
    "  1   2  13\t\tdeep sea blue  \n"
    "  1   2  13\t\tDeep Sea  Blue\n"
    "  1   2  13\t\tdeepseablue\n"
    "! another comment\n"
    "176 196 222\t\tLightSteelBlue\n"
    "162 181 205\t\tLightSteelBlue3\n"
    "176 196 222\t\tlight steel blue\n";

// File order, one spelling each, blanks around the names dropped, inner
// ones kept.
const char* const kChart =
    "snow,fffafa\n"
    "ghost white,f8f8ff\n"
    "black,000000\n"
    "deep sea blue,01020d\n"
    "LightSteelBlue,b0c4de\n"
    "LightSteelBlue3,a2b5cd\n";

std::vector<NamedColour> parse(const std::string& text) {
    std::istringstream stream(text);
    return parseColourNames(stream, "rgb.txt");
}

std::string faultOf(const std::string& text) {
    try {
        parse(text);
    } catch (const SourceError& error) {
        return error.what();
    }
    return "(no error)";
}

TEST(ColourNameChart, KeepsTheFirstSpellingOfEachColourInFileOrder) {
    EXPECT_EQ(chartText(firstSpellings(parse(kNames))), kChart);
}

TEST(ColourNameChart, NamesTheFileAndLineOfABrokenEntry) {
    EXPECT_EQ(faultOf("! only a comment\n"), "rgb.txt: holds no colour names");
    EXPECT_EQ(faultOf("255 250 250\t\tsnow\n256 0 0\t\ttoo red\n"),
              "rgb.txt: line 2: \"256\" is not a colour component from 0 to 255");
    EXPECT_EQ(faultOf("255 250\t\tsnow\n"),
              "rgb.txt: line 1: \"snow\" is not a colour component from 0 to 255");
    EXPECT_EQ(faultOf("1 2 -3\t\tnegative\n"),
              "rgb.txt: line 1: \"-3\" is not a colour component from 0 to 255");
    EXPECT_EQ(faultOf("1 2 3snow\n"),
              "rgb.txt: line 1: \"3snow\" is not a colour component from 0 to 255");
    EXPECT_EQ(faultOf("! names\n1 2 3\t\t\n"),
              "rgb.txt: line 2: no colour name after the components");
    EXPECT_EQ(
        faultOf("1 2 3\t\tred, dark\n"),
        "rgb.txt: line 1: the colour name \"red, dark\" holds a comma, the chart's separator");
}

}  // namespace
}  // namespace kelo::colourdata
