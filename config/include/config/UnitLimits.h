// What a unit's files may describe. Every size, count and range read from a
// unit is held to these limits before anything is allocated for it.
//
// The file formats fix only a few of them (a bad-pixel record keeps 16 bits
// of its cell index). The others are generous physical bounds, well beyond
// any unit built: no camera of this kind has a side longer than 8192
// pixels, no optic in front of it passes light outside 100..3000 nm, a
// sampling cell is a small window, and a line width, an exposure time or a
// calibration value outside the ranges below is a damaged number.
#pragma once

#include <cstdint>

namespace kelo::limits {

// dataSizeX and dataSizeY, pixels.
constexpr std::int32_t kLargestImageSide = 8192;
// The cell windows: neighbourPixelsX and neighbourPixelsY, so at most
// 255 x 255 pixels.
constexpr std::int32_t kLargestWindowReach = 127;
// numCells: a bad-pixel record names its cell in 16 bits.
constexpr std::int32_t kMostCells = 65536;
// Both ends of the full grid and of the restricted range, nm.
constexpr std::int32_t kShortestWavelength = 100;
constexpr std::int32_t kLongestWavelength = 3000;
// wavelengthShift, nm either way: a correction of the grid, not a new one.
constexpr std::int32_t kLargestWavelengthShift = 100;
// swFwhm, nm.
constexpr double kNarrowestLineWidth = 0.01;
constexpr double kWidestLineWidth = 1000.0;
// hwExposureTime, microseconds: above zero and at most 1000 s.
constexpr double kLongestExposureTime = 1e9;
// hwGain, either sign.
constexpr double kLargestGain = 1000.0;
// Any entry of a transfer or normal matrix, either sign: sums of such
// entries over every cell and wavelength stay far from overflowing.
constexpr double kLargestCalibrationValue = 1e100;
// The user file is three short lines; anything longer is not one.
constexpr std::uintmax_t kLargestUserFile = 65536;

}  // namespace kelo::limits
