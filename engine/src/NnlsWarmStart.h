// Where a warm solve starts: the solution of the previous solve of the same
// matrix, whose passive set and factorisation the solver still holds, brought
// up to date for a new right-hand side.
#pragma once

#include <cstddef>
#include <vector>

namespace kelo::engine {

class NnlsGradient;
class NnlsPassiveQr;

class NnlsWarmStart {
public:
    // Work space for n unknowns; nothing to start from afterwards.
    void reserve(std::size_t n);

    // Nothing to start from until the next keep() with `usable` set.
    void forget() { available = false; }
    bool canStart() const { return available; }

    // After a solve: its solution x (n values, positive on the passive set,
    // zero elsewhere) and whether the next warm solve may start from it and
    // from the factorisation left behind. `cold`: the factorisation was
    // built from nothing by this solve.
    void keep(const double* x, bool usable, bool cold);

    // Puts the kept solution into x and brings the factorisation up to date
    // for b: Q^T b anew, or, every so many warm solves, the whole QR formed
    // afresh from the passive columns in their order. A column that has
    // become numerically dependent on the earlier ones then leaves the
    // passive set and its entry of x goes to zero.
    void restore(NnlsPassiveQr& qr, const NnlsGradient& gradient, const double* b, double* x);

private:
    void refactorise(NnlsPassiveQr& qr, const NnlsGradient& gradient, const double* b, double* x);

    std::vector<double> solution;
    std::vector<int> passive;  // the passive variables, while the QR is formed anew
    bool available = false;
    int warmSolves = 0;  // since the factorisation was last built from nothing
};

}  // namespace kelo::engine
