// The colour chart file, read by the colour engine, then matched against
// colours on and off the chart.
#include "FuzzSupport.h"
#include "spectra/ColourEngine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelo::fuzz;
    enterWorkingFolder();
    writeInput("data/pmsRgb.dat", data, size);
    ColourEngine engine;
    if (!engine.loadChart()) return 0;
    for (int grey : {0, 15, 128, 255}) engine.matchRgb(grey, 255 - grey, grey / 2);
    return 0;
}
