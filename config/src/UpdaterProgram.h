// Starting the program that brings an old-layout system file up to date.
#pragma once

#include <string>

namespace kelo {

// Runs the updater found beside the running executable on `systemFilePath`
// (given as one argument, no shell involved) and waits for it to end. Its
// output goes to this process's standard output and error. Returns its exit
// status, or a negative value when it could not be started or crashed.
int runConfigUpdater(const std::string& systemFilePath);

}  // namespace kelo
