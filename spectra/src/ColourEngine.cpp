#include "spectra/ColourEngine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <limits>

namespace {

constexpr int kColourGridFirstNm = 380;
constexpr int kColourGridLastNm = 730;
constexpr std::size_t kObserverRows = 471;
constexpr std::size_t kIlluminantRows = 401;

constexpr const char* kCmf1931File = "data/cmf1931.dat";
constexpr const char* kCmf1964File = "data/cmf1964.dat";
constexpr const char* kD65File = "data/D65.dat";
constexpr const char* kD50File = "data/D50.dat";
constexpr const char* kChartFile = "data/pmsRgb.dat";

using Column = std::vector<double>;
using Matrix = std::array<ColourEngine::Triple, 3>;

const Matrix kD65Matrix = {{{3.2404542, -1.5371385, -0.4985314},
                            {-0.969266, 1.8760108, 0.041556},
                            {0.0556434, -0.2040259, 1.0572252}}};
const Matrix kD50Matrix = {{{3.1338561, -1.6168667, -0.4906146},
                            {-0.9787684, 1.9161415, 0.033454},
                            {0.0719453, -0.2289914, 1.4052427}}};

Column evenGrid(int first, int last) {
    Column grid;
    for (int nm = first; nm <= last; ++nm) grid.push_back(nm);
    return grid;
}

// Rows of `columns` numbers per line, read with the C format of the data
// files. Empty, with the reason on standard output, unless exactly `rows`
// rows were read: a line that does not give its numbers ends the reading,
// and is an error unless it is the end of the file.
std::vector<Column> readFixedTable(const char* path, int columns, std::size_t rows) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        std::cout << path << " file not found\n";
        return {};
    }
    std::vector<Column> table(static_cast<std::size_t>(columns));
    const char* format = columns == 4 ? "%lf %lf %lf %lf" : "%lf %lf";
    char line[512];
    bool stoppedEarly = false;
    while (table[0].size() < rows && std::fgets(line, sizeof line, file) != nullptr) {
        double v[4] = {};
        if (std::sscanf(line, format, &v[0], &v[1], &v[2], &v[3]) != columns) {
            stoppedEarly = true;
            break;
        }
        for (int c = 0; c < columns; ++c) table[static_cast<std::size_t>(c)].push_back(v[c]);
    }
    std::fclose(file);
    if (stoppedEarly || table[0].size() != rows) {
        std::cout << path << ": " << table[0].size() << " rows read, " << rows << " expected\n";
        return {};
    }
    return table;
}

// Groups of `columns` numbers until the end of the file or the first value
// that cannot be read. Empty when the file is missing or holds no group.
std::vector<Column> readListTable(const char* path, int columns) {
    std::ifstream file(path);
    if (!file) {
        std::cout << path << " file not found\n";
        return {};
    }
    std::vector<Column> table(static_cast<std::size_t>(columns));
    for (;;) {
        double v[4] = {};
        int read = 0;
        while (read < columns && file >> v[read]) ++read;
        if (read < columns) break;
        for (int c = 0; c < columns; ++c) table[static_cast<std::size_t>(c)].push_back(v[c]);
    }
    if (table[0].empty()) {
        std::cout << path << ": no rows read\n";
        return {};
    }
    return table;
}

// Linear between the rows of a fixed table, extended with the last
// segment's line; the largest double below the first row.
Column arrayInterpolation(const Column& x, const Column& y, const Column& grid) {
    const std::size_t n = x.size();
    Column slope(n), intercept(n);
    for (std::size_t k = 0; k + 1 < n; ++k) {
        slope[k] = (y[k + 1] - y[k]) / (x[k + 1] - x[k]);
        intercept[k] = y[k] - slope[k] * x[k];
    }
    if (n >= 2) {
        slope[n - 1] = slope[n - 2];
        intercept[n - 1] = intercept[n - 2];
    }
    Column values;
    for (double t : grid) {
        std::size_t best = n;
        for (std::size_t k = 0; k < n; ++k)
            if (x[k] <= t && (best == n || t - x[k] < t - x[best])) best = k;
        values.push_back(best == n ? std::numeric_limits<double>::max()
                                   : slope[best] * t + intercept[best]);
    }
    return values;
}

