// What the record tells an operator: the summary printed at start-up.
#include <locale>
#include <sstream>

#include "config/SystemConfig.h"

namespace {

const char* deviceTypeLabel(std::int16_t type) {
    switch (type) {
        case 1:
            return "Passive\n";
        case 2:
            return "Active\n";
        default:
            return "Unknown\n";
    }
}

const char* dataResolutionLabel(std::int16_t resolution) {
    switch (resolution) {
        case 1:
            return "12 bit\n";
        case 2:
            return "8 bit\n";
        default:
            return "Unknown\n";
    }
}

}  // namespace

void SystemConfig::printSummary(std::ostream& out) const {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << "Config Version: " << getConfigVersion() << "\n"
         << "Device ID: " << getDeviceId() << "\n"
         << "Full Device ID: " << getFullDeviceId() << "\n"
         << "Hardware OffsetX = " << block.hwOffsetX << " OffsetY = " << block.hwOffsetY << "\n"
         << "Gain = " << hwGain << "\n"
         << "Exposure time (micro seconds) = " << hwExposureTime << "\n"
         << "Device Type = " << deviceTypeLabel(block.deviceType)
         << "Device Data Resolution = " << dataResolutionLabel(block.dataResolution)
         << "Min wavelength = " << block.minWavelength
         << " Max wavelength = " << block.maxWavelength
         << " Wavelength Res = " << block.wavelengthRes << "\n"
         << "Software OffsetX = " << block.swOffsetX << " OffsetY = " << block.swOffsetY << "\n"
         << "Datasize X(width) = " << block.dataSizeX << " Y(height) = " << block.dataSizeY << "\n"
         << "Number of cells = " << block.numCells << "\n"
         << "Number neighbour Pixels X = " << block.neighbourPixelsX
         << " Y = " << block.neighbourPixelsY << "\n"
         << "Number of Pixels per Cell = " << block.pixelsPerCell << "\n"
         << "SW FWHM = " << block.swFwhm << "\n";
    out << text.str();
}
