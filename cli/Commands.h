// The commands of the kelo tool. Each takes the words after its name and
// returns the process exit status.
#pragma once

#include <string>
#include <vector>

namespace kelo::cli {

using Words = std::vector<std::string>;

int runInfo(const Words& words);
int runSimunit(const Words& words);
int runCells(const Words& words);
int runSolve(const Words& words);
int runDevices(const Words& words);
int runGrab(const Words& words);
int runLive(const Words& words);
int runSnap(const Words& words);
int runColour(const Words& words);
int runSeries(const Words& words);

// Prints "kelo <command>: <message>" on standard error and returns 2, the
// status of a command given wrong words.
int usageError(const std::string& command, const std::string& message);

}  // namespace kelo::cli
