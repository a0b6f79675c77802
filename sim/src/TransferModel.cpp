#include "sim/TransferModel.h"

#include <algorithm>
#include <cmath>

#include "config/WavelengthGrid.h"
#include "sim/Shapes.h"

namespace kelo::sim {

namespace {

// Steps the ripple runs before the first grid point, so that the first
// point already varies as much as the others (0.5^32 of the start is left).
constexpr int kRippleWarmUp = 32;

// Sum of compactBump over its support, per unit of half width: passbands of
// any width then pass the same light from a flat spectrum.
constexpr double kBumpArea = 32.0 / 35.0;

// Relative transmission around 1 that varies from nm to nm with a short
// memory: each step keeps rippleCorrelation of the last value and adds
// uniform noise, scaled so the standard deviation is rippleDepth.
class Ripple {
public:
    Ripple(const UnitModel& model, SeededRandom& random)
        : model(model),
          random(random),
          scale(model.rippleDepth *
                std::sqrt(3.0 * (1.0 - model.rippleCorrelation * model.rippleCorrelation))) {
        for (int step = 0; step < kRippleWarmUp; ++step) next();
    }

    double next() {
        state = model.rippleCorrelation * state + random.uniform(-1.0, 1.0);
        return std::max(model.rippleFloor, 1.0 + scale * state);
    }

private:
    const UnitModel& model;
    SeededRandom& random;
    double scale;
    double state = 0.0;
};

double gridWavelength(const SystemConfigBlock& block, std::size_t point) {
    return block.minWavelength + static_cast<double>(point) * block.wavelengthRes;
}

bool inWorkingRange(const SystemConfigBlock& block, double wavelength) {
    return wavelength >= block.rangeMinWavelength && wavelength <= block.rangeMaxWavelength;
}

// Share of light at `wavelength` that the filter zone of a cell centred at
// `centre` lets through: all of it or none.
double zoneTransmission(const UnitModel& model, const SystemConfigBlock& block, double centre,
                        double wavelength) {
    if (!model.zonedFilters) return 1.0;
    return inWorkingRange(block, centre) == inWorkingRange(block, wavelength) ? 1.0 : 0.0;
}

}  // namespace

double siliconSensitivity(const UnitModel& model, double wavelength) {
    const double width =
        wavelength < model.sensitivityPeak ? model.sensitivityWidthBlue : model.sensitivityWidthRed;
    return broadBump((wavelength - model.sensitivityPeak) / width);
}

DenseMatrix transferMatrix(const UnitModel& model, const SystemConfigBlock& block,
                           const std::vector<PlacedCell>& cells, SeededRandom& random) {
    const std::size_t points =
        gridPointCount(block.minWavelength, block.maxWavelength, block.wavelengthRes);
    std::vector<double> sensitivity(points);
    for (std::size_t j = 0; j < points; ++j)
        sensitivity[j] = siliconSensitivity(model, gridWavelength(block, j));

    DenseMatrix transfer(cells.size(), points);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const double centre = cells[i].centreWavelength;
        const double halfWidth = random.uniform(model.minHalfWidth, model.maxHalfWidth);
        const double perPeak = model.responsivity / (kBumpArea * halfWidth);
        Ripple ripple(model, random);
        for (std::size_t j = 0; j < points; ++j) {
            const double wavelength = gridWavelength(block, j);
            const double passband = compactBump((wavelength - centre) / halfWidth) * ripple.next();
            const double halo =
                model.broadLevel * broadBump((wavelength - centre) / model.broadHalfWidth);
            transfer.at(i, j) = perPeak * sensitivity[j] *
                                zoneTransmission(model, block, centre, wavelength) *
                                (passband + halo + model.strayLevel);
        }
    }
    return transfer;
}

}  // namespace kelo::sim
