#include "ui/PeakSearch.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <optional>

namespace kelo::ui {

namespace {

bool isLocalMaximum(const std::vector<double>& v, std::size_t c) {
    const bool notBelowLeft = c == 0 || v[c] >= v[c - 1];
    const bool notBelowRight = c + 1 == v.size() || v[c] >= v[c + 1];
    return notBelowLeft && notBelowRight;
}

std::vector<int> localMaxima(const std::vector<double>& v, int minDistance) {
    // A negative distance would walk backwards for ever.
    const std::size_t step = static_cast<std::size_t>(std::max(minDistance, 0)) + 1;
    std::vector<int> maxima;
    for (std::size_t c = 0; c < v.size();) {
        if (isLocalMaximum(v, c)) {
            maxima.push_back(static_cast<int>(c));
            c += step;
        } else {
            ++c;
        }
    }
    return maxima;
}

// Where the half level `h` is met between `inner` and its neighbour `outer`
// on one side of the peak, if it is met there.
std::optional<double> halfLevelCrossing(const std::vector<double>& s, const std::vector<double>& nm,
                                        std::size_t inner, std::size_t outer, double h) {
    if (s[inner] == h) return nm[inner];
    if (h < s[inner] && h > s[outer])
        return (nm[outer] - nm[inner]) / (s[outer] - s[inner]) * (h - s[inner]) + nm[inner];
    return std::nullopt;
}

}  // namespace

std::vector<int> findPeaks(const std::vector<double>& v, double threshold, int minDistance,
                           char mode) {
    const std::vector<int> maxima = localMaxima(v, minDistance);
    if (maxima.empty()) return maxima;
    if (mode == 'r') {
        const auto highest = std::max_element(maxima.begin(), maxima.end(),
                                              [&v](int a, int b) { return v[a] < v[b]; });
        threshold *= v[*highest];
    }
    std::vector<int> peaks;
    std::copy_if(maxima.begin(), maxima.end(), std::back_inserter(peaks),
                 [&](int c) { return v[c] >= threshold; });
    return peaks;
}

double fullWidthHalfMax(const std::vector<double>& spectrum, const std::vector<double>& wavelengths,
                        double target) {
    const std::size_t n = std::min(spectrum.size(), wavelengths.size());
    const auto found = std::find(wavelengths.begin(), wavelengths.begin() + n, target);
    const std::size_t a = static_cast<std::size_t>(found - wavelengths.begin());
    if (a == n || a == 0) return 0.0;
    const double h = spectrum[a] * 0.5;

    std::optional<double> left;
    for (std::size_t i = a; i >= 1 && !left; --i)
        left = halfLevelCrossing(spectrum, wavelengths, i, i - 1, h);
    std::optional<double> right;
    for (std::size_t j = a; j + 1 < n && !right; ++j)
        right = halfLevelCrossing(spectrum, wavelengths, j, j + 1, h);
    if (!left || !right) return 0.0;
    return std::abs(*right - *left);
}

}  // namespace kelo::ui
