// The soak's side: runs the instrument process (Instrument.h) from the first
// cycle to the last and watches it through its events.
// - A process that dies, or ends otherwise than after its last cycle, is a
//   crash.
// - An operation that has not returned within the hang time is a hang,
//   counted by the soak's own deadline, not by the instrument's word.
// - A process that has said nothing for the hang time and 30 s more is
//   ended.
// After a crash or an ended process a new one goes on with the next cycle.
#pragma once

#include <chrono>
#include <deque>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "Protocol.h"
#include "SoakOptions.h"
#include "Tally.h"

namespace kelo::soak {

class Supervisor {
public:
    Supervisor(const SoakOptions& options, Tally& tally);

    // Runs every cycle. False when the soak itself could not go on or was
    // interrupted; the reason is on standard error.
    bool run();
    // How the instrument made saves fail, as it said.
    const std::string& methodDescription() const { return method; }

private:
    using Clock = std::chrono::steady_clock;
    enum class End { Done, Crashed, Ended, SoakFailed, Interrupted };

    struct OpenOperation {
        std::string name;
        Clock::time_point begun;
        bool hangCounted = false;
    };

    // One instrument process from `firstCycle` on, watched until it ends.
    End runProcess(int firstCycle);
    End watch(ChildProcess& child);
    // Reads what the ready descriptors hold; closes one at its end.
    void readReady(ChildProcess& child, short eventsReady, short outputReady);
    void takeEventLine(const std::string& line);
    void takeOutputLine(const std::string& line);
    void checkDeadlines(Clock::time_point now);
    int pollTimeoutMs(Clock::time_point now) const;
    End judge(int status, bool ended);
    // The cycle being run as the operator counts, from 1; 0 before the first.
    int shownCycle() const { return cycle + 1; }
    void printOutputTail() const;

    const SoakOptions& options;
    Tally& tally;
    const Clock::duration hangTime;
    const Clock::duration silenceLimit;

    // The process being watched.
    int process = -1;
    int cycle = -1;  // as the instrument counts, from 0
    bool done = false;
    std::vector<OpenOperation> open;
    Clock::time_point lastHeard;
    std::string eventBuffer;
    std::string outputBuffer;
    std::deque<std::string> outputTail;

    std::string method;
};

// True once SIGINT or SIGTERM has come; installs the handlers.
void watchForInterrupt();
bool interrupted();

}  // namespace kelo::soak
