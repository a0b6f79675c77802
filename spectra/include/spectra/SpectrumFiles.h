// The text files the operator saves: spectrum files (.txt with tabs, .csv
// with commas) with their descriptive header, colour lines and time-series
// files. Numbers are written with the stream defaults (6 significant
// digits).
//
// Spectrum and time-series files are written whole to a temporary file and
// then put in place, so a failed write never leaves a half-written file over
// a good one. Colour files are appended to. Only a regular file (or a
// symbolic link to one, which is followed) is ever replaced or appended to.
//
// Threads: any; no shared state. No Qt.
#pragma once

#include <cstdint>
#include <ctime>
#include <ostream>
#include <string>
#include <vector>

#include "spectra/ColourEngine.h"

// What the header of a spectrum file says about the spectrum and the
// instrument.
struct SpectrumFileHeader {
    std::string productName;
    std::string productVersion;
    std::string spectrumName;
    std::time_t timeStamp = 0;
    std::string modelName;
    std::string serialNumber;
    double integrationTime = 0.0;  // microseconds
    double gain = 0.0;
    std::int32_t wavelengthStart = 0;
    std::int32_t wavelengthEnd = 0;
    std::string wavelengthUnits;
    std::string spectrumUnits;
    std::int32_t averages = 0;
    bool darkCorrection = false;
    bool referenceCorrection = false;
    bool reflectanceMode = false;
    bool saturationFlag = false;
    bool whiteLidReferencing = false;
};

namespace kelo::spectra {

// The file name after the last "/" or "\" of `path` (all of it when it has
// neither).
std::string fileNameOf(const std::string& path);

// The local time in the C ctime form, newline included.
std::string timeStampText(std::time_t time);

// The spectrum header's lines; the FPS line only when `fps` is not 0.
void writeSpectrumHeader(std::ostream& out, const SpectrumFileHeader& header, double fps);

// A spectrum file's header, column line and rows. `bright` and
// `reflectance` are given (non-null) for the extra columns of a reflectance
// file. Rows are written only where both a wavelength and a value exist; the
// extra columns of a row only where the bright and the reflectance have a
// sample for it. A null vector counts as empty, a null header as a default one.
struct SpectrumFileContents {
    const SpectrumFileHeader* header = nullptr;
    double fps = 0.0;
    const std::vector<double>* wavelengths = nullptr;
    const std::vector<double>* spectrum = nullptr;
    const std::vector<double>* bright = nullptr;
    const std::vector<double>* reflectance = nullptr;
};

// Writes `contents` to `fullName` with the separator `separator` (tab or
// comma). False, with fullName + " file open so could'nt write\n" on standard
// output, when the file could not be written; the previous file, if any,
// is then unchanged.
bool writeSpectrumFile(const std::string& fullName, const SpectrumFileContents& contents,
                       char separator);

// The colour file's title line (written before the data line when fnum is 0)
// and data line, appended to `fullName`. False, with a message naming the
// file on standard output, when it cannot be written; a path that is not a
// regular file (a directory, a device) is not written to.
struct ColourLine {
    int fnum = 0;
    std::string illuminant;  // "D65" or "D50"
    std::string observer;    // "1931_2" or "1964_10"
    tCIELABRGB colour;
};
bool appendColourLine(const std::string& fullName, const ColourLine& line, char separator);

// The time-series file: header, then one "time<TAB>metric" row per sample.
struct TimeSeriesFileHeader {
    std::string seriesName;  // file name, ".txt" included
    std::time_t timeStamp = 0;
    std::string modelName;
    std::string serialNumber;
    double wavelengthStart = 0.0;
    double wavelengthEnd = 0.0;  // not written for metric 1
    int metric = 0;              // 0 area, 1 peak, otherwise peak ratio
    int intervalSeconds = 0;
    int samples = 0;
};
// False, with a message naming the file on standard output, when it cannot
// be written; the previous file, if any, is then unchanged.
bool writeTimeSeriesFile(const std::string& fullName, const TimeSeriesFileHeader& header,
                         const std::vector<double>& times, const std::vector<double>& metrics);

}  // namespace kelo::spectra
