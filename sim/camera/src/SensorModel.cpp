#include "simcam/SensorModel.h"

#include <algorithm>
#include <cmath>

namespace kelo::simcam {

const SensorModel& sensorModel() {
    static const SensorModel model;
    return model;
}

double linearGain(double gainDb) {
    return std::pow(10.0, gainDb / 20.0);
}

double readOutPeriodUs(int width, int height, int binningVertical, int bytesPerPixel) {
    const SensorModel& model = sensorModel();
    const double sensorUs = model.rowTimeUs * height * binningVertical;
    const double linkUs =
        static_cast<double>(width) * height * bytesPerPixel / model.linkBytesPerUs;
    return std::max(sensorUs, linkUs) + model.readOutOverheadUs;
}

double framePeriodUs(double exposureUs, double readOutUs) {
    return std::max(exposureUs, readOutUs);
}

}  // namespace kelo::simcam
