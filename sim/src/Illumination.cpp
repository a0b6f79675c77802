#include "sim/Illumination.h"

#include <cmath>

#include "sim/Shapes.h"

namespace kelo::sim {

double illuminationFactor(const UnitModel& model, double x, double y) {
    const double dx = (x - model.illuminationCentreX) / model.illuminationRadius;
    const double dy = (y - model.illuminationCentreY) / model.illuminationRadius;
    return broadBump(std::sqrt(dx * dx + dy * dy));
}

DenseMatrix blurredFrameTransfer(const UnitModel& model, const DenseMatrix& transfer,
                                 const std::vector<PlacedCell>& cells) {
    DenseMatrix blurred = transfer;
    for (std::size_t i = 0; i < blurred.rows; ++i) {
        const double factor = illuminationFactor(model, cells[i].x, cells[i].y);
        for (std::size_t j = 0; j < blurred.cols; ++j) blurred.at(i, j) /= factor;
    }
    return blurred;
}

}  // namespace kelo::sim
