// The instrument process's side of the pipe to the soak (Protocol.h): one
// line per event, each written whole. When the soak has gone there is no
// one to report to, and the process ends.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace kelo::soak {

struct Event;

class EventChannel {
public:
    explicit EventChannel(int fd);

    void cycle(int number);
    void begin(const char* operation);
    void end(const char* operation, std::chrono::microseconds took);
    void count(const char* what);
    void fault(const char* kind, const std::string& text);
    void rss(std::int64_t kibibytes);
    void method(const std::string& text);
    void done();

private:
    void send(const Event& event);

    int fd;
};

// One operation awaited by the soak: begun when made, ended by finish() or
// when it goes out of scope.
class TimedOperation {
public:
    TimedOperation(EventChannel& events, const char* operation);
    ~TimedOperation();
    TimedOperation(const TimedOperation&) = delete;
    TimedOperation& operator=(const TimedOperation&) = delete;

    // How long it took; the end is reported once.
    std::chrono::microseconds finish();

private:
    EventChannel& events;
    const char* operation;
    std::chrono::steady_clock::time_point started;
    bool finished = false;
    std::chrono::microseconds took{0};
};

}  // namespace kelo::soak
