// The colour chart of ColourEngine: the named RGB chart file and the
// L*a*b* chart, and the nearest entry of each.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "spectra/ColourEngine.h"

namespace {

constexpr const char* kChartFile = "data/pmsRgb.dat";

// Only six hex digits give three defined digit pairs; other lines are skipped
// when reading, so the nearest search never meets an unreadable value.
bool isHexValue(const std::string& value) {
    return value.size() == 6 && std::all_of(value.begin(), value.end(), [](char c) {
               return std::isxdigit(static_cast<unsigned char>(c)) != 0;
           });
}

int hexPair(const std::string& value, std::size_t at) {
    return std::stoi(value.substr(at, 2), nullptr, 16);
}

}  // namespace

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

ChartMatch ColourEngine::matchRgb(int R, int G, int B) const {
    for (int component : {R, G, B})
        if (component < 0 || component > 255) return {};
    // Without leading zeros, as the chart was matched from the start: a red
    // below 16 never matches exactly and is left to the nearest search.
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
        // Lightness counts far less than hue: only its term is under the root.
        const double d = std::sqrt((L - e.L) * (L - e.L) / 10.0) + 2.0 * (a - e.a) * (a - e.a) +
                         2.0 * (b - e.b) * (b - e.b);
        if (d < best) {
            best = d;
            name = e.name;
        }
    }
    return {name, static_cast<int>(best)};
}

ChartMatch ColourEngine::matchChart(const ColourReading& colour, int method) const {
    if (method != 0) return matchLab(colour.lab[0], colour.lab[1], colour.lab[2]);
    // Checked before the conversion to int, which NaN or a huge value would
    // make undefined.
    for (double component : colour.rgb)
        if (!(component >= 0.0 && component <= 255.0)) return {};
    return matchRgb(static_cast<int>(colour.rgb[0]), static_cast<int>(colour.rgb[1]),
                    static_cast<int>(colour.rgb[2]));
}

void ColourEngine::setLabChart(std::vector<LabChartEntry> entries) {
    labChart = std::move(entries);
}
