#include "PlainNnls.h"

#include <cmath>
#include <limits>

#include "BlasFortran.h"
#include "SolverSettings.h"

namespace kelo::reference {

namespace {

const int kInc = 1;

struct Rotation {
    double c;
    double s;
};

Rotation rotationFor(double a, double e) {
    if (a != 0.0 && e != 0.0) {
        if (std::fabs(e) > std::fabs(a)) {
            const double tau = -a / e;
            const double s = 1.0 / std::sqrt(tau * tau + 1.0);
            return {-s * tau, s};
        }
        const double tau = -e / a;
        const double c = 1.0 / std::sqrt(tau * tau + 1.0);
        return {c, -c * tau};
    }
    if (a != 0.0) return {1.0, 0.0};
    if (e != 0.0) return {0.0, 1.0};
    return {1.0, 0.0};
}

class PlainSolver {
public:
    PlainSolver(const double* a, const double* b, double* x, int m, int n)
        : a(a),
          b(b),
          x(x),
          m(m),
          n(n),
          residual(m),
          w(n),
          z(n),
          column(m),
          columnCopy(m),
          qtb(n),
          passive(n),
          eligible(n, 1),
          toRemove(n, 0),
          q(static_cast<std::size_t>(n) * m),
          r(static_cast<std::size_t>(n) * n) {}

    PlainNnlsReport run(int maxOuter, int maxPasses, double tolerance) {
        for (int i = 0; i < n; ++i) x[i] = 0.0;
        for (;;) {
            const int t = pickAndAdd(tolerance);
            if (t < 0) break;
            if (!innerLoop(maxPasses, tolerance)) {
                report.capReached = true;
                break;
            }
            for (int i = 0; i < n; ++i) x[i] = z[i];
            ++report.outerIterations;
            if (report.passes >= maxPasses || report.outerIterations >= maxOuter) {
                report.capReached = true;
                break;
            }
        }
        report.passiveCount = k;
        return report;
    }

private:
    double* qColumn(int v) { return q.data() + static_cast<std::size_t>(v) * m; }
    double* rRow(int v) { return r.data() + static_cast<std::size_t>(v) * n; }
    double& rAt(int row, int col) { return r[static_cast<std::size_t>(row) * n + col]; }

    int pickAndAdd(double tolerance) {
        const double one = 1.0, minusOne = -1.0, zero = 0.0;
        dgemv_("N", &m, &n, &minusOne, a, &m, x, &kInc, &zero, residual.data(), &kInc);
        daxpy_(&m, &one, b, &kInc, residual.data(), &kInc);
        dgemv_("T", &m, &n, &one, a, &m, residual.data(), &kInc, &zero, w.data(), &kInc);

        std::vector<int> skipped;
        int t = -1;
        for (;;) {
            t = -1;
            double best = tolerance;
            for (int j = 0; j < n; ++j)
                if (eligible[j] && w[j] > best) {
                    best = w[j];
                    t = j;
                }
            if (t < 0) break;
            eligible[t] = 0;
            if (addColumn(t)) {
                report.steps.push_back({engine::NnlsStep::Kind::add, t, report.passes});
                break;
            }
            report.steps.push_back({engine::NnlsStep::Kind::skip, t, report.passes});
            skipped.push_back(t);
        }
        for (const int v : skipped) eligible[v] = 1;
        return t;
    }

