// The second stage of the live loop: a thread of its own that takes the
// finished averages from a hand-over of depth one and passes each to a
// handler (solve and publish, or store as the dark), in the order they were
// handed over. It starts when it is made; finish() lets it handle what was
// handed over and joins it, and so does the destructor.
#pragma once

#include <exception>
#include <functional>
#include <thread>

#include "AverageHandOver.h"

namespace kelo::acquisition {

class SolveStage {
public:
    // Runs on the stage's thread, once per finished average.
    using Handler = std::function<void(const FinishedAverage&)>;

    SolveStage(std::size_t cellCount, Handler handler);
    ~SolveStage();
    SolveStage(const SolveStage&) = delete;
    SolveStage& operator=(const SolveStage&) = delete;

    // The gathering side of the hand-over: waitUntilFree is false once the
    // stage has failed (its handler threw) or finished.
    AverageHandOver& handOver() { return averages; }

    // Handles every average handed over so far, then ends and joins the
    // thread. Rethrows what the handler threw, which ended the stage early.
    void finish();

private:
    void run();
    // Closes the hand-over and joins the thread; what the handler threw is
    // kept for finish().
    void join();

    AverageHandOver averages;
    Handler handler;
    // Written by the stage's thread before it ends, read after the join.
    std::exception_ptr failure;
    std::thread thread;  // last: started once everything it uses exists
};

}  // namespace kelo::acquisition
