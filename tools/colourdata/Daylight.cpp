#include "Daylight.h"

#include <cmath>
#include <cstddef>
#include <stdexcept>

namespace kelo::colourdata {
namespace {

double roundToThousandths(double value) {
    return std::round(value * 1000.0) / 1000.0;
}

}  // namespace

double daylightChromaticityX(double temperature) {
    if (!(temperature >= 4000.0 && temperature <= 7000.0))
        throw std::invalid_argument("daylight chromaticity needs 4000 to 7000 K");
    const double t = temperature;
    return -4.6070e9 / (t * t * t) + 2.9678e6 / (t * t) + 0.09911e3 / t + 0.244063;
}

DaylightWeights daylightWeights(double temperature) {
    const double x = daylightChromaticityX(temperature);
    const double y = -3.000 * x * x + 2.870 * x - 0.275;
    const double m = 0.0241 + 0.2562 * x - 0.7341 * y;
    DaylightWeights weights;
    weights.m1 = roundToThousandths((-1.3515 - 1.7703 * x + 5.9114 * y) / m);
    weights.m2 = roundToThousandths((0.0300 - 31.4424 * x + 30.0717 * y) / m);
    return weights;
}

std::vector<double> daylightSpectrum(const DaylightWeights& weights, const std::vector<double>& s0,
                                     const std::vector<double>& s1, const std::vector<double>& s2) {
    if (s1.size() != s0.size() || s2.size() != s0.size())
        throw std::invalid_argument("daylight basis functions of different lengths");
    std::vector<double> spectrum(s0.size());
    for (std::size_t i = 0; i < s0.size(); ++i)
        spectrum[i] = s0[i] + weights.m1 * s1[i] + weights.m2 * s2[i];
    return spectrum;
}

}  // namespace kelo::colourdata
