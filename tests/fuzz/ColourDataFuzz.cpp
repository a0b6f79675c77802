// One colour data file, picked by the first byte (the two observers, the two
// illuminants), read by the colour engine; when it loads, the colour of an
// even grey is computed and must be finite.
#include <vector>

#include "FuzzSupport.h"
#include "spectra/ColourEngine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelo::fuzz;
    if (size == 0) return 0;
    static const char* const kFiles[] = {"data/cmf1931.dat", "data/cmf1964.dat", "data/D65.dat",
                                         "data/D50.dat"};
    enterWorkingFolder();
    const char* file = kFiles[data[0] % 4];
    writeInput(file, data + 1, size - 1);

    ColourEngine engine;
    std::vector<double> wavelengths, grey;
    for (int nm = 360; nm <= 760; ++nm) {
        wavelengths.push_back(nm);
        grey.push_back(0.5);
    }
    engine.setSpectrometerGrid(wavelengths);
    if (engine.load()) {
        const auto xyz = engine.computeXYZ(grey);
        for (double value : xyz) requireFinite(value, "a tristimulus value");
        const auto rgb = engine.xyzToRgb(xyz[0], xyz[1], xyz[2]);
        const auto lab = engine.xyzToLab(xyz[0], xyz[1], xyz[2]);
        for (double value : rgb) requireFinite(value, "an sRGB value");
        for (double value : lab) requireFinite(value, "an L*a*b* value");
    }
    return 0;
}
