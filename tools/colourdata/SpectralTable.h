// The spectral tables of colord-data: a CGATS-like text with a header of
// keyword lines (SPECTRAL_START_NM, SPECTRAL_END_NM, SPECTRAL_BANDS and
// optionally NUMBER_OF_SETS) and whitespace-separated numbers between
// BEGIN_DATA and END_DATA, one set of SPECTRAL_BANDS values after another.
#pragma once

#include <cstddef>
#include <filesystem>
#include <istream>
#include <string>
#include <vector>

namespace kelo::colourdata {

struct SpectralTable {
    double startNm = 0.0;
    double endNm = 0.0;
    // Each set holds one value per band, from startNm to endNm evenly spaced.
    std::vector<std::vector<double>> sets;

    std::size_t bands() const { return sets.empty() ? 0 : sets.front().size(); }
    double stepNm() const { return (endNm - startNm) / static_cast<double>(bands() - 1); }
};

// Throws SourceError naming `sourceName` and, where there is one, the line.
SpectralTable parseSpectralTable(std::istream& text, const std::string& sourceName);
SpectralTable readSpectralTable(const std::filesystem::path& file);

}  // namespace kelo::colourdata
