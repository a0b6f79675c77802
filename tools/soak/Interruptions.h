// The operator's interruptions of an acquisition, each made as the window
// makes it and each awaited as an operation of the soak:
// - a hardware trigger armed for a pulse that never comes, then cancelled:
//   the live loop must end without an error;
// - a recording aborted at a random point, during the recording or during
//   its post-processing: what was saved must be complete.
#pragma once

#include <filesystem>
#include <random>

#include "EventChannel.h"
#include "InstrumentSession.h"
#include "SaveChecks.h"

namespace kelo::soak {

// The session is set up and not live; it is left so.
void cancelTriggerWait(InstrumentSession& session, EventChannel& events, std::mt19937_64& random);

// The session is set up and not live; the recorded spectra are saved into
// `folder`, which is emptied first.
void abortRecording(InstrumentSession& session, EventChannel& events, SaveChecks& saves,
                    const std::filesystem::path& folder, std::mt19937_64& random);

}  // namespace kelo::soak
