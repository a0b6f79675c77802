#include "sim/BadPixels.h"

#include <algorithm>

namespace kelo::sim {

namespace {

bool hasCell(const std::vector<BadPixelRecord>& records, int cell) {
    return std::any_of(records.begin(), records.end(),
                       [cell](const BadPixelRecord& r) { return r.cell == cell; });
}

bool hasPixel(const std::vector<BadPixelRecord>& records, const BadPixelRecord& pixel) {
    return std::any_of(records.begin(), records.end(), [&pixel](const BadPixelRecord& r) {
        return r.x == pixel.x && r.y == pixel.y;
    });
}

int offsetWithin(int reach, SeededRandom& random) {
    return static_cast<int>(random.index(static_cast<std::size_t>(2 * reach + 1))) - reach;
}

}  // namespace

std::vector<BadPixelRecord> chooseBadPixels(const UnitModel& model, const SystemConfigBlock& block,
                                            const std::vector<PlacedCell>& cells,
                                            SeededRandom& random) {
    std::vector<BadPixelRecord> records;
    for (int count : model.badPixelsPerCell) {
        int cell = 0;
        do {
            cell = static_cast<int>(random.index(cells.size()));
        } while (hasCell(records, cell));
        const std::size_t first = records.size();
        while (static_cast<int>(records.size() - first) < count) {
            BadPixelRecord pixel;
            pixel.cell = cell;
            pixel.x = cells[cell].x + offsetWithin(block.neighbourPixelsX, random);
            pixel.y = cells[cell].y + offsetWithin(block.neighbourPixelsY, random);
            if (!hasPixel(records, pixel)) records.push_back(pixel);
        }
    }
    return records;
}

}  // namespace kelo::sim
