// Peak finding and peak width on a sampled spectrum, for the labels and the
// width read-out of the spectrum plot.
#pragma once

#include <vector>

namespace kelo::ui {

// Indices of the local maxima of `v` (plateau points included; the ends are
// compared with their one neighbour) whose value reaches the threshold.
// After each maximum the next `minDistance` samples are skipped. Mode 'r'
// takes the threshold as a fraction of the largest maximum, any other mode as
// an absolute value.
std::vector<int> findPeaks(const std::vector<double>& v, double threshold, int minDistance,
                           char mode);

// The full width at half maximum of the peak at the wavelength `target`,
// interpolated linearly between samples. 0 when it cannot be measured: the
// target is not exactly a wavelength of the grid, is its first point, or a
// side of the peak never falls to half. Only the points both vectors have are
// used.
double fullWidthHalfMax(const std::vector<double>& spectrum, const std::vector<double>& wavelengths,
                        double target);

}  // namespace kelo::ui
