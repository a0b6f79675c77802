// kelo info ID: what the application reads of a unit's configuration at
// start-up, with the same messages.
#include <iostream>

#include "ArgumentList.h"
#include "Commands.h"
#include "UnitIds.h"
#include "config/SystemConfig.h"

namespace kelo::cli {

int runInfo(const Words& words) {
    std::string error;
    auto arguments = ArgumentList::parse(words, {}, {}, error);
    if (!arguments) return usageError("info", error);
    if (arguments->positional().size() != 1) return usageError("info", "usage: kelo info ID");
    const std::string& id = arguments->positional().front();
    if (std::string problem = idLengthProblem("unit id", id, kLongestDeviceId); !problem.empty())
        return usageError("info", problem);

    // A refused file fails the load, whose last line says why.
    SystemConfig config;
    if (!config.load(id)) {
        std::cout << "something went wrong with reading cfg" << std::endl;
        return 1;
    }
    config.printSummary();
    std::cout.flush();
    return 0;
}

}  // namespace kelo::cli
