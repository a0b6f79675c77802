// Non-negative least squares by the Lawson-Hanson active-set method, with a
// QR factorisation of the passive columns updated in place (Gram-Schmidt to
// add a column, Givens rotations to remove one).
//
// One solver serves one thread. It keeps its work space between calls and
// the products it derives from a matrix until it is given another matrix,
// so solving frame after frame against the same calibration allocates
// nothing.
#pragma once

#include <cstddef>
#include <vector>

namespace kelo::engine {

// How the last solve went, for the operator's fit diagnostics.
struct NnlsDiagnostics {
    int outerIterations = 0;      // variables added to the passive set
    int passes = 0;               // inner passes (one addition or removal round each)
    int passiveCount = 0;         // size of the passive set at the end
    bool capReached = false;      // an iteration cap ended the solve
    double relativeResidual = 0;  // |A x - b| / |b| (0 when b is 0)
};

class NnlsSolver {
public:
    // A is m x n, column-major (element (i, j) at a[j * m + i]). The matrix
    // must stay alive and unchanged until the next prepare(); calling
    // prepare() again with the same pointer and shape does nothing.
    void prepare(const double* a, std::size_t m, std::size_t n);

    // Minimises |A x - b| subject to x >= 0, starting from x = 0. b has m
    // entries, x receives n. The caps count outer iterations and inner
    // passes in total over the whole solve.
    void solve(const double* b, double* x, int maxOuter, int maxPasses, double tolerance);

    const NnlsDiagnostics& diagnostics() const { return last; }

private:
    // Implementation state (work space, derived products) goes here.
    NnlsDiagnostics last;
};

}  // namespace kelo::engine
