// The colour data files the build generated, read as the application reads
// them. Expected figures were worked out apart from the generator, from the
// same colord-data and x11-common sources.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

using kelo::test::linesOf;

const std::filesystem::path kDataDir = KELO_COLOUR_DATA_DIR;

std::vector<std::string> fieldsOf(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream stream(line);
    for (std::string field; stream >> field;) fields.push_back(field);
    return fields;
}

// A value as "%.10g" writes it: no sign (all the data are non-negative), no
// trailing zeros, at most ten significant digits.
bool isTenDigitValue(const std::string& text) {
    char canonical[32];
    std::snprintf(canonical, sizeof canonical, "%.10g", std::strtod(text.c_str(), nullptr));
    return text == canonical;
}

void expectTextFileShape(const std::string& text) {
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n') << "no final newline";
    EXPECT_EQ(text.find("\n\n"), std::string::npos) << "blank line";
    EXPECT_NE(text.front(), '\n') << "blank first line";
}

struct SpectralFile {
    const char* name;
    int firstNm;
    int lastNm;
    int values;
};

const SpectralFile kSpectralFiles[] = {
    {"cmf1931.dat", 360, 830, 3},
    {"cmf1964.dat", 360, 830, 3},
    {"D65.dat", 380, 780, 1},
    {"D50.dat", 380, 780, 1},
};

// Every row "wavelength value..." with single blanks, whole nm in order.
TEST(GeneratedColourData, SpectralFilesHaveOneRowPerNmInTheirFormat) {
    for (const SpectralFile& file : kSpectralFiles) {
        SCOPED_TRACE(file.name);
        const std::string text = kelo::test::readText(kDataDir / file.name);
        expectTextFileShape(text);
        const std::vector<std::string> lines = linesOf(text);
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(file.lastNm - file.firstNm + 1));
        const std::regex row("[0-9]{3}( [0-9][0-9.e+-]*){" + std::to_string(file.values) + "}");
        for (std::size_t i = 0; i < lines.size(); ++i) {
            ASSERT_TRUE(std::regex_match(lines[i], row)) << "line " << i + 1 << ": " << lines[i];
            const std::vector<std::string> fields = fieldsOf(lines[i]);
            EXPECT_EQ(fields[0], std::to_string(file.firstNm + static_cast<int>(i)));
            for (std::size_t v = 1; v < fields.size(); ++v)
                EXPECT_TRUE(isTenDigitValue(fields[v])) << lines[i];
        }
    }
}

std::map<std::string, std::string> rowsByWavelength(const char* name) {
    std::map<std::string, std::string> rows;
    for (const std::string& line : linesOf(kelo::test::readText(kDataDir / name)))
        rows[line.substr(0, line.find(' '))] = line;
    return rows;
}

TEST(GeneratedColourData, ObserverNodesAreTheTableValues) {
    auto cmf1931 = rowsByWavelength("cmf1931.dat");
    EXPECT_EQ(cmf1931["360"], "360 0.0001299 3.917e-06 0.0006061");
    EXPECT_EQ(cmf1931["555"], "555 0.5120501 1 0.005749999");
    EXPECT_EQ(cmf1931["700"], "700 0.01135916 0.004102 0");
    EXPECT_EQ(cmf1931["830"], "830 1.251141e-06 4.5181e-07 0");
    auto cmf1964 = rowsByWavelength("cmf1964.dat");
    EXPECT_EQ(cmf1964["360"], "360 1.222e-07 1.3398e-08 5.35027e-07");
    EXPECT_EQ(cmf1964["555"], "555 0.616053 0.99911 0.001091");
}

