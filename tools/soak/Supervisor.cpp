#include "Supervisor.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <iomanip>
#include <iostream>
#include <sstream>

#include "SoakFailure.h"

namespace kelo::soak {

namespace {

volatile std::sig_atomic_t interruptReceived = 0;

extern "C" void onInterrupt(int) {
    interruptReceived = 1;
}

constexpr std::chrono::seconds kSilenceBeyondHang{30};
constexpr std::size_t kOutputTailLines = 12;
constexpr int kProgressEvery = 10;

std::string secondsText(double seconds) {
    std::ostringstream text;
    text << std::setprecision(3) << seconds << " s";
    return text.str();
}

double secondsOf(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

// Moves every complete line of `buffer` to `take`.
template <typename Take>
void takeLines(std::string& buffer, Take take) {
    std::size_t start = 0;
    for (std::size_t end; (end = buffer.find('\n', start)) != std::string::npos; start = end + 1)
        take(buffer.substr(start, end - start));
    buffer.erase(0, start);
}

// Appends what `fd` has to `buffer`; false at its end.
bool readInto(int fd, std::string& buffer) {
    char chunk[4096];
    ssize_t got = 0;
    do {
        got = ::read(fd, chunk, sizeof chunk);
    } while (got < 0 && errno == EINTR);
    if (got <= 0) return false;
    buffer.append(chunk, static_cast<std::size_t>(got));
    return true;
}

std::string signalText(int signal) {
    const char* name = ::strsignal(signal);
    return "signal " + std::to_string(signal) +
           (name != nullptr ? std::string(" (") + name + ")" : "");
}

}  // namespace

void watchForInterrupt() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

bool interrupted() {
    return interruptReceived != 0;
}

Supervisor::Supervisor(const SoakOptions& options, Tally& tally)
    : options(options),
      tally(tally),
      hangTime(std::chrono::duration_cast<Clock::duration>(
          std::chrono::duration<double>(options.hangSeconds))),
      silenceLimit(hangTime + kSilenceBeyondHang) {}

bool Supervisor::run() {
    int next = 0;
    while (next < options.cycles) {
        const End end = runProcess(next);
        if (end == End::Done) return true;
        if (end == End::Interrupted) std::cerr << "kelo_soak: interrupted; nothing is reported\n";
        if (end == End::SoakFailed || end == End::Interrupted) return false;
        // The crashed or ended cycle is over; a process that never began one
        // still moves the soak on.
        next = std::max(cycle, next) + 1;
    }
    return true;
}

Supervisor::End Supervisor::runProcess(int firstCycle) {
    ++process;
    cycle = -1;
    done = false;
    open.clear();
    eventBuffer.clear();
    outputBuffer.clear();
    outputTail.clear();
    ChildProcess child;
    std::string failure;
    if (!child.start(instrumentArguments(options, ChildProcess::kEventFd, firstCycle), failure)) {
        std::cerr << "kelo_soak: " << failure << "\n";
        return End::SoakFailed;
    }
    return watch(child);
}

Supervisor::End Supervisor::watch(ChildProcess& child) {
    lastHeard = Clock::now();
    bool ended = false;
    while (child.eventFd() >= 0 || child.outputFd() >= 0) {
        pollfd fds[2] = {{child.eventFd(), POLLIN, 0}, {child.outputFd(), POLLIN, 0}};
        const int ready = ::poll(fds, 2, pollTimeoutMs(Clock::now()));
        if (ready < 0 && errno != EINTR) break;
        if (interrupted()) {
            child.kill();
            child.wait();
            return End::Interrupted;
        }
        if (ready > 0) readReady(child, fds[0].revents, fds[1].revents);
        const Clock::time_point now = Clock::now();
        checkDeadlines(now);
        if (!ended && now - lastHeard >= silenceLimit) {
            const double silent = secondsOf(now - lastHeard);
            if (open.empty()) {
                tally.hang(
                    shownCycle(), "between operations",
                    "nothing from the instrument for " + secondsText(silent) + ", process ended");
            } else {
                tally.hangEndedProcess(silent);
            }
            std::cerr << "kelo_soak: cycle " << shownCycle() << ": nothing from the instrument for "
                      << secondsText(silent) << "; its process is ended\n";
            child.kill();
            ended = true;
        }
    }
    return judge(child.wait(), ended);
}

void Supervisor::readReady(ChildProcess& child, short eventsReady, short outputReady) {
    if (eventsReady != 0) {
        if (readInto(child.eventFd(), eventBuffer)) {
            lastHeard = Clock::now();
            takeLines(eventBuffer, [this](const std::string& line) { takeEventLine(line); });
        } else {
            child.closeEvents();
        }
    }
    if (outputReady != 0) {
        if (readInto(child.outputFd(), outputBuffer)) {
            takeLines(outputBuffer, [this](const std::string& line) { takeOutputLine(line); });
        } else {
            child.closeOutput();
        }
    }
}

void Supervisor::takeEventLine(const std::string& line) {
    const std::optional<Event> event = parseEvent(line);
    if (!event) return;
    switch (event->kind) {
        case Event::Kind::Cycle:
            cycle = static_cast<int>(event->number);
            if (cycle == 0 || shownCycle() % kProgressEvery == 0)
                std::cout << "kelo_soak: cycle " << shownCycle() << " of " << options.cycles
                          << std::endl;
            break;
        case Event::Kind::Begin:
            open.push_back({event->name, Clock::now(), false});
            break;
        case Event::Kind::End: {
            auto found = std::find_if(open.rbegin(), open.rend(), [&](const OpenOperation& o) {
                return o.name == event->name;
            });
            const bool counted = found != open.rend() && found->hangCounted;
            if (found != open.rend()) open.erase(std::next(found).base());
            tally.operationEnded(event->name, event->number);
            const double seconds = static_cast<double>(event->number) / 1e6;
            if (!counted && seconds >= options.hangSeconds)
                tally.hang(shownCycle(), event->name, "returned after " + secondsText(seconds));
            break;
        }
        case Event::Kind::Count:
            tally.counted(event->name);
            break;
        case Event::Kind::Fault:
            tally.fault(shownCycle(), event->name, event->text);
            std::cerr << "kelo_soak: cycle " << shownCycle() << ": " << event->name << ": "
                      << event->text << "\n";
            break;
        case Event::Kind::Rss:
            tally.residentSize(process, cycle, event->number);
            break;
        case Event::Kind::Method:
            method = event->text;
            break;
        case Event::Kind::Done:
            done = true;
            break;
    }
}

void Supervisor::takeOutputLine(const std::string& line) {
    outputTail.push_back(line);
    if (outputTail.size() > kOutputTailLines) outputTail.pop_front();
}

void Supervisor::checkDeadlines(Clock::time_point now) {
    for (OpenOperation& operation : open) {
        if (operation.hangCounted || now - operation.begun < hangTime) continue;
        operation.hangCounted = true;
        tally.hang(shownCycle(), operation.name,
                   "not returned within " + secondsText(options.hangSeconds));
        std::cerr << "kelo_soak: cycle " << shownCycle() << ": " << operation.name
                  << " has not returned within " << secondsText(options.hangSeconds) << "\n";
    }
}

int Supervisor::pollTimeoutMs(Clock::time_point now) const {
    Clock::time_point next = lastHeard + silenceLimit;
    for (const OpenOperation& operation : open)
        if (!operation.hangCounted) next = std::min(next, operation.begun + hangTime);
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - now).count();
    return static_cast<int>(std::max<decltype(wait)>(wait, 0));
}

Supervisor::End Supervisor::judge(int status, bool ended) {
    // An interrupt from the terminal reaches the instrument process as well.
    if (interrupted()) return End::Interrupted;
    if (ended) return End::Ended;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && done) return End::Done;
    if (WIFEXITED(status) && WEXITSTATUS(status) == kExitSoakFailure) {
        printOutputTail();
        return End::SoakFailed;
    }
    const std::string how = WIFSIGNALED(status)
                                ? signalText(WTERMSIG(status))
                                : "exit status " + std::to_string(WEXITSTATUS(status));
    tally.crash(shownCycle(), (done ? "after the last cycle, " : "") + how);
    std::cerr << "kelo_soak: cycle " << shownCycle() << ": the instrument process ended with "
              << how << "; its last output:\n";
    printOutputTail();
    return done ? End::Done : End::Crashed;
}

void Supervisor::printOutputTail() const {
    for (const std::string& line : outputTail) std::cerr << "  | " << line << "\n";
}

}  // namespace kelo::soak
