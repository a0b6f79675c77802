// Where a unit's files lie, relative to the working folder: every file of a
// unit is "cal/" + id + "/" + id + suffix.
#pragma once

#include <string>

namespace kelo {

constexpr const char* kSystemFileSuffix = "-cfgSys.bin";
constexpr const char* kUserFileSuffix = "-cfgUsr.txt";
constexpr const char* kBadPixelFileSuffix = "-BP.bin";
constexpr const char* kCellCentreFileSuffix = "-CC.bin";
constexpr const char* kNormalMatrixFileSuffix = "-TrT.bin";
constexpr const char* kTransferMatrixFileSuffix = "-TMat.bin";
constexpr const char* kBlurNormalMatrixFileSuffix = "-TrTGB.bin";
constexpr const char* kBlurTransferMatrixFileSuffix = "-TMatGB.bin";
constexpr const char* kWhiteLidFileSuffix = "-stdBrightCorrection.dat";

inline std::string unitFolder(const std::string& id) {
    return "cal/" + id;
}

inline std::string unitFilePath(const std::string& id, const char* suffix) {
    return unitFolder(id) + "/" + id + suffix;
}

}  // namespace kelo
