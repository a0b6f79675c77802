// colourdata: writes the application's colour data files into a folder, from
// the CIE tables of colord-data and the X11 colour names. Run at build time;
// the source options exist for trying other copies of the sources.
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>

#include "ColourData.h"
#include "DataWriter.h"

namespace {

enum ExitStatus { kSuccess = 0, kFailure = 1, kUsage = 2 };

struct Arguments {
    kelo::colourdata::SourceFiles sources;
    std::filesystem::path outputFolder;
};

std::filesystem::path* sourceOption(const char* option, kelo::colourdata::SourceFiles& sources) {
    if (std::strcmp(option, "--cmf1931") == 0) return &sources.cmf1931;
    if (std::strcmp(option, "--cmf1964") == 0) return &sources.cmf1964;
    if (std::strcmp(option, "--d65") == 0) return &sources.d65;
    if (std::strcmp(option, "--daylight") == 0) return &sources.daylightBasis;
    if (std::strcmp(option, "--colour-names") == 0) return &sources.colourNames;
    return nullptr;
}

std::optional<Arguments> parseArguments(int argc, char** argv) {
    Arguments arguments;
    bool haveFolder = false;
    for (int i = 1; i < argc; ++i) {
        if (std::filesystem::path* source = sourceOption(argv[i], arguments.sources)) {
            if (++i == argc) return std::nullopt;
            *source = argv[i];
        } else if (argv[i][0] == '-' || haveFolder) {
            return std::nullopt;
        } else {
            arguments.outputFolder = argv[i];
            haveFolder = true;
        }
    }
    if (!haveFolder) return std::nullopt;
    return arguments;
}

void printUsage() {
    const kelo::colourdata::SourceFiles defaults;
    std::fprintf(stderr,
                 "usage: colourdata [--cmf1931 FILE] [--cmf1964 FILE] [--d65 FILE]\n"
                 "                  [--daylight FILE] [--colour-names FILE] OUTPUT_FOLDER\n"
                 "Writes cmf1931.dat, cmf1964.dat, D65.dat, D50.dat and pmsRgb.dat.\n"
                 "Sources by default: %s, %s, %s, %s, %s\n",
                 defaults.cmf1931.c_str(), defaults.cmf1964.c_str(), defaults.d65.c_str(),
                 defaults.daylightBasis.c_str(), defaults.colourNames.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Arguments> arguments = parseArguments(argc, argv);
    if (!arguments) {
        printUsage();
        return kUsage;
    }
    try {
        // Everything is computed before the first file is written: a bad
        // source leaves the folder as it was.
        const std::vector<kelo::colourdata::DataFile> files =
            kelo::colourdata::makeColourData(arguments->sources);
        kelo::colourdata::writeDataFiles(arguments->outputFolder, files);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "colourdata: %s\n", error.what());
        return kFailure;
    }
    return kSuccess;
}
