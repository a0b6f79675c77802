// The readers of the colour data files: the first byte picks a fixed table of
// four or two columns (the second byte its row count) or a list table of
// four or two columns; the rest is the file. A table that is read is
// resampled onto the colour grid as the colour engine does, and weighted
// sums over the grid, as the tristimulus values are formed, must be finite.
#include <algorithm>
#include <vector>

#include "ColourTables.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelo::colour;
    using namespace kelo::fuzz;
    if (size < 2) return 0;
    const bool fixed = data[0] % 2 == 0;
    const int columns = (data[0] / 2) % 2 == 0 ? 4 : 2;
    const std::size_t rows = 1 + data[1] % 64;
    enterWorkingFolder();
    writeInput("table.dat", data + 2, size - 2);

    const std::vector<Column> table =
        fixed ? readFixedTable("table.dat", columns, rows) : readListTable("table.dat", columns);
    if (table.empty()) return 0;
    static const Column grid = integerGrid(380, 730);
    std::vector<Column> resampled;
    for (std::size_t c = 1; c < table.size(); ++c)
        resampled.push_back(fixed ? arrayInterpolation(table[0], table[c], grid)
                                  : listInterpolation(table[0], table[c], grid));
    for (const Column& column : resampled) {
        double sum = 0.0;
        for (std::size_t i = 0; i < grid.size(); ++i)
            sum += column[i] * resampled.front()[i];
        requireFinite(sum, "a weighted sum over a colour table");
    }
    return 0;
}
