#include "ColourTables.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <limits>

namespace kelo::colour {

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
    for (double t : grid) {
        std::size_t nearest = n;
        for (std::size_t k = 0; k < n; ++k)
            if (x[k] <= t && (nearest == n || t - x[k] < t - x[nearest])) nearest = k;
        values.push_back(nearest == n ? std::numeric_limits<double>::max()
                                      : slope[nearest] * t + intercept[nearest]);
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