// A table value where the grid meets one, linear between neighbours, and
// outside the table the value of the grid point before (the first table
// value before the table starts).
Column listInterpolation(const Column& x, const Column& y, const Column& grid) {
    const auto [low, high] = std::minmax_element(x.begin(), x.end());
    Column values;
    for (double t : grid) {
        const auto exact = std::find(x.begin(), x.end(), t);
        if (exact != x.end()) {
            values.push_back(y[static_cast<std::size_t>(exact - x.begin())]);
            continue;
        }
        double value = values.empty() ? y.front() : values.back();
        if (t >= *low && t <= *high) {
            for (std::size_t k = 0; k + 1 < x.size(); ++k) {
                if (x[k] <= t && t <= x[k + 1]) {
                    value = y[k] + (y[k + 1] - y[k]) * (t - x[k]) / (x[k + 1] - x[k]);
                    break;
                }
            }
        }
        values.push_back(value);
    }
    return values;
}

bool isHexValue(const std::string& value) {
    return value.size() == 6 && std::all_of(value.begin(), value.end(), [](char c) {
               return std::isxdigit(static_cast<unsigned char>(c)) != 0;
           });
}

int hexPair(const std::string& value, std::size_t at) {
    return std::stoi(value.substr(at, 2), nullptr, 16);
}

}  // namespace

ColourEngine::ColourEngine()
    : colourGrid(evenGrid(kColourGridFirstNm, kColourGridLastNm)),
      stepGrid(evenGrid(400, 700)) {
    setIlluminant(true);
}

void ColourEngine::setSpectrometerGrid(const std::vector<double>& wavelengths) {
    spectrometerGrid = wavelengths;
    colourGrid = evenGrid(kColourGridFirstNm, kColourGridLastNm);
}

bool ColourEngine::load() {
    stepGrid = evenGrid(400, 700);
    const bool coloursRead = loadObservers() && loadIlluminants();
    loadChart();
    return coloursRead;
}

bool ColourEngine::loadObservers() {
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
    const std::vector<Column> rawD65 = readFixedTable(kD65File, 2, kIlluminantRows);
    if (rawD65.empty()) return false;
    d65 = arrayInterpolation(rawD65[0], rawD65[1], colourGrid);

    const std::vector<Column> rawD50 = readListTable(kD50File, 2);
    if (rawD50.empty()) return false;
    d50 = listInterpolation(rawD50[0], rawD50[1], colourGrid);
    return true;
}

bool ColourEngine::loadChart() {
    std::ifstream file(kChartFile);
    if (!file) {
        std::cout << kChartFile << " not found\n";
        return false;
    }
    chartNames.clear();
    chartValues.clear();
    for (std::string line; std::getline(file, line);) {
        line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
        const std::size_t comma = line.find(',');
        if (comma == 0 || comma == std::string::npos) continue;
        std::string value = line.substr(comma + 1);
        if (!isHexValue(value)) continue;
        chartNames.push_back(line.substr(0, comma));
        chartValues.push_back(std::move(value));
    }
    return true;
}

