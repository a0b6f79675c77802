// Waiting on the instrument process's user-interface thread as the window
// waits: its events keep flowing (queued spectra arrive), and every wait
// ends at a deadline.
#pragma once

#include <chrono>
#include <functional>

namespace kelo::soak {

using Clock = std::chrono::steady_clock;

// How long the instrument process waits for anything before it gives up and
// reports what did not come; the soak's hang deadline is far shorter.
constexpr std::chrono::seconds kGiveUp{20};

// Processes the calling thread's events until `condition` holds or
// `deadline` has passed; whether it held.
bool processEventsUntil(const std::function<bool()>& condition, Clock::time_point deadline);

// Processes the calling thread's events until `deadline`.
void processEventsUntil(Clock::time_point deadline);

}  // namespace kelo::soak
