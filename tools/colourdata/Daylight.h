// CIE daylight from its basis functions S0, S1, S2 at a correlated colour
// temperature.
#pragma once

#include <vector>

namespace kelo::colourdata {

// D50's nominal 5000 K on the present radiation constant c2 = 1.4388e-2 m K
// instead of the 1.4380e-2 in force when D50 was defined.
constexpr double kD50Temperature = 5000.0 * 1.4388 / 1.4380;

struct DaylightWeights {
    double m1 = 0.0;
    double m2 = 0.0;
};

// x_D of the daylight locus. The formula used holds from 4000 to 7000 K;
// other temperatures throw std::invalid_argument.
double daylightChromaticityX(double temperature);

// M1 and M2 of S = S0 + M1 S1 + M2 S2, rounded to three decimals as the CIE
// tabulations of the D illuminants are computed.
DaylightWeights daylightWeights(double temperature);

// S0 + M1 S1 + M2 S2 node by node; the three must be of one length.
std::vector<double> daylightSpectrum(const DaylightWeights& weights, const std::vector<double>& s0,
                                     const std::vector<double>& s1, const std::vector<double>& s2);

}  // namespace kelo::colourdata
