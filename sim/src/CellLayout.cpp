#include "sim/CellLayout.h"

#include <cmath>

namespace kelo::sim {

namespace {

int jittered(double nominal, double jitter, SeededRandom& random) {
    return static_cast<int>(std::floor(nominal + random.uniform(-jitter, jitter) + 0.5));
}

}  // namespace

std::vector<PlacedCell> placeCells(const UnitModel& model, const SystemConfigBlock& block,
                                   SeededRandom& random) {
    const int count = model.tracks * model.cellsPerTrack;
    const double lastX = block.dataSizeX - 1.0;
    const double lastY = block.dataSizeY - 1.0;
    const double pitchX = (lastX - 2.0 * model.marginX) / (model.cellsPerTrack - 1);
    const double pitchY = (lastY - 2.0 * model.marginY - model.trackBow) / (model.tracks - 1);
    const double centreSpacing = (model.lastCentre - model.firstCentre) / (count - 1);

    std::vector<PlacedCell> cells;
    cells.reserve(static_cast<std::size_t>(count));
    for (int track = 0; track < model.tracks; ++track) {
        for (int along = 0; along < model.cellsPerTrack; ++along) {
            const double x = model.marginX + along * pitchX;
            const double fromMiddle = (x - lastX / 2.0) / (lastX / 2.0);
            const double sag = model.trackBow * (1.0 - fromMiddle * fromMiddle);
            const double y = model.marginY + track * pitchY + sag;
            // Track t holds every tracks-th centre starting at the t-th.
            const double slot = along * model.tracks + track +
                                random.uniform(-model.centreJitter, model.centreJitter);
            PlacedCell cell;
            cell.x = jittered(x, model.placementJitter, random);
            cell.y = jittered(y, model.placementJitter, random);
            cell.centreWavelength = model.firstCentre + slot * centreSpacing;
            cells.push_back(cell);
        }
    }
    return cells;
}

}  // namespace kelo::sim
