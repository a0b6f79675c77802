#include "Interpolation.h"

#include <cstddef>
#include <stdexcept>

namespace kelo::colourdata {
namespace {

void requireNodes(const std::vector<double>& nodes, std::size_t least, int parts) {
    if (nodes.size() < least || parts < 1)
        throw std::invalid_argument("too few nodes or parts to interpolate");
}

// One interval [F0, F1] from its six nodes F-2 ... F3, at X = fraction.
double spragueQuintic(const std::array<double, 6>& f, double x) {
    const double a0 = f[2];
    const double a1 = (2 * f[0] - 16 * f[1] + 16 * f[3] - 2 * f[4]) / 24;
    const double a2 = (-f[0] + 16 * f[1] - 30 * f[2] + 16 * f[3] - f[4]) / 24;
    const double a3 = (-9 * f[0] + 39 * f[1] - 70 * f[2] + 66 * f[3] - 33 * f[4] + 7 * f[5]) / 24;
    const double a4 =
        (13 * f[0] - 64 * f[1] + 126 * f[2] - 124 * f[3] + 61 * f[4] - 12 * f[5]) / 24;
    const double a5 = (-5 * f[0] + 25 * f[1] - 50 * f[2] + 50 * f[3] - 25 * f[4] + 5 * f[5]) / 24;
    return a0 + x * (a1 + x * (a2 + x * (a3 + x * (a4 + x * a5))));
}

// The nodes with two extrapolated ones added at each end.
std::vector<double> extendedNodes(const std::vector<double>& nodes) {
    const std::array<double, 2> below = spragueBelowFirst(nodes);
    const std::array<double, 2> above = spragueAboveLast(nodes);
    std::vector<double> extended;
    extended.reserve(nodes.size() + 4);
    extended.insert(extended.end(), below.begin(), below.end());
    extended.insert(extended.end(), nodes.begin(), nodes.end());
    extended.insert(extended.end(), above.begin(), above.end());
    return extended;
}

}  // namespace

std::array<double, 2> spragueBelowFirst(const std::vector<double>& nodes) {
    requireNodes(nodes, 6, 1);
    const std::vector<double>& f = nodes;
    return {(884 * f[0] - 1960 * f[1] + 3033 * f[2] - 2648 * f[3] + 1080 * f[4] - 180 * f[5]) / 209,
            (508 * f[0] - 540 * f[1] + 488 * f[2] - 367 * f[3] + 144 * f[4] - 24 * f[5]) / 209};
}

std::array<double, 2> spragueAboveLast(const std::vector<double>& nodes) {
    requireNodes(nodes, 6, 1);
    const double* f = nodes.data() + nodes.size() - 6;  // f[5] is the last node
    return {
        (-24 * f[0] + 144 * f[1] - 367 * f[2] + 488 * f[3] - 540 * f[4] + 508 * f[5]) / 209,
        (-180 * f[0] + 1080 * f[1] - 2648 * f[2] + 3033 * f[3] - 1960 * f[4] + 884 * f[5]) / 209};
}

std::vector<double> spragueRefine(const std::vector<double>& nodes, int parts) {
    requireNodes(nodes, 6, parts);
    const std::vector<double> extended = extendedNodes(nodes);
    std::vector<double> refined;
    refined.reserve((nodes.size() - 1) * parts + 1);
    for (std::size_t interval = 0; interval + 1 < nodes.size(); ++interval) {
        // Node `interval` of the table is extended[interval + 2].
        std::array<double, 6> six;
        for (std::size_t k = 0; k < 6; ++k) six[k] = extended[interval + k];
        refined.push_back(nodes[interval]);
        for (int step = 1; step < parts; ++step)
            refined.push_back(spragueQuintic(six, static_cast<double>(step) / parts));
    }
    refined.push_back(nodes.back());
    return refined;
}

std::vector<double> linearRefine(const std::vector<double>& nodes, int parts) {
    requireNodes(nodes, 2, parts);
    std::vector<double> refined;
    refined.reserve((nodes.size() - 1) * parts + 1);
    for (std::size_t interval = 0; interval + 1 < nodes.size(); ++interval) {
        const double from = nodes[interval];
        const double rise = nodes[interval + 1] - from;
        for (int step = 0; step < parts; ++step)
            refined.push_back(from + rise * static_cast<double>(step) / parts);
    }
    refined.push_back(nodes.back());
    return refined;
}

}  // namespace kelo::colourdata
