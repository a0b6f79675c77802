// A generator of synthetic spectrometer units: the complete set of files of
// a unit (system and user configuration, bad pixels, cell centres, transfer
// and normal matrices, white-lid correction) under ROOT/cal/, made from a
// model of the instrument and a seed. The same options give the same bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>

#include "sim/UnitModel.h"

namespace kelo::sim {

constexpr std::uint64_t kDefaultSeed = 42;

struct SyntheticUnitOptions {
    std::string id;                    // device id, at most 8 characters
    std::string fullId;                // full device id, at most 23; empty: id
    std::filesystem::path root = ".";  // the working folder that holds cal/
    bool fluorescence = false;         // a fluorescence unit instead of VIS-NIR
    bool gaussBlur = false;            // also the matrices for blur-divided frames
    bool oldLayout = false;            // system file in the "0.0.1" layout
    std::uint64_t seed = kDefaultSeed;
    UnitModel model;
};

// Writes every file of the unit, logging one line per file to `log`. Ids
// that identifierProblem() (sim/UnitRecord.h) rejects are an error. An
// existing user file is kept, since it holds the operator's settings. The
// system file comes last, so a unit whose system file exists is complete.
// Returns an empty text on success, otherwise what went wrong with which file.
std::string writeSyntheticUnit(const SyntheticUnitOptions& options, std::ostream& log);

}  // namespace kelo::sim
