#include "sim/WhiteLid.h"

#include "config/WavelengthGrid.h"

namespace kelo::sim {

std::vector<double> whiteLidCurve(const UnitModel& model, const SystemConfigBlock& block) {
    const int first = block.rangeMinWavelength;
    const int last = block.rangeMaxWavelength;
    const std::uint32_t points = gridPointCount(first, last, block.wavelengthRes);
    const double middle = (first + last) / 2.0;
    const double halfSpan = (last - first) / 2.0;
    std::vector<double> curve(points);
    for (std::uint32_t j = 0; j < points; ++j) {
        // -1 at the blue end of the range, 1 at the red end.
        const double u = (first + static_cast<double>(j) * block.wavelengthRes - middle) / halfSpan;
        curve[j] = model.whiteLidLevel + model.whiteLidTilt * u + model.whiteLidBow * u * u;
    }
    return curve;
}

}  // namespace kelo::sim
