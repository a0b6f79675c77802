#include "spectra/SpectrumFiles.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "config/AtomicFile.h"

namespace kelo::spectra {

namespace {

constexpr const char* kMaker = "# Brevanta Systems Pte Ltd\n";
// The time-series header names a fixed version of its own.
constexpr const char* kTimeSeriesProduct = "# KeloView 0.2.3\n";

// Puts `text` in place of `fullName`; false, with the writer's reason on
// standard error, when it could not.
bool replaceWith(const std::string& fullName, const std::string& text) {
    const std::string failure = kelo::replaceFileContents(fullName, text.data(), text.size());
    if (failure.empty()) return true;
    std::cerr << failure << "\n";
    return false;
}

void writeColumnLine(std::ostream& out, char sep, bool extraColumns) {
    out << "# Wavelength(nm)" << sep << " Intensity(counts)" << sep;
    if (extraColumns) out << "BrightSpectra(counts)" << sep << "Reflectance(R/T)";
    out << "\n";
}

bool hasExtraColumns(const SpectrumFileContents& contents) {
    return contents.bright != nullptr && contents.reflectance != nullptr;
}

std::size_t sizeOf(const std::vector<double>* values) {
    return values == nullptr ? 0 : values->size();
}

void writeRows(std::ostream& out, const SpectrumFileContents& contents, char sep) {
    const std::size_t rows = std::min(sizeOf(contents.wavelengths), sizeOf(contents.spectrum));
    const std::size_t extraRows =
        hasExtraColumns(contents) ? std::min(sizeOf(contents.bright), sizeOf(contents.reflectance))
                                  : 0;
    for (std::size_t i = 0; i < rows; ++i) {
        out << (*contents.wavelengths)[i] << sep << (*contents.spectrum)[i];
        if (i < extraRows) out << sep << (*contents.bright)[i] << sep << (*contents.reflectance)[i];
        out << "\n";
    }
}

}  // namespace

std::string fileNameOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string timeStampText(std::time_t time) {
    // Formatted by hand rather than with ctime or strftime: ctime shares one
    // buffer between threads, and strftime follows the locale, which the
    // interface sets from the environment; the files keep the English names.
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr) return "??? ??? ?? ??:??:?? ????\n";
    char text[64] = {};
    std::snprintf(text, sizeof text, "%.3s %.3s%3d %.2d:%.2d:%.2d %d\n", kDays[local.tm_wday % 7],
                  kMonths[local.tm_mon % 12], local.tm_mday, local.tm_hour, local.tm_min,
                  local.tm_sec, local.tm_year + 1900);
    return text;
}

void writeSpectrumHeader(std::ostream& out, const SpectrumFileHeader& header, double fps) {
    out << "#\n" << kMaker;
    out << "# " << header.productName << " " << header.productVersion << "\n";
    out << "# Spectrum Name : " << header.spectrumName << "\n";
    out << "# DateTime Stamp : " << timeStampText(header.timeStamp) << "\n";
    out << "# --------- Device Information -----------\n";
    out << "# Model Name : \t" << header.modelName << "\n";
    out << "# Serial Number : \t" << header.serialNumber << "\n";
    out << "# Integration Time(us) : \t" << header.integrationTime << "\n";
    out << "# Gain : \t" << header.gain << "\n";
    out << "# -----------Spectrum Setting ------------\n";
    out << "# Wavelength Start : \t" << header.wavelengthStart << "\n";
    out << "# Wavelength End : \t" << header.wavelengthEnd << "\n";
    out << "# Wavelength Units : \t" << header.wavelengthUnits << "\n";
    out << "# Spectrum Units : \t" << header.spectrumUnits << "\n";
    out << "# Average : \t" << header.averages << "\n";
    out << "# White Lid Referencing : \t" << header.whiteLidReferencing << "\n";
    out << "# Dark Correction : \t" << header.darkCorrection << "\n";
    out << "# Reference Correction : \t" << header.referenceCorrection << "\n";
    out << "# Reflectance Mode : \t" << header.reflectanceMode << "\n";
    out << "# Saturation Flag : \t" << header.saturationFlag << "\n";
    if (fps != 0.0) out << "#Recorded at FPS : \t" << fps << "\n";
    out << "#\n";
    out << "# ---------------BEGIN--------------------\n";
}

bool writeSpectrumFile(const std::string& fullName, const SpectrumFileContents& contents,
                       char separator) {
    const SpectrumFileHeader noHeader;
    std::ostringstream text;
    writeSpectrumHeader(text, contents.header ? *contents.header : noHeader, contents.fps);
    writeColumnLine(text, separator, hasExtraColumns(contents));
    writeRows(text, contents, separator);
    if (replaceWith(fullName, text.str())) return true;
    std::cout << fullName << " file open so could'nt write\n";
    return false;
}

bool appendColourLine(const std::string& fullName, const ColourLine& line, char sep) {
    std::ostringstream text;
    if (line.fnum == 0) {
        text << "# fnum" << sep << "StdIlluminant" << sep << "CIE" << sep << "X" << sep << "Y"
             << sep << "Z " << sep << "R" << sep << "G" << sep << "B" << sep << "L" << sep << "A"
             << sep << "B \n";
    }
    const tCIELABRGB& c = line.colour;
    text << line.fnum << sep << line.illuminant << sep << line.observer << sep;
    for (double value : {c.X, c.Y, c.Z, c.R, c.G, c.B, c.L, c.a, c.b}) text << value << sep;
    text << "\n";

    if (const std::string problem = kelo::regularFileProblem(fullName); !problem.empty()) {
        std::cout << fullName << " " << problem << ": the colour line could not be written\n";
        return false;
    }
    std::ofstream file(fullName, std::ios::app);
    file << text.str();
    file.close();
    if (file) return true;
    std::cout << fullName << ": the colour line could not be written\n";
    return false;
}

bool writeTimeSeriesFile(const std::string& fullName, const TimeSeriesFileHeader& header,
                         const std::vector<double>& times, const std::vector<double>& metrics) {
    std::ostringstream text;
    text << "#\n" << kMaker << kTimeSeriesProduct;
    text << "# TimeSeries Name: " << header.seriesName << "\n";
    text << "# DateTime Stamp: " << timeStampText(header.timeStamp) << "\n";
    text << "# --------- Device Information -----------\n";
    text << "# Model Name: " << header.modelName << "\n";
    text << "# Serial Number: " << header.serialNumber << "\n";
    text << "#----------- TimeSeries Settings ------------\n";
    text << "# Wavelength Start : " << header.wavelengthStart << "\n";
    if (header.metric != 1) text << "# Wavelength End : " << header.wavelengthEnd << "\n";
    text << "# Metric : "
         << (header.metric == 0   ? " Area under the curve \n"
             : header.metric == 1 ? " Peak \n"
                                  : " Peak Ratio \n");
    text << "# Time Interval : " << header.intervalSeconds << "\n";
    text << "# Time Samples : " << header.samples << "\n";
    text << "#----------------- BEGIN --------------------- \n";
    text << "# Time (s)\tMetric(a.u.) \n";
    const std::size_t rows = std::min(times.size(), metrics.size());
    for (std::size_t i = 0; i < rows; ++i) text << times[i] << "\t" << metrics[i] << "\n";
    if (replaceWith(fullName, text.str())) return true;
    std::cout << fullName << ": the time series could not be written\n";
    return false;
}

}  // namespace kelo::spectra
