// What the fuzz targets share: a working folder of the process's own holding
// a small unit and the colour data, the input written over one of its files,
// and the checks every target ends with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

class SpectralProcessor;

namespace kelo::fuzz {

// The unit of the working folder: 16 cells of one pixel, cell c seeing only
// 500 + c nm, working range 502..512 nm, identity matrices.
extern const char* const kUnitId;

// Makes the working folder once per process (under the temporary folder,
// holding the unit and a copy of the colour data files in data/) and makes
// it the current folder; later calls put back the file the last input was
// written to, so that every input starts from the same folder.
void enterWorkingFolder();

// Replaces the file at `path`, relative to the working folder, with the bytes.
void writeInput(const std::string& path, const std::uint8_t* data, std::size_t size);

// A stream that drops everything written to it.
std::ostream& discard();

// Sets a processor up on the unit as the programs do and, when it accepts the
// unit, turns a frame of even light into a spectrum. A spectrum reported as
// computed must be finite: otherwise the process aborts, which is a finding.
void solveOneFrame();

// A processor set up once on the unit as it was made, for the targets that
// leave the unit's files alone.
SpectralProcessor& unitProcessor();

// Solves the cell values on the processor; a spectrum reported as computed
// must be finite.
void solveCells(SpectralProcessor& processor, const std::vector<double>& cells);

// Aborts, naming what was wrong, when a value reported as good is not finite.
void requireFinite(double value, const char* what);

}  // namespace kelo::fuzz