// Sprague's quintic evaluated with exact fractions, then printed "%.10g".
TEST(GeneratedColourData, ObserverValuesBetweenNodesFollowSprague) {
    auto cmf1931 = rowsByWavelength("cmf1931.dat");
    EXPECT_EQ(cmf1931["361"], "361 0.0001475573443 4.445438967e-06 0.0006889615588");
    EXPECT_EQ(cmf1931["447"], "447 0.344256736 0.032882816 1.781666112");
    EXPECT_EQ(cmf1931["553"], "553 0.4800606688 0.9991278838 0.006785518821");
    EXPECT_EQ(cmf1931["829"], "829 1.348127204e-06 4.868334935e-07 0");
    auto cmf1964 = rowsByWavelength("cmf1964.dat");
    EXPECT_EQ(cmf1964["361"], "361 2.74959382e-07 3.000648857e-08 1.207482094e-06");
    EXPECT_EQ(cmf1964["512"], "512 0.0495157328 0.638124024 0.0983782448");
    EXPECT_EQ(cmf1964["828"], "828 1.752682475e-06 7.099002789e-07 0");
}

// z falls to 0 there and the quintic dips below it; the dip reads 0.
TEST(GeneratedColourData, ObserverUndershootBelowZeroReadsZero) {
    auto cmf1931 = rowsByWavelength("cmf1931.dat");
    auto cmf1964 = rowsByWavelength("cmf1964.dat");
    for (int nm = 651; nm <= 654; ++nm)
        EXPECT_EQ(fieldsOf(cmf1931[std::to_string(nm)]).at(3), "0") << nm;
    for (int nm = 561; nm <= 564; ++nm)
        EXPECT_EQ(fieldsOf(cmf1964[std::to_string(nm)]).at(3), "0") << nm;
    EXPECT_EQ(cmf1964["613"], "613 0.9848097808 0.4881628064 0");
}

TEST(GeneratedColourData, D65IsTheTableTimes100InterpolatedLinearly) {
    auto d65 = rowsByWavelength("D65.dat");
    EXPECT_EQ(d65["380"], "380 49.9755");
    EXPECT_EQ(d65["383"], "383 51.37728");
    EXPECT_EQ(d65["559"], "559 100.4046");
    EXPECT_EQ(d65["560"], "560 100");
    EXPECT_EQ(d65["561"], "561 99.63342");
    EXPECT_EQ(d65["777"], "777 64.40958");
    EXPECT_EQ(d65["780"], "780 63.3828");
}

// From S0, S1, S2 at 10 nm with M1 = -1.039, M2 = 0.363.
TEST(GeneratedColourData, D50IsDaylightAt10NmInterpolatedLinearly) {
    auto d50 = rowsByWavelength("D50.dat");
    EXPECT_EQ(d50["380"], "380 24.4875");
    EXPECT_EQ(d50["384"], "384 26.64074");
    EXPECT_EQ(d50["390"], "390 29.8706");
    EXPECT_EQ(d50["555"], "555 101.1585");
    EXPECT_EQ(d50["560"], "560 100");
    EXPECT_EQ(d50["561"], "561 99.7735");
    EXPECT_EQ(d50["645"], "645 97.2622");
    EXPECT_EQ(d50["780"], "780 78.274");
}

TEST(GeneratedColourData, ChartHasOneSpellingOfEachX11Colour) {
    const std::string text = kelo::test::readText(kDataDir / "pmsRgb.dat");
    expectTextFileShape(text);
    const std::vector<std::string> lines = linesOf(text);
    ASSERT_EQ(lines.size(), 658u);
    EXPECT_EQ(lines[0], "snow,fffafa");
    EXPECT_EQ(lines[1], "ghost white,f8f8ff");
    EXPECT_EQ(lines[2], "white smoke,f5f5f5");
    EXPECT_EQ(lines[656], "dark red,8b0000");
    EXPECT_EQ(lines[657], "light green,90ee90");
    const std::regex record("[^, ][^,]*[^, ],[0-9a-f]{6}");
    for (const std::string& line : lines) {
        EXPECT_TRUE(std::regex_match(line, record)) << line;
        EXPECT_NE(line.rfind("GhostWhite,", 0), 0u) << "second spelling kept";
        EXPECT_NE(line.rfind("DarkRed,", 0), 0u) << "second spelling kept";
    }
}

}  // namespace
