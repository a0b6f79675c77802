// The instrument process of the soak: the simulated camera showing the
// default synthetic unit, written into the soak's working folder, and the
// soak's cycles run on it one after the other from options.firstCycle on.
// Each cycle:
//   set-up from the unit's files (the re-initialisation after a plug-in);
//   live acquisition with a settings change every 100 ms, then Stop;
//   a cancelled hardware-trigger wait (every third cycle) or an aborted
//   recording (the others);
//   live acquisition again with settings changes, a Quick Save, saves into
//   the folder that becomes read-only and into the full filesystem;
//   the camera unplugged: the live loop must end with its error code; the
//   instrument torn down as the window tears it down; the camera plugged in.
// Every operation, count and fault goes to the soak through `events`.
#pragma once

#include "EventChannel.h"
#include "SoakOptions.h"

namespace kelo::soak {

// The process's exit status: 0 when every cycle ran, kExitSoakFailure
// (SoakFailure.h) when the soak itself could not go on.
int runInstrument(const SoakOptions& options, EventChannel& events);

}  // namespace kelo::soak
