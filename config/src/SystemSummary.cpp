// What the record tells an operator: the summary printed at start-up and
// the reasons a record cannot describe a working unit.
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

std::string SystemConfig::unusableReason() const {
    std::ostringstream reason;
    reason.imbue(std::locale::classic());
    const auto& b = block;
    if (b.wavelengthRes == 0)
        reason << "wavelengthRes is 0: the wavelength grid needs a positive step";
    else if (b.maxWavelength < b.minWavelength)
        reason << "maxWavelength " << b.maxWavelength << " lies below minWavelength "
               << b.minWavelength;
    else if (b.rangeMaxWavelength < b.rangeMinWavelength)
        reason << "rangeMaxWavelength " << b.rangeMaxWavelength << " lies below rangeMinWavelength "
               << b.rangeMinWavelength;
    else if (b.numCells <= 0)
        reason << "numCells is " << b.numCells << ": the unit needs at least one sampling cell";
    else if (!(b.swFwhm > 0.0))
        reason << "swFwhm is " << b.swFwhm << ": the software line width must be positive";
    else if (b.dataSizeX <= 0 || b.dataSizeY <= 0)
        reason << "the image size " << b.dataSizeX << " x " << b.dataSizeY << " has no pixels";
    else if (b.neighbourPixelsX < 0 || b.neighbourPixelsY < 0)
        reason << "the cell window half-sizes " << b.neighbourPixelsX << " x " << b.neighbourPixelsY
               << " are negative";
    else if (b.gaussBlurMode == 1 && (b.dataSizeX < 101 || b.dataSizeY < 101))
        reason << "the Gaussian-blur normalisation needs an image of at least 101 x 101 pixels, "
                  "not "
               << b.dataSizeX << " x " << b.dataSizeY;
    return reason.str();
}
