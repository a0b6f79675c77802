// What kelo cells and kelo solve share: a spectral processor opened for a
// unit the way the application opens it, and their output files.
#pragma once

#include <memory>
#include <string>

#include "engine/SpectralProcessor.h"

namespace kelo::cli {

// A processor initialised for unit `id` in the working folder, in the unit's
// blur mode, or nothing with `error` saying why frames cannot be processed.
std::unique_ptr<SpectralProcessor> openUnitProcessor(const std::string& id, std::string& error);

// "%.17g": the shortest fixed format that reads back to the same double.
std::string exactNumber(double value);

// Replaces `path` with `text` so that a failed write keeps the old file;
// returns an empty text or what went wrong.
std::string writeOutputFile(const std::string& path, const std::string& text);

}  // namespace kelo::cli
