#include "SolveStage.h"

#include <utility>

namespace kelo::acquisition {

SolveStage::SolveStage(std::size_t cellCount, Handler handler)
    : averages(cellCount), handler(std::move(handler)), thread([this] { run(); }) {}

SolveStage::~SolveStage() {
    // Also on the way out of an error of the gathering side, which is
    // reported instead of anything the handler threw.
    join();
}

void SolveStage::finish() {
    join();
    if (failure) std::rethrow_exception(std::exchange(failure, nullptr));
}

void SolveStage::run() {
    try {
        while (averages.take()) handler(averages.taken());
    } catch (...) {
        failure = std::current_exception();
        // The gathering side stops at its next hand-over.
        averages.close();
    }
}

void SolveStage::join() {
    averages.close();
    if (thread.joinable()) thread.join();
}

}  // namespace kelo::acquisition
