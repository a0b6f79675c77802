#include "spectra/ColourEngine.h"

#include <algorithm>
#include <cmath>

#include "ColourTables.h"

namespace {

using kelo::colour::Column;
using Matrix = std::array<ColourEngine::Triple, 3>;

constexpr int kColourGridFirstNm = 380;
constexpr int kColourGridLastNm = 730;
constexpr std::size_t kObserverRows = 471;
constexpr std::size_t kIlluminantRows = 401;

constexpr const char* kCmf1931File = "data/cmf1931.dat";
constexpr const char* kCmf1964File = "data/cmf1964.dat";
constexpr const char* kD65File = "data/D65.dat";
constexpr const char* kD50File = "data/D50.dat";

const Matrix kD65Matrix = {{{3.2404542, -1.5371385, -0.4985314},
                            {-0.969266, 1.8760108, 0.041556},
                            {0.0556434, -0.2040259, 1.0572252}}};
const Matrix kD50Matrix = {{{3.1338561, -1.6168667, -0.4906146},
                            {-0.9787684, 1.9161415, 0.033454},
                            {0.0719453, -0.2289914, 1.4052427}}};

// The two setters carry slightly different 2° white points; both are kept
// because the one called last decides, and start-up calls setObserver last.
const ColourEngine::Triple kIlluminantWhiteD65_1931 = {95.047, 100.0, 108.883};
const ColourEngine::Triple kIlluminantWhiteD50_1931 = {96.41986557609, 100.0, 82.511648322104};
const ColourEngine::Triple kObserverWhiteD65_1931 = {95.042, 100.0, 108.87};
const ColourEngine::Triple kObserverWhiteD50_1931 = {96.42, 100.0, 82.51};
const ColourEngine::Triple kWhiteD65_1964 = {94.811, 100.0, 107.32};
const ColourEngine::Triple kWhiteD50_1964 = {96.72, 100.0, 81.45};

// Whole nm from `from` up to `to`, at most `limit`; 0 when `to` is not above.
std::size_t wholeNmBetween(double from, double to, std::size_t limit) {
    const double span = to - from;
    if (!(span > 0.0)) return 0;
    return span >= static_cast<double>(limit) ? limit : static_cast<std::size_t>(span);
}

}  // namespace

ColourEngine::ColourEngine()
    : colourGrid(kelo::colour::integerGrid(kColourGridFirstNm, kColourGridLastNm)),
      stepGrid(kelo::colour::integerGrid(400, 700)) {
    setIlluminant(true);
}

void ColourEngine::setSpectrometerGrid(const std::vector<double>& wavelengths) {
    spectrometerGrid = wavelengths;
}

bool ColourEngine::load() {
    const bool coloursRead = loadObservers() && loadIlluminants();
    loadChart();
    return coloursRead;
}

bool ColourEngine::loadObservers() {
    using namespace kelo::colour;
    const std::vector<Column> raw1931 = readFixedTable(kCmf1931File, 4, kObserverRows);
    if (raw1931.empty()) return false;
    cmf1931X = arrayInterpolation(raw1931[0], raw1931[1], colourGrid);
    cmf1931Y = arrayInterpolation(raw1931[0], raw1931[2], colourGrid);
    cmf1931Z = arrayInterpolation(raw1931[0], raw1931[3], colourGrid);

    const std::vector<Column> raw1964 = readListTable(kCmf1964File, 4);
    if (raw1964.empty()) return false;
    cmf1964X = listInterpolation(raw1964[0], raw1964[1], colourGrid);
    cmf1964Y = listInterpolation(raw1964[0], raw1964[2], colourGrid);
    cmf1964Z = listInterpolation(raw1964[0], raw1964[3], colourGrid);
    return true;
}

bool ColourEngine::loadIlluminants() {
    using namespace kelo::colour;
    const std::vector<Column> rawD65 = readFixedTable(kD65File, 2, kIlluminantRows);
    if (rawD65.empty()) return false;
    d65 = arrayInterpolation(rawD65[0], rawD65[1], colourGrid);

    const std::vector<Column> rawD50 = readListTable(kD50File, 2);
    if (rawD50.empty()) return false;
    d50 = listInterpolation(rawD50[0], rawD50[1], colourGrid);
    return true;
}

bool ColourEngine::tablesRead() const {
    const auto onGrid = [n = colourGrid.size()](const Column& table) { return table.size() == n; };
    const bool observerRead = observer1931
                                  ? onGrid(cmf1931X) && onGrid(cmf1931Y) && onGrid(cmf1931Z)
                                  : onGrid(cmf1964X) && onGrid(cmf1964Y) && onGrid(cmf1964Z);
    return observerRead && onGrid(illuminantD65 ? d65 : d50);
}

