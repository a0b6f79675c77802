// Non-negative least squares by the Lawson-Hanson active-set method, with a
// QR factorisation of the passive columns updated in place (Gram-Schmidt to
// add a column, Givens rotations to remove one).
//
// One solver serves one thread. It keeps its work space between calls and
// the products it derives from a matrix until it is given another matrix,
// so solving frame after frame against the same calibration allocates
// nothing. It also keeps the passive set, factorisation and solution of its
// last solve, from which the next one may start (a warm start).
#pragma once

#include <cstddef>
#include <vector>

#include "NnlsGradient.h"
#include "NnlsPassiveQr.h"
#include "NnlsTrace.h"
#include "NnlsWarmStart.h"
#include "engine/SolveStart.h"

namespace kelo::engine {

// How the last solve went, for the operator's fit diagnostics.
struct NnlsDiagnostics {
    int outerIterations = 0;      // variables added to the passive set
    int passes = 0;               // inner passes (one addition or removal round each)
    int passiveCount = 0;         // size of the passive set at the end
    bool capReached = false;      // an iteration cap ended the solve
    double relativeResidual = 0;  // |A x - b| / |b| (0 when b is 0)
    int exactGradients = 0;       // gradients taken the direct way near a tie
    bool warm = false;            // the result comes from a warm start
};

class NnlsSolver {
public:
    // A is m x n, column-major (element (i, j) at a[j * m + i]). The solver
    // keeps a copy and the products it derives from it; calling prepare()
    // again with a matrix of the same shape and contents forms nothing anew.
    // Either way the next solve starts cold.
    void prepare(const double* a, std::size_t m, std::size_t n);

    // Minimises |A x - b| subject to x >= 0. b has m entries, x receives n.
    // The caps count outer iterations and inner passes in total over the
    // whole solve. Each variable is brought in when its gradient entry is
    // the largest above `tolerance` (the first of equal ones), unless its
    // column is numerically dependent on the passive ones; it then waits for
    // the next outer iteration.
    //
    // Cold, the solve starts from x = 0 and an empty passive set. Warm, it
    // starts from the previous solve's solution, passive set and
    // factorisation: it first steps back to a feasible point where the new
    // b asks for it, then goes on as a cold solve does, to the same stopping
    // rule. A warm solve starts cold instead when there is nothing to start
    // from (no solve since prepare(), or the previous one reached a cap or
    // did not end finite). It solves again cold from scratch, with caps of
    // its own, when it reaches a cap itself or when its result shows that
    // the kept factorisation has drifted (a gradient entry of the passive
    // set above the tolerance).
    void solve(const double* b, double* x, int maxOuter, int maxPasses, double tolerance,
               SolveStart start = SolveStart::cold);

    const NnlsDiagnostics& diagnostics() const { return last; }

    // Every following solve records its steps into `steps` (emptied first);
    // nullptr ends the recording.
    void recordSteps(std::vector<NnlsStep>* steps) { trace = steps; }

private:
    struct Choice {
        int variable = -1;  // -1: no eligible entry above the tolerance
        bool nearTie = false;
    };
    void startCold();
    void startWarm();
    void resetCounts();
    // Outer iterations to the stopping rule; `feasibleFirst`: restore
    // feasibility of the passive set first. False when a cap ended them.
    bool iterate(int maxOuter, int maxPasses, double tolerance, bool feasibleFirst);
    // Whether the gradient on the passive set is within `tolerance`, as at
    // an optimum; a warm solve is checked so.
    bool passiveGradientWithin(double tolerance);
    Choice choose(double tolerance, double tieBound) const;
    bool bringIn(double tolerance);
    bool runPasses(int maxPasses, double tolerance);
    void takeOutFlagged();
    void note(NnlsStep::Kind kind, int variable);

    std::size_t m = 0;
    std::size_t n = 0;
    NnlsGradient gradient;
    NnlsPassiveQr qr;
    NnlsWarmStart warmStart;

    const double* b = nullptr;  // of the solve in progress
    double* x = nullptr;
    std::vector<double> w;  // gradient
    std::vector<double> z;  // candidate solution
    std::vector<char> eligible;
    std::vector<char> toRemove;
    std::vector<int> skipped;  // dependent candidates of this outer iteration
    int passes = 0;

    std::vector<NnlsStep>* trace = nullptr;
    NnlsDiagnostics last;
};

}  // namespace kelo::engine
