// A process started from this program's own file, as the soak starts the
// instrument: its standard output and error arrive on one pipe, its events
// (Protocol.h) on another, which it writes as file descriptor 3.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace kelo::soak {

class ChildProcess {
public:
    static constexpr int kEventFd = 3;

    ChildProcess() = default;
    // Kills the process if it still runs and reaps it.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts /proc/self/exe with `arguments`. False, with the reason in
    // `failure`, when it could not be started.
    bool start(const std::vector<std::string>& arguments, std::string& failure);

    // The reading ends; -1 once closed.
    int eventFd() const { return events; }
    int outputFd() const { return output; }
    void closeEvents();
    void closeOutput();

    // Ends the process at once (SIGKILL).
    void kill();
    // Waits for the process to end; its wait status.
    int wait();

private:
    pid_t pid = -1;
    int events = -1;
    int output = -1;
};

}  // namespace kelo::soak