ColourEngine::Triple ColourEngine::computeXYZ(const std::vector<double>& reflectance) const {
    if (reflectance.empty() || !tablesRead()) return {};
    const Column& s = illuminantD65 ? d65 : d50;
    const Column& xBar = observer1931 ? cmf1931X : cmf1964X;
    const Column& yBar = observer1931 ? cmf1931Y : cmf1964Y;
    const Column& zBar = observer1931 ? cmf1931Z : cmf1964Z;
    const std::size_t n = colourGrid.size();

    // The reflectance on the colour grid, the spectrometer grid taken as 1 nm
    // spaced: its first sample repeated down to 380 nm (lead), samples below
    // 380 nm dropped (skip), its last sample repeated up to 730 nm.
    const double first = spectrometerGrid.empty() ? kColourGridFirstNm : spectrometerGrid.front();
    const std::size_t lead = wholeNmBetween(kColourGridFirstNm, first, n);
    const std::size_t skip = wholeNmBetween(first, kColourGridFirstNm, reflectance.size());
    const std::size_t lastSample = reflectance.size() - 1;
    const double dLambda = stepGrid[2] - stepGrid[1];

    double xs = 0.0, ys = 0.0, zs = 0.0, k = 0.0;
    for (std::size_t j = 0; j < n; ++j) {
        const double r = reflectance[j < lead ? 0 : std::min(skip + j - lead, lastSample)];
        xs += s[j] * r * xBar[j] * dLambda;
        ys += s[j] * r * yBar[j] * dLambda;
        zs += s[j] * r * zBar[j] * dLambda;
        k += yBar[j] * s[j] * dLambda;
    }
    k /= 100.0;
    return {xs / k, ys / k, zs / k};
}

std::optional<ColourReading> ColourEngine::colourOf(const std::vector<double>& reflectance) const {
    if (reflectance.empty() || !tablesRead()) return std::nullopt;
    ColourReading colour;
    colour.xyz = computeXYZ(reflectance);
    colour.rgb = xyzToRgb(colour.xyz[0], colour.xyz[1], colour.xyz[2]);
    colour.lab = xyzToLab(colour.xyz[0], colour.xyz[1], colour.xyz[2]);
    for (const Triple* values : {&colour.xyz, &colour.rgb, &colour.lab})
        for (double value : *values)
            if (!std::isfinite(value)) return std::nullopt;
    return colour;
}

ColourEngine::Triple ColourEngine::xyzToRgb(double X, double Y, double Z) const {
    const Triple xyz = {X / 100.0, Y / 100.0, Z / 100.0};
    Triple rgb{};
    for (std::size_t row = 0; row < 3; ++row) {
        double linear =
            rgbMatrix[row][0] * xyz[0] + rgbMatrix[row][1] * xyz[1] + rgbMatrix[row][2] * xyz[2];
        linear = std::clamp(linear, 0.0, 1.0);
        const double companded = linear <= 0.0031308
                                     ? 12.92 * linear
                                     : 1.055 * std::pow(linear, 0.4166666666666667) - 0.055;
        rgb[row] = std::clamp(std::round(companded * 255.0), 0.0, 255.0);
    }
    return rgb;
}

ColourEngine::Triple ColourEngine::xyzToLab(double X, double Y, double Z) const {
    const double epsilon = std::pow(0.20689655172413793, 3);
    const Triple q = {X / whitePoint[0], Y / whitePoint[1], Z / whitePoint[2]};
    Triple f{};
    for (std::size_t c = 0; c < 3; ++c)
        f[c] = q[c] <= epsilon ? q[c] * 7.787037037037037 + 0.13793103448275862
                               : std::pow(q[c], 0.3333333333333333);
    // 903.3 as a float gives 903.2999877929688; the dark branch uses that value.
    const double L = q[1] <= epsilon ? q[1] * 903.2999877929688 : 116.0 * f[1] - 16.0;
    return {L, 500.0 * (f[0] - f[1]), 200.0 * (f[1] - f[2])};
}

void ColourEngine::setIlluminant(bool d65Chosen) {
    illuminantD65 = d65Chosen;
    rgbMatrix = d65Chosen ? kD65Matrix : kD50Matrix;
    if (observer1931)
        whitePoint = d65Chosen ? kIlluminantWhiteD65_1931 : kIlluminantWhiteD50_1931;
    else
        whitePoint = d65Chosen ? kWhiteD65_1964 : kWhiteD50_1964;
}

void ColourEngine::setObserver(bool cie1931) {
    observer1931 = cie1931;
    if (cie1931)
        whitePoint = illuminantD65 ? kObserverWhiteD65_1931 : kObserverWhiteD50_1931;
    else
        whitePoint = illuminantD65 ? kWhiteD65_1964 : kWhiteD50_1964;
}
