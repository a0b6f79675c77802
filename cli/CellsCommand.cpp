// kelo cells ID FRAME --out FILE: the cell values of one raw frame, as the
// application computes them.
#include <iostream>
#include <vector>

#include "ArgumentList.h"
#include "Commands.h"
#include "InputFiles.h"
#include "QuotedInput.h"
#include "UnitIds.h"
#include "UnitProcessor.h"

namespace kelo::cli {

int runCells(const Words& words) {
    std::string error;
    const auto arguments = ArgumentList::parse(words, {"--out"}, {}, error);
    if (!arguments) return usageError("cells", error);
    const auto out = arguments->value("--out");
    if (arguments->positional().size() != 2 || !out)
        return usageError("cells", "usage: kelo cells ID FRAME --out FILE");
    const std::string& id = arguments->positional()[0];
    const std::string& framePath = arguments->positional()[1];

    if (std::string problem = idLengthProblem("unit id", id, kLongestDeviceId); !problem.empty())
        return usageError("cells", problem);

    auto processor = openUnitProcessor(id, error);
    if (!processor) return commandFailure("cells", error);
    std::uint32_t width, height;
    processor->getDataSize(width, height);
    std::optional<Frame> frame = readFrameFile(framePath, width, height, error);
    if (!frame) return commandFailure("cells", error);
    std::vector<double> cells;
    if (!processor->computeCellValues(std::move(*frame), cells))
        return commandFailure("cells", kelo::echoed(framePath) + ": the frame was refused");
    std::cout.flush();

    std::string text;
    for (double value : cells) text += exactNumber(value) + "\n";
    if (std::string failure = writeOutputFile(*out, text); !failure.empty())
        return commandFailure("cells", failure);
    return 0;
}

}  // namespace kelo::cli
