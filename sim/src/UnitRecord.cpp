#include "sim/UnitRecord.h"

#include <algorithm>
#include <cstring>

namespace kelo::sim {

namespace {

// The most characters an id field holds with its terminating NUL.
constexpr std::size_t kMaxIdLength = kDeviceIdSize - 1;
constexpr std::size_t kMaxFullIdLength = kFullDeviceIdSize - 1;
constexpr std::size_t kMaxOldLayoutIdLength = kOldBlockLayout.deviceId.width - 1;

// Width (FWHM, nm) of the Gaussian that smooths the unit's reconstructed spectra.
constexpr double kSwFwhm = 3.0;

std::string idTextProblem(const char* what, const std::string& id, std::size_t maxLength) {
    if (id.empty()) return std::string(what) + " is empty";
    if (id.size() > maxLength)
        return std::string(what) + " \"" + id + "\" is longer than " + std::to_string(maxLength) +
               " characters";
    if (id.find_first_of("/\\") != std::string::npos)
        return std::string(what) + " \"" + id + "\" contains a path separator";
    if (id == "." || id == "..") return std::string(what) + " \"" + id + "\" names no folder";
    return {};
}

template <std::size_t N>
void copyText(const std::string& text, char (&field)[N]) {
    std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

}  // namespace

std::string effectiveFullId(const SyntheticUnitOptions& options) {
    return options.fullId.empty() ? options.id : options.fullId;
}

std::string identifierProblem(const SyntheticUnitOptions& options) {
    if (options.oldLayout && options.id.size() > kMaxOldLayoutIdLength)
        return "device id \"" + options.id + "\" is longer than " +
               std::to_string(kMaxOldLayoutIdLength) +
               " characters, the most the old layout's short-id field holds";
    std::string problem = idTextProblem("device id", options.id, kMaxIdLength);
    if (problem.empty())
        problem = idTextProblem("full device id", effectiveFullId(options), kMaxFullIdLength);
    return problem;
}

SystemConfigBlock unitRecord(const SyntheticUnitOptions& options) {
    SystemConfigBlock block;
    block.numCells = options.model.tracks * options.model.cellsPerTrack;
    block.swFwhm = kSwFwhm;
    // Column j of the transfer matrix answers to light at exactly
    // minWavelength + j nm, so the full grid needs no shift to line up with
    // the restricted one.
    block.wavelengthShift = 0;
    block.visNirMode = options.fluorescence ? 0 : 1;
    block.gaussBlurMode = options.gaussBlur ? 1 : 0;
    copyText(options.id, block.deviceId);
    copyText(effectiveFullId(options), block.fullDeviceId);
    return block;
}

}  // namespace kelo::sim