ColourEngine::Triple ColourEngine::computeXYZ(const std::vector<double>& reflectance) const {
    const std::size_t n = colourGrid.size();
    if (reflectance.empty() || cmf1931Y.size() != n) return {};
    // The reflectance on the colour grid: samples below 380 nm dropped, the
    // first sample repeated down to 380 nm, the last one up to 730 nm.
    const double first = spectrometerGrid.empty() ? kColourGridFirstNm : spectrometerGrid.front();
    const std::size_t lead =
        first >= kColourGridFirstNm ? static_cast<std::size_t>(first - kColourGridFirstNm) : 0;
    const std::size_t skip =
        first < kColourGridFirstNm ? static_cast<std::size_t>(kColourGridFirstNm - first) : 0;
    const double dLambda = stepGrid[2] - stepGrid[1];
    const Column& s = illuminantD65 ? d65 : d50;
    const Column& xBar = observer1931 ? cmf1931X : cmf1964X;
    const Column& yBar = observer1931 ? cmf1931Y : cmf1964Y;
    const Column& zBar = observer1931 ? cmf1931Z : cmf1964Z;

    double xs = 0.0, ys = 0.0, zs = 0.0, k = 0.0;
    for (std::size_t j = 0; j < n; ++j) {
        const std::size_t i = j < lead ? 0 : std::min(skip + j - lead, reflectance.size() - 1);
        const double r = reflectance[i];
        xs += s[j] * r * xBar[j] * dLambda;
        ys += s[j] * r * yBar[j] * dLambda;
        zs += s[j] * r * zBar[j] * dLambda;
        k += yBar[j] * s[j] * dLambda;
    }
    k /= 100.0;
    return {xs / k, ys / k, zs / k};
}

ColourEngine::Triple ColourEngine::xyzToRgb(double X, double Y, double Z) const {
    const Triple xyz = {X / 100.0, Y / 100.0, Z / 100.0};
    Triple rgb{};
    for (std::size_t row = 0; row < 3; ++row) {
        double linear = rgbMatrix[row][0] * xyz[0] + rgbMatrix[row][1] * xyz[1] +
                        rgbMatrix[row][2] * xyz[2];
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
    const double L = q[1] <= epsilon ? q[1] * 903.2999877929688 : 116.0 * f[1] - 16.0;
    return {L, 500.0 * (f[0] - f[1]), 200.0 * (f[1] - f[2])};
}

void ColourEngine::setIlluminant(bool d65Chosen) {
    illuminantD65 = d65Chosen;
    rgbMatrix = d65Chosen ? kD65Matrix : kD50Matrix;
    if (illuminantD65)
        whitePoint = observer1931 ? Triple{95.047, 100.0, 108.883} : Triple{94.811, 100.0, 107.32};
    else
        whitePoint = observer1931 ? Triple{96.41986557609, 100.0, 82.511648322104}
                                  : Triple{96.72, 100.0, 81.45};
}

void ColourEngine::setObserver(bool cie1931) {
    observer1931 = cie1931;
    if (observer1931)
        whitePoint = illuminantD65 ? Triple{95.042, 100.0, 108.87} : Triple{96.42, 100.0, 82.51};
    else
        whitePoint = illuminantD65 ? Triple{94.811, 100.0, 107.32} : Triple{96.72, 100.0, 81.45};
}

ChartMatch ColourEngine::matchRgb(int R, int G, int B) const {
    char key[16];
    std::snprintf(key, sizeof key, "%x", static_cast<unsigned>(R * 65536 + G * 256 + B));
    for (std::size_t i = 0; i < chartValues.size(); ++i)
        if (chartValues[i] == key && !chartNames[i].empty()) return {chartNames[i], 0};

    ChartMatch nearest;
    for (std::size_t i = 0; i < chartValues.size(); ++i) {
        const int dr = R - hexPair(chartValues[i], 0);
        const int dg = G - hexPair(chartValues[i], 2);
        const int db = B - hexPair(chartValues[i], 4);
        const int d = static_cast<int>(std::sqrt(double(dr * dr + dg * dg + db * db)));
        if (d < nearest.distance) nearest = {chartNames[i], d};
    }
    return nearest;
}

ChartMatch ColourEngine::matchLab(double L, double a, double b) const {
    double best = 1000.0;
    std::string name;
    for (const LabChartEntry& e : labChart) {
        const double d = std::sqrt((L - e.L) * (L - e.L) / 10.0) + 2.0 * (a - e.a) * (a - e.a) +
                         2.0 * (b - e.b) * (b - e.b);
        if (d < best) {
            best = d;
            name = e.name;
        }
    }
    return {name, static_cast<int>(best)};
}

void ColourEngine::setLabChart(std::vector<LabChartEntry> entries) {
    labChart = std::move(entries);
}
