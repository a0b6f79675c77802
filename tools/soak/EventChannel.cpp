#include "EventChannel.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "Protocol.h"

namespace kelo::soak {

namespace {

// Below the pipe's atomic write size, so that a line is never split.
constexpr std::size_t kTextLimit = 400;

// What the soak ends a process with when its pipe is gone.
constexpr int kExitWithoutSoak = 3;

}  // namespace

EventChannel::EventChannel(int fd) : fd(fd) {
    // A soak that has gone ends the process through the failed write below.
    std::signal(SIGPIPE, SIG_IGN);
}

void EventChannel::cycle(int number) {
    Event event;
    event.kind = Event::Kind::Cycle;
    event.number = number;
    send(event);
}

void EventChannel::begin(const char* operation) {
    Event event;
    event.kind = Event::Kind::Begin;
    event.name = operation;
    send(event);
}

void EventChannel::end(const char* operation, std::chrono::microseconds took) {
    Event event;
    event.kind = Event::Kind::End;
    event.name = operation;
    event.number = took.count();
    send(event);
}

void EventChannel::count(const char* what) {
    Event event;
    event.kind = Event::Kind::Count;
    event.name = what;
    send(event);
}

void EventChannel::fault(const char* kind, const std::string& text) {
    Event event;
    event.kind = Event::Kind::Fault;
    event.name = kind;
    event.text = text.substr(0, kTextLimit);
    send(event);
}

void EventChannel::rss(std::int64_t kibibytes) {
    Event event;
    event.kind = Event::Kind::Rss;
    event.number = kibibytes;
    send(event);
}

void EventChannel::method(const std::string& text) {
    Event event;
    event.kind = Event::Kind::Method;
    event.text = text.substr(0, kTextLimit);
    send(event);
}

void EventChannel::done() {
    Event event;
    event.kind = Event::Kind::Done;
    send(event);
}

void EventChannel::send(const Event& event) {
    const std::string line = formatEvent(event);
    ssize_t written = 0;
    do {
        written = ::write(fd, line.data(), line.size());
    } while (written < 0 && errno == EINTR);
    if (written < 0) std::_Exit(kExitWithoutSoak);
}

TimedOperation::TimedOperation(EventChannel& events, const char* operation)
    : events(events), operation(operation), started(std::chrono::steady_clock::now()) {
    events.begin(operation);
}

TimedOperation::~TimedOperation() {
    finish();
}

std::chrono::microseconds TimedOperation::finish() {
    if (finished) return took;
    took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 started);
    finished = true;
    events.end(operation, took);
    return took;
}

}  // namespace kelo::soak
