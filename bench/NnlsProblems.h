// The solver problems the benchmarks and the SciPy comparison share: the
// synthetic unit's normal matrices with a halogen lamp and a laser line.
#pragma once

#include <cstddef>
#include <vector>

#include "SyntheticProblems.h"

namespace kelo::bench {

enum class ProblemKind { restrictedBroadband, fullBroadband, restrictedLine };

inline constexpr ProblemKind kProblemKinds[] = {
    ProblemKind::restrictedBroadband, ProblemKind::fullBroadband, ProblemKind::restrictedLine};

const char* problemName(ProblemKind kind);

// Built on first use and kept for the process.
const reference::SolverProblem& problemFor(ProblemKind kind);

// Streams of consecutive live frames of a slowly drifting halogen lamp with
// cell noise (20 counts), for the solves that start from the previous one.
enum class StreamKind { restrictedBroadband, fullBroadband };

inline constexpr StreamKind kStreamKinds[] = {StreamKind::restrictedBroadband,
                                              StreamKind::fullBroadband};
inline constexpr std::size_t kStreamFrames = 100;

const char* streamName(StreamKind kind);

// Built on first use and kept for the process.
const std::vector<reference::SolverProblem>& streamFor(StreamKind kind);

}  // namespace kelo::bench
