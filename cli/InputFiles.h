// The input files of the kelo commands, read from a path: the raw frame of
// `kelo cells`, the cell file of `kelo solve` and the reflectance of
// `kelo colour`. No Qt, no unit, no camera.
//
// Each reader returns its contents, or nothing with `error` set to one line
// naming the file (and the line and the value, where one is at fault) and
// what was wrong; input is shown shortened to at most 80 characters. Only a
// regular file (or a symbolic link to one) is read: a directory, a device or
// a pipe is refused before it is opened. Nothing throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device/Frame.h"

namespace kelo::cli {

// The bounds a value must lie within to be read.
constexpr double kLargestCellValue = 65535.0;  // the mean of 16-bit pixels
constexpr double kLargestReflectance = 10.0;   // where the application clamps it
constexpr double kShortestWavelengthNm = 100.0;
constexpr double kLongestWavelengthNm = 2500.0;

// Little-endian 16-bit pixels, row by row: exactly width x height of them.
std::optional<Frame> readFrameFile(const std::string& path, std::uint32_t width,
                                   std::uint32_t height, std::string& error);

// One cell value per line (blank lines and blanks around a value are
// skipped): exactly `count` values, each a finite number from 0 to
// kLargestCellValue.
std::optional<std::vector<double>> readCellFile(const std::string& path, std::size_t count,
                                                std::string& error);

// A reflectance: lines "wavelength value" (blank lines skipped), the
// wavelengths 1 nm apart from one line to the next and within
// kShortestWavelengthNm to kLongestWavelengthNm, the values from 0 to
// kLargestReflectance; at least one line.
struct Reflectance {
    std::vector<double> wavelengths;
    std::vector<double> values;
};
std::optional<Reflectance> readReflectanceFile(const std::string& path, std::string& error);

}  // namespace kelo::cli
