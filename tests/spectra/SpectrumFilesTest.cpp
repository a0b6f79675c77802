// The operator's text files, line by line against text written out here.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>

#include "OutputCapture.h"
#include "TestSupport.h"
#include "spectra/SpectrumFiles.h"

namespace {

namespace fs = std::filesystem;
using kelo::test::linesOf;
using kelo::test::OutputCapture;
using kelo::test::readText;
using kelo::test::ScopedWorkDir;
using kelo::test::writeText;
using namespace kelo::spectra;

SpectrumFileHeader sampleHeader() {
    SpectrumFileHeader header;
    header.productName = "KeloView";
    header.productVersion = "2.0.3";
    header.spectrumName = "leaf.txt";
    header.timeStamp = 1765242123;
    header.modelName = "VIS-NIR Spectrometer";
    header.serialNumber = "K3S00042";
    header.integrationTime = 12345.678;
    header.gain = 1.5;
    header.wavelengthStart = 390;
    header.wavelengthEnd = 800;
    header.wavelengthUnits = "nm";
    header.spectrumUnits = "counts";
    header.averages = 4;
    header.darkCorrection = true;
    header.referenceCorrection = false;
    header.reflectanceMode = true;
    header.saturationFlag = false;
    header.whiteLidReferencing = true;
    return header;
}

// The header lines after the time stamp's two, for sampleHeader.
const std::vector<std::string> kHeaderTail = {
    "# --------- Device Information -----------",
    "# Model Name : \tVIS-NIR Spectrometer",
    "# Serial Number : \tK3S00042",
    "# Integration Time(us) : \t12345.7",
    "# Gain : \t1.5",
    "# -----------Spectrum Setting ------------",
    "# Wavelength Start : \t390",
    "# Wavelength End : \t800",
    "# Wavelength Units : \tnm",
    "# Spectrum Units : \tcounts",
    "# Average : \t4",
    "# White Lid Referencing : \t1",
    "# Dark Correction : \t1",
    "# Reference Correction : \t0",
    "# Reflectance Mode : \t1",
    "# Saturation Flag : \t0",
};

// Lines from..to (exclusive) of `lines`.
std::vector<std::string> slice(const std::vector<std::string>& lines, std::size_t from,
                               std::size_t to) {
    return {lines.begin() + static_cast<long>(from), lines.begin() + static_cast<long>(to)};
}

TEST(SpectrumFileText, TabSeparatedFileWithItsHeaderColumnLineAndRows) {
    ScopedWorkDir dir;
    const SpectrumFileHeader header = sampleHeader();
    const std::vector<double> wavelengths = {390, 391, 392};
    const std::vector<double> spectrum = {400, 123.4567, 1234567};
    SpectrumFileContents contents{&header, 0.0, &wavelengths, &spectrum, nullptr, nullptr};
    ASSERT_TRUE(writeSpectrumFile("leaf.txt", contents, '\t'));

    const std::string text = readText(dir.path() / "leaf.txt");
    const std::vector<std::string> lines = linesOf(text);
    ASSERT_EQ(lines.size(), 25u + 3u);
    EXPECT_EQ(slice(lines, 0, 4),
              (std::vector<std::string>{"#", "# Brevanta Systems Pte Ltd", "# KeloView 2.0.3",
                                        "# Spectrum Name : leaf.txt"}));
    EXPECT_EQ(lines[4], "# DateTime Stamp : " + timeStampText(header.timeStamp).substr(0, 24));
    EXPECT_EQ(lines[5], "");
    EXPECT_EQ(slice(lines, 6, 22), kHeaderTail);
    EXPECT_EQ(slice(lines, 22, 27),
              (std::vector<std::string>{"#", "# ---------------BEGIN--------------------",
                                        "# Wavelength(nm)\t Intensity(counts)\t", "390\t400",
                                        "391\t123.457"}));
    EXPECT_EQ(text.substr(text.size() - 16), "392\t1.23457e+06\n");
}

TEST(SpectrumFileText, CommaSeparatedReflectanceFileKeepsTheHeaderTabs) {
    ScopedWorkDir dir;
    const SpectrumFileHeader header = sampleHeader();
    const std::vector<double> wavelengths = {390, 391, 392};
    const std::vector<double> spectrum = {10, 20, 30};
    const std::vector<double> bright = {100, 200};
    const std::vector<double> reflectance = {0.1, 0.1, 0.1};
    SpectrumFileContents contents{&header, 0.0, &wavelengths, &spectrum, &bright, &reflectance};
    ASSERT_TRUE(writeSpectrumFile("leaf.csv", contents, ','));

    const std::vector<std::string> lines = linesOf(readText(dir.path() / "leaf.csv"));
    ASSERT_EQ(lines.size(), 28u);
    EXPECT_EQ(slice(lines, 6, 22), kHeaderTail);
    EXPECT_EQ(slice(lines, 23, 28),
              (std::vector<std::string>{
                  "# ---------------BEGIN--------------------",
                  "# Wavelength(nm), Intensity(counts),BrightSpectra(counts),Reflectance(R/T)",
                  "390,10,100,0.1", "391,20,200,0.1",
                  "392,30"}));  // the bright spectrum ends early: no extra columns
}

TEST(SpectrumFileText, RecordedSpectrumCarriesItsFrameRateOnlyWhenNotZero) {
    ScopedWorkDir dir;
    const SpectrumFileHeader header = sampleHeader();
    const std::vector<double> wavelengths = {390};
    const std::vector<double> spectrum = {1};
    SpectrumFileContents contents{&header, 12.5, &wavelengths, &spectrum, nullptr, nullptr};
    ASSERT_TRUE(writeSpectrumFile("rec_0.txt", contents, '\t'));
    std::vector<std::string> lines = linesOf(readText(dir.path() / "rec_0.txt"));
    ASSERT_EQ(lines.size(), 27u);
    EXPECT_EQ(slice(lines, 21, 24), (std::vector<std::string>{"# Saturation Flag : \t0",
                                                              "#Recorded at FPS : \t12.5", "#"}));

    contents.fps = 0.0;
    ASSERT_TRUE(writeSpectrumFile("rec_1.txt", contents, '\t'));
    lines = linesOf(readText(dir.path() / "rec_1.txt"));
    EXPECT_EQ(lines.size(), 26u);
    EXPECT_EQ(lines[22], "#");
}

TEST(SpectrumFileText, OnlyRowsWithBothAWavelengthAndAValue) {
    ScopedWorkDir dir;
    const SpectrumFileHeader header = sampleHeader();
    const std::vector<double> wavelengths = {390, 391};
    const std::vector<double> spectrum = {1, 2, 3, 4};
    SpectrumFileContents contents{&header, 0.0, &wavelengths, &spectrum, nullptr, nullptr};
    ASSERT_TRUE(writeSpectrumFile("short.txt", contents, '\t'));
    const std::vector<std::string> lines = linesOf(readText(dir.path() / "short.txt"));
    EXPECT_EQ(slice(lines, 25, lines.size()), (std::vector<std::string>{"390\t1", "391\t2"}));

    const std::vector<double> none;
    contents.spectrum = &none;
    ASSERT_TRUE(writeSpectrumFile("empty.txt", contents, '\t'));
    EXPECT_EQ(linesOf(readText(dir.path() / "empty.txt")).size(), 25u);
}

TEST(SpectrumFileText, AFileThatCannotBeWrittenIsReportedAndTheOldOneKept) {
    ScopedWorkDir dir;
    const SpectrumFileHeader header = sampleHeader();
    const std::vector<double> wavelengths = {390};
    const std::vector<double> spectrum = {1};
    SpectrumFileContents contents{&header, 0.0, &wavelengths, &spectrum, nullptr, nullptr};
    OutputCapture output;
    EXPECT_FALSE(writeSpectrumFile("no/such/folder/a.txt", contents, '\t'));
    EXPECT_EQ(output.stdOut(), "no/such/folder/a.txt file open so could'nt write\n");

    // A folder in the way of the file: nothing replaces it.
    output.clear();
    fs::create_directories(dir.path() / "busy.txt");
    EXPECT_FALSE(writeSpectrumFile("busy.txt", contents, '\t'));
    EXPECT_EQ(output.stdOut(), "busy.txt file open so could'nt write\n");
    EXPECT_TRUE(fs::is_directory(dir.path() / "busy.txt"));
    EXPECT_FALSE(fs::exists(dir.path() / "busy.txt.part"));

    // A good file whose replacement cannot be written stays as it was.
    writeText(dir.path() / "good.txt", "good contents\n");
    fs::create_directories(dir.path() / "good.txt.part");
    EXPECT_FALSE(writeSpectrumFile("good.txt", contents, '\t'));
    EXPECT_EQ(readText(dir.path() / "good.txt"), "good contents\n");
}

TEST(SpectrumFileText, NameAfterTheLastSeparatorOfEitherKind) {
    EXPECT_EQ(fileNameOf("C:\\Users\\lab\\leaf.txt"), "leaf.txt");
    EXPECT_EQ(fileNameOf("/home/lab/leaf.txt"), "leaf.txt");
    EXPECT_EQ(fileNameOf("runs\\day1/leaf.csv"), "leaf.csv");
    EXPECT_EQ(fileNameOf("leaf.txt"), "leaf.txt");
}

TEST(SpectrumFileText, TimeStampAsTheCLibraryWritesIt) {
    // One day with a one-digit day of the month (padded with a blank), one
    // with two digits.
    for (const std::time_t time : {std::time_t{1765242123}, std::time_t{1798761599}}) {
        EXPECT_EQ(timeStampText(time), std::string(std::ctime(&time)));
    }
    const std::string text = timeStampText(1765242123);
    ASSERT_EQ(text.size(), 25u);
    EXPECT_EQ(text.substr(19), " 2025\n");
}

TEST(ColourFileText, TitleLineOnlyForTheFirstSample) {
    ScopedWorkDir dir;
    ColourLine line{0, "D65", "1931_2", {95.0, 100.0, 108.9, 255, 254, 253, 100, 0.5, -0.25}};
    ASSERT_TRUE(appendColourLine("c.csv", line, ','));
    line.fnum = 1;
    line.illuminant = "D50";
    line.observer = "1964_10";
    ASSERT_TRUE(appendColourLine("c.csv", line, ','));
    EXPECT_EQ(readText(dir.path() / "c.csv"),
              "# fnum,StdIlluminant,CIE,X,Y,Z ,R,G,B,L,A,B \n"
              "0,D65,1931_2,95,100,108.9,255,254,253,100,0.5,-0.25,\n"
              "1,D50,1964_10,95,100,108.9,255,254,253,100,0.5,-0.25,\n");

    OutputCapture output;
    EXPECT_FALSE(appendColourLine("no/such/folder/c.txt", line, '\t'));
    EXPECT_NE(output.stdOut().find("no/such/folder/c.txt"), std::string::npos);
}

// A folder or a pipe named as the colour file is not appended to.
TEST(ColourFileText, OnlyARegularFileIsAppendedTo) {
    ScopedWorkDir dir;
    fs::create_directory(dir.path() / "folder.csv");
    ASSERT_EQ(::mkfifo((dir.path() / "pipe.csv").c_str(), 0600), 0);
    const ColourLine line{0, "D65", "1931_2", {}};
    OutputCapture output;
    EXPECT_FALSE(appendColourLine("folder.csv", line, ','));
    EXPECT_FALSE(appendColourLine("pipe.csv", line, ','));
    EXPECT_EQ(output.stdOut(),
              "folder.csv is a directory: the colour line could not be written\n"
              "pipe.csv is not a regular file: the colour line could not be written\n");
    EXPECT_TRUE(fs::is_empty(dir.path() / "folder.csv"));
}

TimeSeriesFileHeader seriesHeader(int metric) {
    TimeSeriesFileHeader header;
    header.seriesName = "run.txt";
    header.timeStamp = 1765242123;
    header.modelName = "VIS-NIR Spectrometer";
    header.serialNumber = "K3S00042";
    header.wavelengthStart = 500;
    header.wavelengthEnd = 600.5;
    header.metric = metric;
    header.intervalSeconds = 2;
    header.samples = 3;
    return header;
}

TEST(TimeSeriesFileText, HeaderAndRows) {
    ScopedWorkDir dir;
    ASSERT_TRUE(writeTimeSeriesFile("run.txt", seriesHeader(0), {0, 2, 4}, {1.5, 2.25, 1e7}));
    const std::vector<std::string> lines = linesOf(readText(dir.path() / "run.txt"));
    const std::vector<std::string> expected = {
        "#",
        "# Brevanta Systems Pte Ltd",
        "# KeloView 0.2.3",
        "# TimeSeries Name: run.txt",
        "# DateTime Stamp: " + timeStampText(1765242123).substr(0, 24),
        "",
        "# --------- Device Information -----------",
        "# Model Name: VIS-NIR Spectrometer",
        "# Serial Number: K3S00042",
        "#----------- TimeSeries Settings ------------",
        "# Wavelength Start : 500",
        "# Wavelength End : 600.5",
        "# Metric :  Area under the curve ",
        "# Time Interval : 2",
        "# Time Samples : 3",
        "#----------------- BEGIN --------------------- ",
        "# Time (s)\tMetric(a.u.) ",
        "0\t1.5",
        "2\t2.25",
        "4\t1e+07",
    };
    EXPECT_EQ(lines, expected);
}

TEST(TimeSeriesFileText, PeakHasNoEndWavelengthAndOtherMetricsAreRatios) {
    ScopedWorkDir dir;
    ASSERT_TRUE(writeTimeSeriesFile("peak.txt", seriesHeader(1), {0}, {1}));
    const std::string peak = readText(dir.path() / "peak.txt");
    EXPECT_EQ(peak.find("Wavelength End"), std::string::npos);
    EXPECT_NE(peak.find("# Metric :  Peak \n"), std::string::npos);

    ASSERT_TRUE(writeTimeSeriesFile("ratio.txt", seriesHeader(5), {0, 1}, {1}));
    const std::string ratio = readText(dir.path() / "ratio.txt");
    EXPECT_NE(ratio.find("# Wavelength End : 600.5\n"), std::string::npos);
    EXPECT_NE(ratio.find("# Metric :  Peak Ratio \n"), std::string::npos);
    // The second time has no metric: no row for it.
    EXPECT_EQ(ratio.substr(ratio.size() - 18), "Metric(a.u.) \n0\t1\n");
}

}  // namespace
