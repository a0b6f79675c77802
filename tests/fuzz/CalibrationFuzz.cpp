// One file of a unit's calibration set, picked by the first byte (bad
// pixels, cell centres, normal matrix, transfer matrix), then the unit set up
// and one spectrum solved.
#include "FuzzSupport.h"
#include "config/UnitFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelo::fuzz;
    if (size == 0) return 0;
    static const char* const kSuffixes[] = {kelo::kBadPixelFileSuffix, kelo::kCellCentreFileSuffix,
                                            kelo::kNormalMatrixFileSuffix,
                                            kelo::kTransferMatrixFileSuffix};
    enterWorkingFolder();
    writeInput(kelo::unitFilePath(kUnitId, kSuffixes[data[0] % 4]), data + 1, size - 1);
    solveOneFrame();
    return 0;
}
