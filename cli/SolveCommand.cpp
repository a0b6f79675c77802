// kelo solve ID CELLS --out FILE [--full] [--dark CELLS] [--repeat N]: the
// spectrum of a cell vector, as the application solves it, with the fit
// diagnostics and, on request, the time one solve takes.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <vector>

#include "ArgumentList.h"
#include "Commands.h"
#include "UnitProcessor.h"

namespace kelo::cli {

namespace {

std::string trimmed(const std::string& line) {
    const char* blanks = " \t\r";
    const std::size_t first = line.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return line.substr(first, line.find_last_not_of(blanks) - first + 1);
}

// One number per line (blank lines are skipped), exactly `count` of them;
// `error` names the file and the line otherwise.
bool readCellFile(const std::string& path, std::size_t count, std::vector<double>& cells,
                  std::string& error) {
    std::ifstream file(path);
    if (!file) {
        error = path + ": cannot be opened";
        return false;
    }
    cells.clear();
    std::string line;
    for (std::size_t lineNumber = 1; std::getline(file, line); ++lineNumber) {
        const std::string text = trimmed(line);
        if (text.empty()) continue;
        double value = 0.0;
        const char* end = text.data() + text.size();
        const auto [stop, failure] = std::from_chars(text.data(), end, value);
        if (failure != std::errc() || stop != end) {
            error = path + ": line " + std::to_string(lineNumber) + ": \"" + text +
                    "\" is not a number";
            return false;
        }
        cells.push_back(value);
    }
    if (file.bad()) {
        error = path + ": read error";
        return false;
    }
    if (cells.size() != count) {
        error = path + ": " + std::to_string(cells.size()) + " values, but the unit has " +
                std::to_string(count) + " cells";
        return false;
    }
    return true;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void printDiagnostics(std::uint8_t saturated, const engine::FitDiagnostics& fit) {
    std::cerr << "saturated: " << int(saturated) << "\n";
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

int fail(const std::string& message) {
    std::cerr << "kelo solve: " << message << "\n";
    return 1;
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
    const auto repeat = arguments->wholeNumber("--repeat", 1, error);
    if (!repeat) return usageError("solve", error);
    if (*repeat == 0) return usageError("solve", "option --repeat needs at least 1");
    const std::string& id = arguments->positional()[0];

    auto processor = openUnitProcessor(id, error);
    if (!processor) return fail(error);
    std::vector<double> cells;
    if (!readCellFile(arguments->positional()[1], processor->getNumCells(), cells, error))
        return fail(error);
    if (const auto darkPath = arguments->value("--dark")) {
        std::vector<double> dark;
        if (!readCellFile(*darkPath, processor->getNumCells(), dark, error)) return fail(error);
        if (!processor->setDarkCells(std::move(dark)))
            return fail(*darkPath + ": the dark was refused (values must be finite)");
        processor->setDarkSubtraction(true);
    }
    processor->setRestrictedRange(!arguments->hasFlag("--full"));

    std::vector<double> spectrum;
    std::uint8_t saturated = 0;
    std::vector<double> milliseconds;
    for (unsigned long long run = 0; run < *repeat; ++run) {
        const auto start = std::chrono::steady_clock::now();
        if (!processor->solveSpectrum(cells, spectrum, saturated))
            return fail(arguments->positional()[1] +
                        ": the cell values were refused "
                        "(values must be finite)");
        const std::chrono::duration<double, std::milli> elapsed =
            std::chrono::steady_clock::now() - start;
        milliseconds.push_back(elapsed.count());
    }
    std::cout.flush();

    const std::vector<double> wavelengths = processor->getWavelengths();
    std::string text;
    for (std::size_t i = 0; i < spectrum.size(); ++i)
        text += exactNumber(wavelengths[i]) + "\t" + exactNumber(spectrum[i]) + "\n";
    if (std::string failure = writeOutputFile(*out, text); !failure.empty()) return fail(failure);

    printDiagnostics(saturated, processor->fitDiagnostics());
    if (arguments->value("--repeat")) {
        char figure[32];
        std::snprintf(figure, sizeof figure, "%.3f", median(milliseconds));
        std::cerr << "solve-ms: " << figure << "\n";
    }
    return 0;
}

}  // namespace kelo::cli
