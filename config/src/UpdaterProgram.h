// Starting the program that brings an old-layout system file up to date.
#pragma once

#include <string>

namespace kelo {

// Runs the updater found beside the running executable on `systemFilePath`
// (given as one argument, no shell involved) and waits for it to end. Its
// output goes to this process's standard output and error. Returns an empty
// text when it ended with status 0, otherwise what went wrong, naming the
// updater program.
std::string runConfigUpdater(const std::string& systemFilePath);

}  // namespace kelo
