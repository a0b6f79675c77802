// The solver problems the benchmarks and the SciPy comparison share: the
// synthetic unit's normal matrices with a halogen lamp and a laser line.
#pragma once

#include "SyntheticProblems.h"

namespace kelo::bench {

enum class ProblemKind { restrictedBroadband, fullBroadband, restrictedLine };

inline constexpr ProblemKind kProblemKinds[] = {
    ProblemKind::restrictedBroadband, ProblemKind::fullBroadband, ProblemKind::restrictedLine};

const char* problemName(ProblemKind kind);

// Built on first use and kept for the process.
const reference::SolverProblem& problemFor(ProblemKind kind);

}  // namespace kelo::bench
