// The active-set solver written step by step as the instrument's method
// reads, one BLAS call per step, with work space allocated per call and R
// and Q addressed by variable. Three mends are applied: the caps are
// arguments, a candidate whose column is dependent on the passive ones is
// skipped for the outer iteration, and two zeros give the identity rotation.
// The fast solver is measured against this one.
#pragma once

#include <vector>

#include "NnlsTrace.h"

namespace kelo::reference {

struct PlainNnlsReport {
    int outerIterations = 0;
    int passes = 0;
    int passiveCount = 0;
    bool capReached = false;
    std::vector<engine::NnlsStep> steps;
};

// a: m x n column-major; b: m values; x receives n values.
PlainNnlsReport plainNnls(const double* a, const double* b, double* x, int m, int n, int maxOuter,
                          int maxPasses, double tolerance);

}  // namespace kelo::reference
