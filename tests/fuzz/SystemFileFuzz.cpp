// The system file of a unit, read as the programs read it, then the whole
// unit set up and one spectrum solved.
#include "FuzzSupport.h"
#include "config/UnitFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelo::fuzz;
    enterWorkingFolder();
    writeInput(kelo::unitFilePath(kUnitId, kelo::kSystemFileSuffix), data, size);
    solveOneFrame();
    return 0;
}
