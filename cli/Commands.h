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

// Print "kelo <command>: <message>" as a line of its own on standard error
// and return the exit status: 2 for a command given wrong words (options,
// values), 1 for one that failed.
int usageError(const std::string& command, const std::string& message);
int commandFailure(const std::string& command, const std::string& message);

}  // namespace kelo::cli