    bool addColumn(int t) {
        const double* at = a + static_cast<std::size_t>(t) * m;
        for (int i = 0; i < m; ++i) column[i] = columnCopy[i] = at[i];
        for (int p = 0; p < k; ++p) {
            const int v = passive[p];
            const double d = ddot_(&m, qColumn(v), &kInc, column.data(), &kInc);
            const double minusD = -d;
            daxpy_(&m, &minusD, qColumn(v), &kInc, column.data(), &kInc);
            rAt(v, t) = ddot_(&m, qColumn(v), &kInc, columnCopy.data(), &kInc);
        }
        const double diagonal = dnrm2_(&m, column.data(), &kInc);
        const double norm = dnrm2_(&m, columnCopy.data(), &kInc);
        if (!(diagonal > engine::kDependentColumnRatio * norm)) return false;
        rAt(t, t) = diagonal;
        const double scale = 1.0 / diagonal;
        dscal_(&m, &scale, column.data(), &kInc);
        for (int i = 0; i < m; ++i) qColumn(t)[i] = column[i];
        qtb[t] = ddot_(&m, qColumn(t), &kInc, b, &kInc);
        passive[k++] = t;
        return true;
    }

    void removeAt(int p) {
        const int u = passive[p];
        for (int later = p + 1; later < k; ++later) {
            const int v = passive[later];
            const Rotation g = rotationFor(rAt(v, v), rAt(u, v));
            drot_(&n, rRow(v), &kInc, rRow(u), &kInc, &g.c, &g.s);
            drot_(&m, qColumn(v), &kInc, qColumn(u), &kInc, &g.c, &g.s);
            const int single = 1;
            drot_(&single, &qtb[v], &kInc, &qtb[u], &kInc, &g.c, &g.s);
        }
        for (int later = p + 1; later < k; ++later) passive[later - 1] = passive[later];
        --k;
    }

    double backSubstitute() {
        for (int i = 0; i < n; ++i) z[i] = 0.0;
        for (int p = k - 1; p >= 0; --p) {
            const int v = passive[p];
            double sum = qtb[v];
            for (int other = 0; other < k; ++other)
                if (other != p) sum -= rAt(v, passive[other]) * z[passive[other]];
            z[v] = sum / rAt(v, v);
        }
        double smallest = std::numeric_limits<double>::infinity();
        for (int p = 0; p < k; ++p) smallest = std::fmin(smallest, z[passive[p]]);
        return smallest;
    }

    bool innerLoop(int maxPasses, double tolerance) {
        for (bool first = true;; first = false) {
            if (!first) {
                for (int p = k - 1; p >= 0; --p) {
                    const int u = passive[p];
                    if (!toRemove[u]) continue;
                    report.steps.push_back({engine::NnlsStep::Kind::remove, u, report.passes});
                    removeAt(p);
                }
            }
            ++report.passes;
            if (backSubstitute() > 0.0) return true;

            double alpha = std::numeric_limits<double>::infinity();
            for (int p = 0; p < k; ++p) {
                const int v = passive[p];
                if (z[v] <= 0.0) {
                    const double ratio = x[v] / (x[v] - z[v]);
                    if (ratio < alpha) alpha = ratio;
                }
            }
            const double minusOne = -1.0;
            daxpy_(&n, &minusOne, x, &kInc, z.data(), &kInc);
            daxpy_(&n, &alpha, z.data(), &kInc, x, &kInc);
            for (int i = 0; i < n; ++i) toRemove[i] = 0;
            for (int p = 0; p < k; ++p) {
                const int v = passive[p];
                const int small = std::fabs(x[v]) <= tolerance;
                eligible[v] = small;
                toRemove[v] = small;
            }
            if (report.passes >= maxPasses) return false;
        }
    }

    const double* a;
    const double* b;
    double* x;
    int m;
    int n;
    std::vector<double> residual, w, z, column, columnCopy, qtb;
    std::vector<int> passive;
    int k = 0;
    std::vector<int> eligible, toRemove;
    std::vector<double> q;  // column v of Q at v * m
    std::vector<double> r;  // R[v][u] at v * n + u
    PlainNnlsReport report;
};

}  // namespace

PlainNnlsReport plainNnls(const double* a, const double* b, double* x, int m, int n, int maxOuter,
                          int maxPasses, double tolerance) {
    return PlainSolver(a, b, x, m, n).run(maxOuter, maxPasses, tolerance);
}

}  // namespace kelo::reference
