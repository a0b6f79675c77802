// Plausible measurements for the screenshots: a white LED seen by the
// instrument, a time series and a colour result.
#pragma once

#include <vector>

#include "spectra/ColourEngine.h"

namespace kelo::screenshots {

// 390..800 nm in 1 nm steps.
std::vector<double> sampleGrid();
// Counts of a phosphor-converted white LED on `grid`: a narrow blue peak and
// the broad yellow band, on a small offset.
std::vector<double> whiteLedSpectrum(const std::vector<double>& grid);
// Reflectance of a yellow-green sample on `grid`.
std::vector<double> sampleReflectance(const std::vector<double>& grid);
// A metric that settles after a warm-up, one value per sample.
std::vector<double> warmUpMetric(int samples);
// The colour of that sample under D65.
tCIELABRGB sampleColour();

}  // namespace kelo::screenshots
