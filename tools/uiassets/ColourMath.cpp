#include "ColourMath.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace kelo::uiassets {

namespace {

constexpr double kLocusFirstNm = 380.0;
constexpr double kLocusLastNm = 780.0;
constexpr Xyz kD65White{0.95047, 1.0, 1.08883};

std::runtime_error tableError(const std::string& sourceName, int line, const std::string& fault) {
    return std::runtime_error(sourceName + ":" + std::to_string(line) + ": " + fault);
}

bool isBlank(const std::string& line) {
    return line.find_first_not_of(" \t\r") == std::string::npos;
}

Rgb clippedBelowZero(const Rgb& rgb) {
    return {std::max(rgb.red, 0.0), std::max(rgb.green, 0.0), std::max(rgb.blue, 0.0)};
}

// Inverse of the L*a*b* compression f(t).
double labExpanded(double f) {
    constexpr double kDelta = 6.0 / 29.0;
    return f > kDelta ? f * f * f : 3.0 * kDelta * kDelta * (f - 4.0 / 29.0);
}

}  // namespace

ColourMatchingTable::ColourMatchingTable(std::vector<Row> rows) : rows_(std::move(rows)) {}

Xyz ColourMatchingTable::at(double nm) const {
    const auto after =
        std::lower_bound(rows_.begin(), rows_.end(), nm,
                         [](const Row& row, double value) { return row.nm < value; });
    if (after == rows_.end()) return {};
    if (after->nm == nm) return after->value;
    if (after == rows_.begin()) return {};
    const Row& before = *(after - 1);
    const double t = (nm - before.nm) / (after->nm - before.nm);
    const auto mix = [t](double low, double high) { return low + t * (high - low); };
    return {mix(before.value.x, after->value.x), mix(before.value.y, after->value.y),
            mix(before.value.z, after->value.z)};
}

ColourMatchingTable parseColourMatchingTable(std::istream& text, const std::string& sourceName) {
    std::vector<ColourMatchingTable::Row> rows;
    std::string line;
    for (int lineNumber = 1; std::getline(text, line); ++lineNumber) {
        if (isBlank(line)) continue;
        std::istringstream fields(line);
        ColourMatchingTable::Row row;
        std::string extra;
        if (!(fields >> row.nm >> row.value.x >> row.value.y >> row.value.z) || (fields >> extra)) {
            throw tableError(sourceName, lineNumber, "expected \"wavelength x y z\"");
        }
        if (!rows.empty() && row.nm <= rows.back().nm) {
            throw tableError(sourceName, lineNumber, "wavelengths must ascend");
        }
        rows.push_back(row);
    }
    if (rows.size() < 2) throw std::runtime_error(sourceName + ": fewer than two rows");
    return ColourMatchingTable(std::move(rows));
}

ColourMatchingTable readColourMatchingTable(const std::filesystem::path& file) {
    std::ifstream text(file);
    if (!text) throw std::runtime_error(file.string() + ": cannot be opened");
    return parseColourMatchingTable(text, file.string());
}

Rgb linearSrgbFromXyz(const Xyz& xyz) {
    return {3.2404542 * xyz.x - 1.5371385 * xyz.y - 0.4985314 * xyz.z,
            -0.9692660 * xyz.x + 1.8760108 * xyz.y + 0.0415560 * xyz.z,
            0.0556434 * xyz.x - 0.2040259 * xyz.y + 1.0572252 * xyz.z};
}

double srgbEncoded(double linear) {
    const double clamped = std::clamp(linear, 0.0, 1.0);
    return clamped <= 0.0031308 ? 12.92 * clamped : 1.055 * std::pow(clamped, 1.0 / 2.4) - 0.055;
}

Rgb srgbEncoded(const Rgb& linear) {
    return {srgbEncoded(linear.red), srgbEncoded(linear.green), srgbEncoded(linear.blue)};
}

Xyz xyzFromLab(double lightness, double a, double b) {
    const double fy = (lightness + 16.0) / 116.0;
    const double fx = fy + a / 500.0;
    const double fz = fy - b / 200.0;
    return {kD65White.x * labExpanded(fx), kD65White.y * labExpanded(fy),
            kD65White.z * labExpanded(fz)};
}

Chromaticity chromaticityOf(const Xyz& xyz) {
    const double sum = xyz.x + xyz.y + xyz.z;
    if (sum <= 0.0) return {};
    return {xyz.x / sum, xyz.y / sum};
}

std::vector<Chromaticity> spectralLocus(const ColourMatchingTable& table) {
    std::vector<Chromaticity> locus;
    for (const ColourMatchingTable::Row& row : table.rows()) {
        if (row.nm >= kLocusFirstNm && row.nm <= kLocusLastNm) {
            locus.push_back(chromaticityOf(row.value));
        }
    }
    return locus;
}

// Even-odd rule: a ray to the right crosses the outline an odd number of
// times from inside.
bool insidePolygon(const std::vector<Chromaticity>& polygon, Chromaticity point) {
    bool inside = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const Chromaticity& p = polygon[i];
        const Chromaticity& q = polygon[j];
        if ((p.y > point.y) != (q.y > point.y) &&
            point.x < p.x + (point.y - p.y) * (q.x - p.x) / (q.y - p.y)) {
            inside = !inside;
        }
    }
    return inside;
}

Rgb brightestDisplayable(Chromaticity point) {
    if (point.y <= 0.0) return {};
    const Xyz xyz{point.x / point.y, 1.0, (1.0 - point.x - point.y) / point.y};
    const Rgb rgb = clippedBelowZero(linearSrgbFromXyz(xyz));
    const double largest = std::max({rgb.red, rgb.green, rgb.blue});
    if (largest <= 0.0) return {};
    return {rgb.red / largest, rgb.green / largest, rgb.blue / largest};
}

Rgb spectralColour(const ColourMatchingTable& table, double nm) {
    return clippedBelowZero(linearSrgbFromXyz(table.at(nm)));
}

}  // namespace kelo::uiassets
