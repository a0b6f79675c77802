// The reflectance file of kelo colour, then its colour as the command
// computes it: tristimulus values, sRGB, L*a*b* and the nearest chart entry.
#include "FuzzSupport.h"
#include "InputFiles.h"
#include "spectra/ColourEngine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelo::fuzz;
    enterWorkingFolder();
    writeInput("reflectance.txt", data, size);
    std::string error;
    const auto reflectance = kelo::cli::readReflectanceFile("reflectance.txt", error);
    if (!reflectance) return 0;

    static ColourEngine engine = [] {
        ColourEngine loaded;
        loaded.load();
        loaded.loadChart();
        return loaded;
    }();
    engine.setSpectrometerGrid(reflectance->wavelengths);
    const auto xyz = engine.computeXYZ(reflectance->values);
    for (double value : xyz) requireFinite(value, "a tristimulus value");
    const auto rgb = engine.xyzToRgb(xyz[0], xyz[1], xyz[2]);
    const auto lab = engine.xyzToLab(xyz[0], xyz[1], xyz[2]);
    for (double value : rgb) requireFinite(value, "an sRGB value");
    for (double value : lab) requireFinite(value, "an L*a*b* value");
    engine.matchRgb(int(rgb[0]), int(rgb[1]), int(rgb[2]));
    engine.matchLab(lab[0], lab[1], lab[2]);
    return 0;
}
