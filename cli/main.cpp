// kelo: the command-line companion of KeloView, working on the same libraries
// and in the same working folder (cal/, data/) as the application.
#include <QCoreApplication>
#include <cstring>
#include <iostream>

#include "Commands.h"
#include "OutputLines.h"
#include "QuotedInput.h"

namespace {

struct CommandEntry {
    const char* name;
    const char* synopsis;
    int (*run)(const kelo::cli::Words&);
};

const CommandEntry kCommands[] = {
    {"info", "info ID                  summary of the unit's system configuration",
     kelo::cli::runInfo},
    {"simunit",
     "simunit ID [--root DIR] [--full-id F] [--fluorescence] [--gauss-blur] [--old-layout] "
     "[--seed N]\n"
     "                           write a synthetic unit under DIR/cal/",
     kelo::cli::runSimunit},
    {"cells", "cells ID FRAME --out FILE  cell values of a raw 16-bit frame, one per line",
     kelo::cli::runCells},
    {"solve",
     "solve ID CELLS --out FILE [--full] [--dark CELLS] [--repeat N]\n"
     "                           spectrum of a cell vector: wavelength, tab, value per line",
     kelo::cli::runSolve},
    {"devices", "devices                  attached cameras: serial number, unit id, backend (tabs)",
     kelo::cli::runDevices},
    {"grab",
     "grab [--exposure-ms X] [--gain G] [--pixel-format 8|12] [--flash off|on|exposure]\n"
     "                           --out FILE\n"
     "                           one frame of the first camera, little-endian 16-bit pixels",
     kelo::cli::runGrab},
    {"live",
     "live [--seconds S] [--averages N] [--exposure-ms X]\n"
     "                           the live loop on the first camera: spectra, spectra per\n"
     "                           second, last frame rate, camera frame rate",
     kelo::cli::runLive},
    {"snap",
     "snap [--averages N] [--exposure-ms X] [--gain G] [--dark] [--full] [--csv] --out BASE\n"
     "                           one spectrum of the first camera, saved as the application\n"
     "                           saves it (BASE.txt, or BASE.csv)",
     kelo::cli::runSnap},
    {"colour",
     "colour FILE [--illuminant D65|D50] [--observer 1931|1964] [--match rgb|lab]\n"
     "                           colour of a reflectance (lines \"wavelength value\", 1 nm\n"
     "                           apart): X Y Z R G B L a b, chart name, distance",
     kelo::cli::runColour},
    {"series",
     "series --interval S --samples N --start WL --end WL --metric area|peak|ratio\n"
     "                           --out NAME\n"
     "                           time series of the first camera, saved to NAME.txt",
     kelo::cli::runSeries},
};

int printUsage(std::ostream& out, int status) {
    out << "usage: kelo COMMAND [ARGS]\n\ncommands:\n";
    for (const CommandEntry& command : kCommands) out << "  " << command.synopsis << "\n";
    return status;
}

}  // namespace

namespace kelo::cli {

int usageError(const std::string& command, const std::string& message) {
    commandFailure(command, message);
    return 2;
}

int commandFailure(const std::string& command, const std::string& message) {
    std::cerr << freshLine << "kelo " << command << ": " << message << "\n";
    return 1;
}

}  // namespace kelo::cli

int main(int argc, char** argv) {
    // The application object lets the loader start the updater program.
    kelo::cli::trackOutputLines();
    QCoreApplication application(argc, argv);
    if (argc < 2) return printUsage(std::cerr, 2);
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "help") == 0)
        return printUsage(std::cout, 0);

    kelo::cli::Words words(argv + 2, argv + argc);
    for (const CommandEntry& command : kCommands)
        if (std::strcmp(argv[1], command.name) == 0) return command.run(words);

    std::cerr << kelo::cli::freshLine << "kelo: unknown command " << kelo::cli::quotedInput(argv[1])
              << "\n";
    return printUsage(std::cerr, 2);
}
