#include "NnlsWarmStart.h"

#include <algorithm>

#include "NnlsGradient.h"
#include "NnlsPassiveQr.h"
#include "SolverSettings.h"

namespace kelo::engine {

namespace {

// Every Gram-Schmidt addition and every run of rotations leaves rounding in
// Q, and a warm solve keeps Q from one spectrum to the next. On the synthetic
// unit's stream of a noisy halogen lamp, a factorisation kept for good made
// warm spectra part from cold ones by more than 1e-6 of their peak after 134
// (full grid) to 195 (restricted) warm solves, and by up to 7e-3 later on.
// Formed afresh every 64 warm solves, 1500 restricted and 800 full spectra
// stayed within 5e-8 of the cold ones with a Gram-Schmidt sweep of one
// column at a time; with the sweep of eight columns at once, 3 of 1200
// restricted warm solves still drifted far enough for the check below to
// solve them cold, and none did at every 32. Forming the QR afresh costs
// about the Gram-Schmidt work of one cold solve, spread over 32 spectra.
// The solver checks every warm result besides and solves cold when the
// factorisation has drifted all the same.
constexpr int kWarmSolvesPerFactorisation = 32;

}  // namespace

void NnlsWarmStart::reserve(std::size_t n) {
    solution.assign(n, 0.0);
    passive.reserve(n);
    available = false;
}

void NnlsWarmStart::keep(const double* x, bool usable, bool cold) {
    std::copy(x, x + solution.size(), solution.begin());
    available = usable;
    if (cold) warmSolves = 0;
}

void NnlsWarmStart::restore(NnlsPassiveQr& qr, const NnlsGradient& gradient, const double* b,
                            double* x) {
    std::copy(solution.begin(), solution.end(), x);
    if (++warmSolves >= kWarmSolvesPerFactorisation) {
        refactorise(qr, gradient, b, x);
        warmSolves = 0;
    } else {
        qr.setRightHandSide(b);
    }
}

void NnlsWarmStart::refactorise(NnlsPassiveQr& qr, const NnlsGradient& gradient, const double* b,
                                double* x) {
    passive.assign(qr.variables(), qr.variables() + qr.size());
    qr.clear();
    for (const int variable : passive) {
        if (!qr.append(variable, gradient.column(variable), gradient.columnNorm(variable), b,
                       kDependentColumnRatio))
            x[variable] = 0.0;
    }
}

}  // namespace kelo::engine
