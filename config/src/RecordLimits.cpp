#include "RecordLimits.h"

#include <locale>
#include <sstream>

#include "UnitFileReading.h"
#include "config/SystemConfig.h"
#include "config/UnitLimits.h"

namespace kelo {

namespace {

// A text stream for numbers as the files have them, whatever the locale.
struct ReasonText : std::ostringstream {
    ReasonText() { imbue(std::locale::classic()); }
};

// Each check below writes "<field> is <value>..." and returns true when the
// field is refused.

template <class Number>
bool outside(ReasonText& reason, const char* field, Number value, Number lowest, Number highest,
             const char* unit) {
    if (value >= lowest && value <= highest) return false;  // NaN is never inside
    reason << field << " is " << value << unit << ", outside " << lowest << ".." << highest << unit;
    return true;
}

bool countOutside(ReasonText& reason, const char* field, std::int64_t value, std::int64_t lowest,
                  std::int64_t highest, const char* unit = "") {
    return outside(reason, field, value, lowest, highest, unit);
}

bool wavelengthOutside(ReasonText& reason, const char* field, std::int64_t nm) {
    return countOutside(reason, field, nm, limits::kShortestWavelength, limits::kLongestWavelength,
                        " nm");
}

bool endsBeforeStart(ReasonText& reason, const char* lastField, std::int64_t last,
                     const char* firstField, std::int64_t first) {
    if (last >= first) return false;
    reason << lastField << " is " << last << " nm, below " << firstField << " " << first << " nm";
    return true;
}

bool imageTooSmallForBlur(ReasonText& reason, const SystemConfigBlock& b) {
    if (b.gaussBlurMode != 1 || (b.dataSizeX >= 101 && b.dataSizeY >= 101)) return false;
    reason << "the Gaussian-blur normalisation needs an image of at least 101 x 101 pixels, not "
           << b.dataSizeX << " x " << b.dataSizeY;
    return true;
}

// The full identifier names the unit's calibration folder under "cal/".
bool notAFolderName(ReasonText& reason, const SystemConfigBlock& b) {
    const std::string id(b.fullDeviceId, identifierLength(b.fullDeviceId));
    if (id.find_first_of("/\\") == std::string::npos && id != "." && id != "..") return false;
    reason << "fullDeviceId is \"" << echoed(id) << "\", not a folder name";
    return true;
}

}  // namespace

std::string systemFieldProblem(const SystemConfigBlock& b) {
    ReasonText reason;
    const bool refused =
        countOutside(reason, "wavelengthRes", b.wavelengthRes, 1, 65535, " nm") ||
        wavelengthOutside(reason, "minWavelength", b.minWavelength) ||
        wavelengthOutside(reason, "maxWavelength", b.maxWavelength) ||
        endsBeforeStart(reason, "maxWavelength", b.maxWavelength, "minWavelength",
                        b.minWavelength) ||
        wavelengthOutside(reason, "rangeMinWavelength", b.rangeMinWavelength) ||
        wavelengthOutside(reason, "rangeMaxWavelength", b.rangeMaxWavelength) ||
        endsBeforeStart(reason, "rangeMaxWavelength", b.rangeMaxWavelength, "rangeMinWavelength",
                        b.rangeMinWavelength) ||
        countOutside(reason, "wavelengthShift", b.wavelengthShift, -limits::kLargestWavelengthShift,
                     limits::kLargestWavelengthShift, " nm") ||
        countOutside(reason, "numCells", b.numCells, 1, limits::kMostCells) ||
        outside(reason, "swFwhm", b.swFwhm, limits::kNarrowestLineWidth, limits::kWidestLineWidth,
                " nm") ||
        countOutside(reason, "dataSizeX", b.dataSizeX, 1, limits::kLargestImageSide, " pixels") ||
        countOutside(reason, "dataSizeY", b.dataSizeY, 1, limits::kLargestImageSide, " pixels") ||
        countOutside(reason, "neighbourPixelsX", b.neighbourPixelsX, 0, limits::kLargestWindowReach,
                     " pixels") ||
        countOutside(reason, "neighbourPixelsY", b.neighbourPixelsY, 0, limits::kLargestWindowReach,
                     " pixels") ||
        imageTooSmallForBlur(reason, b) || notAFolderName(reason, b);
    return refused ? reason.str() : std::string();
}

std::string userFieldProblem(double hwGain, double hwExposureTime) {
    ReasonText reason;
    if (outside(reason, "hwGain", hwGain, -limits::kLargestGain, limits::kLargestGain, ""))
        return reason.str();
    if (!(hwExposureTime > 0.0 && hwExposureTime <= limits::kLongestExposureTime))
        reason << "hwExposureTime is " << hwExposureTime
               << " microseconds, not above 0 and at most " << limits::kLongestExposureTime;
    return reason.str();
}

}  // namespace kelo

std::string SystemConfig::unusableReason() const {
    const std::string reason = kelo::systemFieldProblem(block);
    return reason.empty() ? kelo::userFieldProblem(hwGain, hwExposureTime) : reason;
}
