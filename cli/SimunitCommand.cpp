// kelo simunit: writes a synthetic unit, so that the application and the
// tests have a complete unit to work with when no instrument is at hand.
#include <iostream>
#include <limits>

#include "ArgumentList.h"
#include "Commands.h"
#include "UnitIds.h"
#include "sim/SyntheticUnit.h"
#include "sim/UnitRecord.h"

namespace kelo::cli {

int runSimunit(const Words& words) {
    std::string error;
    const auto arguments =
        ArgumentList::parse(words, {"--root", "--full-id", "--seed"},
                            {"--fluorescence", "--gauss-blur", "--old-layout"}, error);
    if (!arguments) return usageError("simunit", error);
    if (arguments->positional().size() != 1)
        return usageError("simunit", "needs exactly one device id");
    const auto seed = arguments->wholeNumber("--seed", sim::kDefaultSeed,
                                             {0, std::numeric_limits<std::uint64_t>::max()}, error);
    if (!seed) return usageError("simunit", error);

    sim::SyntheticUnitOptions options;
    options.id = arguments->positional().front();
    options.fullId = arguments->value("--full-id").value_or("");
    options.root = arguments->value("--root").value_or(".");
    options.fluorescence = arguments->hasFlag("--fluorescence");
    options.gaussBlur = arguments->hasFlag("--gauss-blur");
    options.oldLayout = arguments->hasFlag("--old-layout");
    options.seed = *seed;
    std::string problem = idLengthProblem("device id", options.id, kLongestDeviceId);
    if (problem.empty())
        problem = idLengthProblem("full device id", options.fullId, kLongestFullDeviceId);
    if (problem.empty()) problem = sim::identifierProblem(options);
    if (!problem.empty()) return usageError("simunit", problem);

    if (std::string failure = sim::writeSyntheticUnit(options, std::cout); !failure.empty())
        return commandFailure("simunit", failure);
    return 0;
}

}  // namespace kelo::cli
