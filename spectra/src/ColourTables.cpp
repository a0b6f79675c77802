#include "ColourTables.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

namespace kelo::colour {

namespace {

// What the colour tables can hold: wavelengths of light, and weights that a
// sum over some hundred rows cannot take beyond the range of a double.
constexpr double kShortestNm = 100.0;
constexpr double kLongestNm = 2500.0;
constexpr double kLargestValue = 1e6;

std::string nm(double wavelength) {
    char text[32];
    std::snprintf(text, sizeof text, "%g nm", wavelength);
    return text;
}

// Why a row of `columns` numbers (wavelength first) cannot follow the rows
// of `wavelengths`; empty when it can.
std::string rowProblem(const double* row, int columns, const Column& wavelengths) {
    for (int c = 0; c < columns; ++c)
        if (!std::isfinite(row[c])) return "a value is not a finite number";
    if (row[0] < kShortestNm || row[0] > kLongestNm)
        return "wavelength " + nm(row[0]) + " is outside 100..2500 nm";
    if (!wavelengths.empty() && row[0] <= wavelengths.back())
        return "wavelength " + nm(row[0]) + " does not follow " + nm(wavelengths.back());
    for (int c = 1; c < columns; ++c)
        if (std::abs(row[c]) > kLargestValue) return "a value is beyond +-1e6";
    return {};
}

void reportRow(const char* path, std::size_t row, const std::string& problem) {
    std::cout << path << ": row " << row << ": " << problem << "\n";
}

}  // namespace

Column integerGrid(int first, int last) {
    Column grid;
    for (int nm = first; nm <= last; ++nm) grid.push_back(nm);
    return grid;
}

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
    // Rows past `rows` are never looked at, so text after the table is harmless.
    while (table[0].size() < rows && std::fgets(line, sizeof line, file) != nullptr) {
        double v[4] = {};
        if (std::sscanf(line, format, &v[0], &v[1], &v[2], &v[3]) != columns) {
            stoppedEarly = true;
            break;
        }
        if (const std::string problem = rowProblem(v, columns, table[0]); !problem.empty()) {
            reportRow(path, table[0].size() + 1, problem);
            std::fclose(file);
            return {};
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
        if (const std::string problem = rowProblem(v, columns, table[0]); !problem.empty()) {
            reportRow(path, table[0].size() + 1, problem);
            return {};
        }
        for (int c = 0; c < columns; ++c) table[static_cast<std::size_t>(c)].push_back(v[c]);
    }
    if (table[0].empty()) {
        std::cout << path << ": no rows read\n";
        return {};
    }
    return table;
}

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
    values.reserve(grid.size());
    if (n == 0) return values;
    for (double t : grid) {
        std::size_t nearest = n;
        for (std::size_t k = 0; k < n; ++k)
            if (x[k] <= t && (nearest == n || t - x[k] < t - x[nearest])) nearest = k;
        if (nearest == n) nearest = 0;
        values.push_back(slope[nearest] * t + intercept[nearest]);
    }
    return values;
}

Column listInterpolation(const Column& x, const Column& y, const Column& grid) {
    Column values;
    if (x.empty()) return values;
    const auto [low, high] = std::minmax_element(x.begin(), x.end());
    values.reserve(grid.size());
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

}  // namespace kelo::colour
