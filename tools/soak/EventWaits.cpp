#include "EventWaits.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <thread>

namespace kelo::soak {

namespace {

// Between two looks at the condition when no event is pending.
constexpr std::chrono::milliseconds kPollInterval{2};

}  // namespace

bool processEventsUntil(const std::function<bool()>& condition, Clock::time_point deadline) {
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (condition()) return true;
        const Clock::time_point now = Clock::now();
        if (now >= deadline) return false;
        std::this_thread::sleep_for(std::min<Clock::duration>(kPollInterval, deadline - now));
    }
}

void processEventsUntil(Clock::time_point deadline) {
    processEventsUntil([] { return false; }, deadline);
}

}  // namespace kelo::soak
