// kelo solve ID CELLS --out FILE [--full] [--dark CELLS] [--repeat N]: the
// spectrum of a cell vector, as the application solves it, with the fit
// diagnostics and, on request, the time one solve takes.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <vector>

#include "ArgumentList.h"
#include "Commands.h"
#include "InputFiles.h"
#include "OutputLines.h"
#include "QuotedInput.h"
#include "UnitIds.h"
#include "UnitProcessor.h"

namespace kelo::cli {

namespace {

// Enough runs for a steady median; more only make the operator wait.
constexpr WholeNumberRange kRepeatRange{1, 10000};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void printDiagnostics(std::uint8_t saturated, const engine::FitDiagnostics& fit) {
    std::cerr << freshLine << "saturated: " << int(saturated) << "\n";
    if (!fit.fitted) {
        std::cerr << "fit: none (the cell values sum to nothing)\n";
        return;
    }
    std::cerr << "outer-iterations: " << fit.outerIterations << "\n"
              << "passes: " << fit.passes << "\n"
              << "passive: " << fit.passiveCount << "\n"
              << "cap-reached: " << (fit.capReached ? 1 : 0) << "\n"
              << "relative-residual: " << exactNumber(fit.relativeResidual) << "\n";
    for (const engine::SaturatedCell& cell : fit.saturatedCells)
        std::cerr << "saturated-cell: " << cell.cell << " value " << exactNumber(cell.value)
                  << " peak-nm " << exactNumber(cell.peakWavelength) << "\n";
}

}  // namespace

int runSolve(const Words& words) {
    std::string error;
    const auto arguments =
        ArgumentList::parse(words, {"--out", "--dark", "--repeat"}, {"--full"}, error);
    if (!arguments) return usageError("solve", error);
    const auto out = arguments->value("--out");
    if (arguments->positional().size() != 2 || !out)
        return usageError("solve",
                          "usage: kelo solve ID CELLS --out FILE [--full] [--dark CELLS] "
                          "[--repeat N]");
    const auto repeat = arguments->wholeNumber("--repeat", 1, kRepeatRange, error);
    if (!repeat) return usageError("solve", error);
    const std::string& id = arguments->positional()[0];
    const std::string& cellsPath = arguments->positional()[1];

    if (std::string problem = idLengthProblem("unit id", id, kLongestDeviceId); !problem.empty())
        return usageError("solve", problem);

    auto processor = openUnitProcessor(id, error);
    if (!processor) return commandFailure("solve", error);
    std::optional<std::vector<double>> cells =
        readCellFile(cellsPath, processor->getNumCells(), error);
    if (!cells) return commandFailure("solve", error);
    if (const auto darkPath = arguments->value("--dark")) {
        std::optional<std::vector<double>> dark =
            readCellFile(*darkPath, processor->getNumCells(), error);
        if (!dark) return commandFailure("solve", error);
        if (!processor->setDarkCells(std::move(*dark)))
            return commandFailure(
                "solve", kelo::echoed(*darkPath) + ": the dark was refused (values must be finite)");
        processor->setDarkSubtraction(true);
    }
    processor->setRestrictedRange(!arguments->hasFlag("--full"));

    std::vector<double> spectrum;
    std::uint8_t saturated = 0;
    std::vector<double> milliseconds;
    for (unsigned long long run = 0; run < *repeat; ++run) {
        const auto start = std::chrono::steady_clock::now();
        if (!processor->solveSpectrum(*cells, spectrum, saturated))
            return commandFailure(
                "solve",
                kelo::echoed(cellsPath) + ": no spectrum could be computed from these cell values");
        const std::chrono::duration<double, std::milli> elapsed =
            std::chrono::steady_clock::now() - start;
        milliseconds.push_back(elapsed.count());
    }
    std::cout.flush();

    const std::vector<double> wavelengths = processor->getWavelengths();
    std::string text;
    for (std::size_t i = 0; i < spectrum.size(); ++i)
        text += exactNumber(wavelengths[i]) + "\t" + exactNumber(spectrum[i]) + "\n";
    if (std::string failure = writeOutputFile(*out, text); !failure.empty())
        return commandFailure("solve", failure);

    printDiagnostics(saturated, processor->fitDiagnostics());
    if (arguments->value("--repeat")) {
        char figure[32];
        std::snprintf(figure, sizeof figure, "%.3f", median(milliseconds));
        std::cerr << "solve-ms: " << figure << "\n";
    }
    return 0;
}

}  // namespace kelo::cli
