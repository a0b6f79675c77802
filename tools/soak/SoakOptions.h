// The command line of kelo_soak. The soak's own options:
//
//   --cycles N              unplug and plug-in cycles (default 100)
//   --seed S                seed of every random choice (default 1)
//   --report FILE           writes the summary into FILE's "## Fault soak"
//   --hang-seconds S        how long an operation may take before it counts
//                           as a hang (default 2)
//   --inject-write-failure  fails saves by the injected write failure even
//                           where tmpfs could be mounted
//
// The soak starts itself again as the instrument process with the options
// below, which are not meant to be typed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "WriteFailures.h"

namespace kelo::soak {

struct SoakOptions {
    int cycles = 100;
    std::uint64_t seed = 1;
    std::string reportFile;
    double hangSeconds = 2.0;
    bool injectWriteFailure = false;

    // The instrument process: the pipe it reports on (-1: this is the soak),
    // the working folder, the first cycle it runs and how saves fail.
    int instrumentFd = -1;
    std::filesystem::path workDir;
    int firstCycle = 0;
    WriteFailureMethod method = WriteFailureMethod::Injected;
};

// The options of `arguments` (the program name excluded); nothing, with one
// line in `error` naming the option and what was wrong, for a bad one.
std::optional<SoakOptions> parseOptions(const std::vector<std::string>& arguments,
                                        std::string& error);

// The arguments that start the instrument process for `options`, reporting
// on `fd` from `firstCycle` on.
std::vector<std::string> instrumentArguments(const SoakOptions& options, int fd, int firstCycle);

// `value` in double quotes, cut after 80 characters: what a message may
// repeat of the operator's input.
std::string quoted(const std::string& value);

// The command that repeats the soak of `options`.
std::string repeatCommand(const SoakOptions& options);

}  // namespace kelo::soak
