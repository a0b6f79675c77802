// The soak's summary as a Markdown section "## Fault soak": what was done,
// a table of counts, the longest returns, the incidents and the command that
// repeats the run. Printed at the end and written into the report file.
#pragma once

#include <string>

#include "SoakOptions.h"
#include "Tally.h"

namespace kelo::soak {

constexpr const char* kSectionHeading = "## Fault soak";

struct SoakRun {
    SoakOptions options;
    std::string method;   // how saves were made to fail
    std::string date;     // of the run, UTC
    std::string machine;  // processors and load, which the durations depend on
};

std::string summarySection(const SoakRun& run, const Tally& tally);

}  // namespace kelo::soak
