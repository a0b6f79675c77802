#include "ColourData.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "ColourChart.h"
#include "Daylight.h"
#include "Interpolation.h"
#include "SourceError.h"
#include "SpectralTable.h"

namespace kelo::colourdata {
namespace {

constexpr int kTableStepNm = 5;
constexpr int kObserverFirstNm = 360;
constexpr int kObserverLastNm = 830;
constexpr int kIlluminantFirstNm = 380;
constexpr int kIlluminantLastNm = 780;
// The daylight basis is defined at 10 nm; its 5 nm values are themselves
// interpolated, so D50 is computed from the 10 nm ones only.
constexpr int kDaylightStepNm = 10;

struct LoadedTable {
    SpectralTable table;
    std::string source;
};

// The table must have `setCount` sets on whole multiples of 5 nm, 5 nm
// apart, covering firstNm..lastNm.
LoadedTable loadTable(const std::filesystem::path& file, std::size_t setCount, int firstNm,
                      int lastNm) {
    LoadedTable loaded{readSpectralTable(file), file.string()};
    const SpectralTable& table = loaded.table;
    if (table.sets.size() != setCount) {
        throw SourceError(loaded.source, "holds " + std::to_string(table.sets.size()) +
                                             " sets of values, expected " +
                                             std::to_string(setCount));
    }
    if (std::fabs(table.stepNm() - kTableStepNm) > 1e-9 ||
        std::fmod(table.startNm, kTableStepNm) != 0.0) {
        throw SourceError(loaded.source, "is not tabulated at whole multiples of 5 nm");
    }
    if (table.startNm > firstNm || table.endNm < lastNm) {
        throw SourceError(loaded.source, "does not cover " + std::to_string(firstNm) + " to " +
                                             std::to_string(lastNm) + " nm");
    }
    return loaded;
}

// `values` are 1 nm apart from startNm; the part from firstNm to lastNm.
std::vector<double> cutRange(const std::vector<double>& values, double startNm, int firstNm,
                             int lastNm) {
    const auto first = values.begin() + static_cast<long>(std::lround(firstNm - startNm));
    return std::vector<double>(first, first + (lastNm - firstNm + 1));
}

std::string observerRows(const LoadedTable& loaded) {
    std::vector<std::vector<double>> columns;
    for (const std::vector<double>& set : loaded.table.sets) {
        std::vector<double> refined = spragueRefine(set, kTableStepNm);
        // The quintic overshoots below zero where a function runs out to 0.
        for (double& value : refined) value = std::max(value, 0.0);
        columns.push_back(
            cutRange(refined, loaded.table.startNm, kObserverFirstNm, kObserverLastNm));
    }
    return spectralRows(kObserverFirstNm, columns);
}

// colord's D65 is normalised to 1 at 560 nm, the data files to 100.
std::string d65Rows(const LoadedTable& loaded) {
    std::vector<double> refined = linearRefine(loaded.table.sets.front(), kTableStepNm);
    for (double& value : refined) value *= 100.0;
    return spectralRows(kIlluminantFirstNm, {cutRange(refined, loaded.table.startNm,
                                                      kIlluminantFirstNm, kIlluminantLastNm)});
}

// Every other 5 nm value, starting at the first whole multiple of 10 nm.
std::vector<double> tenNmNodes(const std::vector<double>& fiveNm, std::size_t offset) {
    std::vector<double> nodes;
    for (std::size_t i = offset; i < fiveNm.size(); i += 2) nodes.push_back(fiveNm[i]);
    return nodes;
}

std::string d50Rows(const LoadedTable& basis) {
    const SpectralTable& table = basis.table;
    const std::size_t offset = std::fmod(table.startNm, kDaylightStepNm) == 0.0 ? 0 : 1;
    const double startNm = table.startNm + kTableStepNm * static_cast<double>(offset);
    const std::vector<double> spectrum =
        daylightSpectrum(daylightWeights(kD50Temperature), tenNmNodes(table.sets[0], offset),
                         tenNmNodes(table.sets[1], offset), tenNmNodes(table.sets[2], offset));
    const std::vector<double> refined = linearRefine(spectrum, kDaylightStepNm);
    return spectralRows(kIlluminantFirstNm,
                        {cutRange(refined, startNm, kIlluminantFirstNm, kIlluminantLastNm)});
}

}  // namespace

std::vector<DataFile> makeColourData(const SourceFiles& sources) {
    const LoadedTable cmf1931 = loadTable(sources.cmf1931, 3, kObserverFirstNm, kObserverLastNm);
    const LoadedTable cmf1964 = loadTable(sources.cmf1964, 3, kObserverFirstNm, kObserverLastNm);
    const LoadedTable d65 = loadTable(sources.d65, 1, kIlluminantFirstNm, kIlluminantLastNm);
    const LoadedTable daylightBasis =
        loadTable(sources.daylightBasis, 3, kIlluminantFirstNm, kIlluminantLastNm);
    const std::vector<NamedColour> colours = readColourNames(sources.colourNames);

    return {{"cmf1931.dat", observerRows(cmf1931)},
            {"cmf1964.dat", observerRows(cmf1964)},
            {"D65.dat", d65Rows(d65)},
            {"D50.dat", d50Rows(daylightBasis)},
            {"pmsRgb.dat", chartText(firstSpellings(colours))}};
}

}  // namespace kelo::colourdata
