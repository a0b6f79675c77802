#include "SampleData.h"

#include <cmath>

namespace kelo::screenshots {
namespace {

double gaussian(double x, double centre, double width) {
    const double t = (x - centre) / width;
    return std::exp(-0.5 * t * t);
}

}  // namespace

std::vector<double> sampleGrid() {
    std::vector<double> grid;
    for (int nm = 390; nm <= 800; ++nm) grid.push_back(nm);
    return grid;
}

std::vector<double> whiteLedSpectrum(const std::vector<double>& grid) {
    std::vector<double> counts;
    for (double nm : grid)
        counts.push_back(40.0 + 3100.0 * gaussian(nm, 451.0, 9.5) +
                         1750.0 * gaussian(nm, 565.0, 48.0) + 420.0 * gaussian(nm, 630.0, 30.0));
    return counts;
}

std::vector<double> sampleReflectance(const std::vector<double>& grid) {
    std::vector<double> reflectance;
    for (double nm : grid)
        reflectance.push_back(0.08 + 0.62 / (1.0 + std::exp(-(nm - 520.0) / 14.0)) -
                              0.18 * gaussian(nm, 660.0, 35.0));
    return reflectance;
}

std::vector<double> warmUpMetric(int samples) {
    std::vector<double> metric;
    for (int i = 0; i < samples; ++i)
        metric.push_back(1850.0 - 620.0 * std::exp(-i / 6.0) + 25.0 * std::sin(i * 1.7));
    return metric;
}

tCIELABRGB sampleColour() {
    tCIELABRGB colour;
    colour.X = 31.8;
    colour.Y = 38.9;
    colour.Z = 9.6;
    colour.R = 170.0;
    colour.G = 168.0;
    colour.B = 64.0;
    colour.L = 68.6;
    colour.a = -12.4;
    colour.b = 56.3;
    return colour;
}

}  // namespace kelo::screenshots
