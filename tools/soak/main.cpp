// kelo_soak: the fault soak of the instrument on the simulated camera. It
// runs the instrument in a process of its own, started from this program
// with the instrument's options, and watches it (Soak.h); that process runs
// the soak's cycles (Instrument.h).
#include <QCoreApplication>
#include <iostream>

#include "EventChannel.h"
#include "Instrument.h"
#include "Soak.h"
#include "SoakOptions.h"

namespace {

constexpr int kUsageStatus = 2;

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string error;
    const std::optional<kelo::soak::SoakOptions> options =
        kelo::soak::parseOptions(arguments, error);
    if (!options) {
        std::cerr << error << "\n";
        return kUsageStatus;
    }
    if (options->instrumentFd < 0) return kelo::soak::runSoak(*options);

    QCoreApplication application(argc, argv);
    kelo::soak::EventChannel events(options->instrumentFd);
    return kelo::soak::runInstrument(*options, events);
}
