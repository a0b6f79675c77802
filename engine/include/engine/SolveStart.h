// Where a spectrum solve starts.
#pragma once

namespace kelo::engine {

enum class SolveStart {
    // From nothing: no state from earlier solves.
    cold,
    // From the passive set and factorisation of the previous solve, for
    // consecutive spectra of one live stream (same averages). The solver
    // starts cold instead when nothing comparable precedes it.
    warm,
};

}  // namespace kelo::engine
