#include "CameraLimits.h"

#include <vector>

#include "device/DeviceRegistry.h"
#include "device/KelDevice.h"

namespace kelo::cli {

namespace {

// The device reports 0, 0 for limits it cannot read.
std::optional<NumberRange> reportedRange(double low, double high, double unitsPerValue) {
    if (!(low < high)) return std::nullopt;
    return NumberRange{low / unitsPerValue, high / unitsPerValue};
}

std::string refusal(const std::string& option, const std::optional<NumberRange>& range,
                    std::optional<double> value) {
    if (!value) return {};
    if (!range) return "option " + option + " cannot be checked: the camera reports no limits";
    return range->refusal(option, *value);
}

}  // namespace

CameraLimits limitsOf(Brevanta::KelDevice& device) {
    double low = 0.0;
    double high = 0.0;
    CameraLimits limits;
    device.getExposureTimeRange(low, high);
    limits.exposureMs = reportedRange(low, high, 1000.0);  // the camera counts in µs
    device.getGainRange(low, high);
    limits.gain = reportedRange(low, high, 1.0);
    return limits;
}

CameraLimits firstCameraLimits() {
    // A second device object on the camera the controller opened: it reads
    // the limits and is never opened or closed itself.
    DeviceRegistry& registry = DeviceRegistry::instance();
    std::vector<std::string> serials;
    registry.getDeviceList(serials);
    Brevanta::KelDevice* device = serials.empty() ? nullptr : registry.createDevice(serials[0]);
    return device == nullptr ? CameraLimits{} : limitsOf(*device);
}

std::string settingsRefusal(const CameraLimits& limits, std::optional<double> exposureMs,
                            std::optional<double> gain) {
    std::string refused = refusal("--exposure-ms", limits.exposureMs, exposureMs);
    if (refused.empty()) refused = refusal("--gain", limits.gain, gain);
    return refused;
}

}  // namespace kelo::cli
