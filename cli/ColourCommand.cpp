// kelo colour: the colour of a reflectance file under the application's
// colour engine: tristimulus values, sRGB, L*a*b*, and the nearest entry of
// the colour chart.
#include <cstdio>
#include <iostream>
#include <optional>

#include "ArgumentList.h"
#include "Commands.h"
#include "InputFiles.h"
#include "OutputLines.h"
#include "QuotedInput.h"
#include "spectra/ColourEngine.h"

namespace kelo::cli {

namespace {

const char* const kSynopsis =
    "usage: kelo colour FILE [--illuminant D65|D50] [--observer 1931|1964] [--match rgb|lab]";

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

    const std::string& path = arguments->positional().front();
    const std::optional<Reflectance> reflectance = readReflectanceFile(path, error);
    if (!reflectance) return usageError("colour", error);

    ColourEngine engine;
    engine.setSpectrometerGrid(reflectance->wavelengths);
    if (!engine.load())
        return commandFailure("colour", "the colour data in data/ could not be read");
    // As the application at start: illuminant, then observer.
    engine.setIlluminant(true);
    engine.setObserver(true);
    bool matchLab = false;
    if (!applyOptions(words, engine, matchLab, error)) return usageError("colour", error);

    const std::optional<ColourReading> colour = engine.colourOf(reflectance->values);
    if (!colour) return commandFailure("colour", kelo::echoed(path) + ": no colour can be computed");
    const ChartMatch match = engine.matchChart(*colour, matchLab ? 1 : 0);
    std::cout << freshLine;
    const char* separator = "";
    for (const ColourEngine::Triple* values : {&colour->xyz, &colour->rgb, &colour->lab}) {
        for (double value : *values) {
            char text[32];
            std::snprintf(text, sizeof text, "%.17g", value);
            std::cout << separator << text;
            separator = " ";
        }
    }
    std::cout << "\n" << match.name << "\n" << match.distance << "\n";
    return 0;
}

}  // namespace kelo::cli
