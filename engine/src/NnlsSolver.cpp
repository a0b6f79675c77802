#include "NnlsSolver.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "SolverSettings.h"

namespace kelo::engine {

void NnlsSolver::prepare(const double* a, std::size_t rows, std::size_t columns) {
    gradient.prepare(a, rows, columns);
    warmStart.forget();
    if (rows == m && columns == n) return;
    m = rows;
    n = columns;
    qr.reserve(m, n);
    w.assign(n, 0.0);
    z.assign(n, 0.0);
    eligible.assign(n, 1);
    toRemove.assign(n, 0);
    skipped.reserve(n);
    warmStart.reserve(n);
}

void NnlsSolver::solve(const double* rhs, double* solution, int maxOuter, int maxPasses,
                       double tolerance, SolveStart start) {
    b = rhs;
    x = solution;
    gradient.setRightHandSide(b);
    if (trace) trace->clear();

    bool warm = start == SolveStart::warm && warmStart.canStart();
    bool finished = false;
    if (warm) {
        startWarm();
        finished =
            iterate(maxOuter, maxPasses, tolerance, true) && passiveGradientWithin(tolerance);
        // A warm start that does not get there is no better than a cold one.
        warm = finished;
        if (!warm && trace) trace->clear();
    }
    if (!warm) {
        startCold();
        finished = iterate(maxOuter, maxPasses, tolerance, false);
    }

    last.capReached = !finished;
    last.warm = warm;
    last.passes = passes;
    last.passiveCount = static_cast<int>(qr.size());
    last.relativeResidual = gradient.relativeResidual(x);
    warmStart.keep(x, finished && std::isfinite(last.relativeResidual), !warm);
}

void NnlsSolver::startCold() {
    resetCounts();
    qr.clear();
    std::fill(x, x + n, 0.0);
    std::fill(eligible.begin(), eligible.end(), 1);
}

void NnlsSolver::startWarm() {
    resetCounts();
    warmStart.restore(qr, gradient, b, x);
    std::fill(eligible.begin(), eligible.end(), 1);
    for (std::size_t p = 0; p < qr.size(); ++p) eligible[qr.variables()[p]] = 0;
}

void NnlsSolver::resetCounts() {
    std::fill(toRemove.begin(), toRemove.end(), 0);
    skipped.clear();
    passes = 0;
    last = NnlsDiagnostics{};
}

bool NnlsSolver::iterate(int maxOuter, int maxPasses, double tolerance, bool feasibleFirst) {
    if (feasibleFirst) {
        if (!runPasses(maxPasses, tolerance)) return false;
        std::copy(z.begin(), z.end(), x);
        if (passes >= maxPasses) return false;
    }
    int outer = 0;
    bool finished = true;
    while (bringIn(tolerance)) {
        if (!runPasses(maxPasses, tolerance)) {
            finished = false;
            break;
        }
        std::copy(z.begin(), z.end(), x);
        ++outer;
        if (passes >= maxPasses || outer >= maxOuter) {
            finished = false;
            break;
        }
    }
    last.outerIterations = outer;
    return finished;
}

bool NnlsSolver::passiveGradientWithin(double tolerance) {
    // At the optimum of the passive set its gradient entries are rounding
    // (below 1e-7 on the synthetic unit's streams, cold or warm); one above
    // the tolerance for bringing a variable in means that Q has drifted from
    // an orthonormal basis of the passive columns.
    gradient.exact(x, w.data());
    for (std::size_t p = 0; p < qr.size(); ++p)
        if (std::fabs(w[qr.variables()[p]]) > tolerance) return false;
    return true;
}

NnlsSolver::Choice NnlsSolver::choose(double tolerance, double tieBound) const {
    int best = -1;
    double top = -std::numeric_limits<double>::infinity();
    double second = top;
    for (std::size_t i = 0; i < n; ++i) {
        if (!eligible[i]) continue;
        if (w[i] > top) {
            second = top;
            top = w[i];
            best = static_cast<int>(i);
        } else if (w[i] > second) {
            second = w[i];
        }
    }
    Choice choice;
    if (top > tolerance) choice.variable = best;
    choice.nearTie =
        std::fabs(top - tolerance) <= tieBound || (top > tolerance && second >= top - tieBound);
    return choice;
}

bool NnlsSolver::bringIn(double tolerance) {
    for (const int variable : skipped) eligible[variable] = 1;
    skipped.clear();

    double tieBound = gradient.fast(x, qr.variables(), qr.size(), w.data());
    bool exact = false;
    for (;;) {
        const Choice choice = choose(tolerance, tieBound);
        if (choice.nearTie && !exact) {
            // Which entry leads, or whether any is above the tolerance, is
            // within rounding: decide on the gradient taken the direct way.
            gradient.exact(x, w.data());
            ++last.exactGradients;
            exact = true;
            continue;
        }
        const int t = choice.variable;
        if (t < 0) return false;
        eligible[t] = 0;
        if (qr.append(t, gradient.column(t), gradient.columnNorm(t), b, kDependentColumnRatio)) {
            note(NnlsStep::Kind::add, t);
            return true;
        }
        note(NnlsStep::Kind::skip, t);
        skipped.push_back(t);
    }
}

bool NnlsSolver::runPasses(int maxPasses, double tolerance) {
    for (bool first = true;; first = false) {
        if (!first) takeOutFlagged();
        ++passes;
        if (qr.solve(z.data()) > 0.0) return true;

        // Step from x toward z until the first passive variable reaches zero.
        const int* list = qr.variables();
        double alpha = std::numeric_limits<double>::infinity();
        for (std::size_t p = 0; p < qr.size(); ++p) {
            const int v = list[p];
            if (z[v] <= 0.0) alpha = std::min(alpha, x[v] / (x[v] - z[v]));
        }
        for (std::size_t i = 0; i < n; ++i) {
            z[i] -= x[i];
            x[i] += alpha * z[i];
        }
        std::fill(toRemove.begin(), toRemove.end(), 0);
        for (std::size_t p = 0; p < qr.size(); ++p) {
            const int v = list[p];
            eligible[v] = toRemove[v] = std::fabs(x[v]) <= tolerance;
        }
        if (passes >= maxPasses) return false;
    }
}

void NnlsSolver::takeOutFlagged() {
    for (std::size_t p = qr.size(); p-- > 0;) {
        const int v = qr.variables()[p];
        if (!toRemove[v]) continue;
        note(NnlsStep::Kind::remove, v);
        qr.remove(p);
    }
}

void NnlsSolver::note(NnlsStep::Kind kind, int variable) {
    if (trace) trace->push_back({kind, variable, passes});
}

}  // namespace kelo::engine
