// kelo colour: the colour of a reflectance file under the application's
// colour engine: tristimulus values, sRGB, L*a*b*, and the nearest entry of
// the colour chart.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>

#include "ArgumentList.h"
#include "Commands.h"
#include "spectra/ColourEngine.h"

namespace kelo::cli {

namespace {

const char* const kSynopsis =
    "usage: kelo colour FILE [--illuminant D65|D50] [--observer 1931|1964] [--match rgb|lab]";

struct Reflectance {
    std::vector<double> wavelengths;
    std::vector<double> values;
};

// Lines "wavelength value", 1 nm apart; empty with `error` naming the file
// and line otherwise.
std::optional<Reflectance> readReflectance(const std::string& path, std::string& error) {
    std::ifstream file(path);
    if (!file) {
        error = "cannot open " + path;
        return std::nullopt;
    }
    Reflectance reflectance;
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        std::istringstream fields(line);
        double wavelength = 0.0;
        double value = 0.0;
        std::string rest;
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        if (!(fields >> wavelength >> value) || (fields >> rest)) {
            error = path + ", line " + std::to_string(number) + ": not \"wavelength value\"";
            return std::nullopt;
        }
        if (!reflectance.wavelengths.empty() && wavelength != reflectance.wavelengths.back() + 1) {
            error = path + ", line " + std::to_string(number) +
                    ": the wavelengths must follow each other by 1 nm";
            return std::nullopt;
        }
        reflectance.wavelengths.push_back(wavelength);
        reflectance.values.push_back(value);
    }
    if (reflectance.values.empty()) {
        error = path + ": no reflectance values";
        return std::nullopt;
    }
    return reflectance;
}

// Applies --illuminant, --observer and --match in the order given; false
// with `error` for a value it does not know.
bool applyOptions(const Words& words, ColourEngine& engine, bool& matchLab, std::string& error) {
    for (std::size_t i = 0; i + 1 < words.size(); ++i) {
        const std::string& option = words[i];
        const std::string& value = words[i + 1];
        if (option == "--illuminant") {
            if (value != "D65" && value != "D50") error = "--illuminant takes D65 or D50";
            engine.setIlluminant(value == "D65");
        } else if (option == "--observer") {
            if (value != "1931" && value != "1964") error = "--observer takes 1931 or 1964";
            engine.setObserver(value == "1931");
        } else if (option == "--match") {
            if (value != "rgb" && value != "lab") error = "--match takes rgb or lab";
            matchLab = value == "lab";
        } else {
            continue;
        }
        if (!error.empty()) return false;
        ++i;
    }
    return true;
}

}  // namespace

int runColour(const Words& words) {
    std::string error;
    auto arguments =
        ArgumentList::parse(words, {"--illuminant", "--observer", "--match"}, {}, error);
    if (!arguments) return usageError("colour", error);
    if (arguments->positional().size() != 1) return usageError("colour", kSynopsis);

    const std::optional<Reflectance> reflectance =
        readReflectance(arguments->positional().front(), error);
    if (!reflectance) return usageError("colour", error);

    ColourEngine engine;
    engine.setSpectrometerGrid(reflectance->wavelengths);
    if (!engine.load()) {
        std::cerr << "kelo colour: the colour data in data/ could not be read\n";
        return 1;
    }
    // As the application at start: illuminant, then observer.
    engine.setIlluminant(true);
    engine.setObserver(true);
    bool matchLab = false;
    if (!applyOptions(words, engine, matchLab, error)) return usageError("colour", error);

    const ColourEngine::Triple xyz = engine.computeXYZ(reflectance->values);
    const ColourEngine::Triple rgb = engine.xyzToRgb(xyz[0], xyz[1], xyz[2]);
    const ColourEngine::Triple lab = engine.xyzToLab(xyz[0], xyz[1], xyz[2]);
    const ChartMatch match =
        matchLab ? engine.matchLab(lab[0], lab[1], lab[2])
                 : engine.matchRgb(static_cast<int>(rgb[0]), static_cast<int>(rgb[1]),
                                   static_cast<int>(rgb[2]));
    const double values[] = {xyz[0], xyz[1], xyz[2], rgb[0], rgb[1],
                             rgb[2], lab[0], lab[1], lab[2]};
    for (std::size_t i = 0; i < std::size(values); ++i)
        std::printf(i == 0 ? "%.17g" : " %.17g", values[i]);
    std::printf("\n%s\n%d\n", match.name.c_str(), match.distance);
    return 0;
}

}  // namespace kelo::cli
