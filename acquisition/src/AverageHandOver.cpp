#include "AverageHandOver.h"

#include <utility>

namespace kelo::acquisition {

namespace {

FinishedAverage sized(std::size_t cellCount) {
    FinishedAverage average;
    average.cells.assign(cellCount, 0.0);
    return average;
}

}  // namespace

AverageHandOver::AverageHandOver(std::size_t cellCount)
    : gathering(sized(cellCount)), waiting(sized(cellCount)), solving(sized(cellCount)) {}

bool AverageHandOver::waitUntilFree() {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return !full || closed; });
    return !closed;
}

void AverageHandOver::handOver() {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return !full || closed; });
    if (closed) return;
    // Swapping the whole records keeps every buffer allocated once.
    std::swap(gathering, waiting);
    full = true;
    changed.notify_all();
}

bool AverageHandOver::take() {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return full || closed; });
    if (!full) return false;
    std::swap(waiting, solving);
    full = false;
    changed.notify_all();
    return true;
}

void AverageHandOver::close() {
    std::lock_guard<std::mutex> lock(mutex);
    closed = true;
    changed.notify_all();
}

}  // namespace kelo::acquisition
