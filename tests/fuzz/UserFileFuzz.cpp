// The user file of a unit (gain, exposure time, save folder), then the unit
// set up and one spectrum solved.
#include "FuzzSupport.h"
#include "config/SystemConfig.h"
#include "config/UnitFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelo::fuzz;
    enterWorkingFolder();
    writeInput(kelo::unitFilePath(kUnitId, kelo::kUserFileSuffix), data, size);
    SystemConfig record;
    if (record.load(kUnitId, discard())) {
        requireFinite(record.getGain(), "the gain");
        requireFinite(record.getExposureTime(), "the exposure time");
    }
    solveOneFrame();
    return 0;
}
