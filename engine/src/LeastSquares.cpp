#include "engine/LeastSquares.h"

#include <omp.h>

#include <algorithm>
#include <cstddef>
#include <vector>

#include "BlasFortran.h"
#include "NnlsSolver.h"

namespace kelo::engine {

namespace {

struct TeamMember {
    NnlsSolver solver;
    std::vector<double> columnMajor;  // a row-major problem, transposed
};

const double* columnMajorCopy(const double* a, std::size_t m, std::size_t n,
                              std::vector<double>& copy) {
    copy.resize(m * n);
    for (std::size_t i = 0; i < m; ++i)
        for (std::size_t j = 0; j < n; ++j) copy[j * m + i] = a[i * n + j];
    return copy.data();
}

}  // namespace

void setSolverThreads(int blasThreads, int ompThreads) {
    openblas_set_num_threads(std::max(1, blasThreads));
    omp_set_num_threads(std::max(1, ompThreads));
}

}  // namespace kelo::engine

void lsqnSolve(const double* A, const double* B, double* X, int rowMajor, int maxOuter,
               int maxPasses, int P, int m, int n, int blasThreads, int ompThreads,
               double tolerance) {
    using kelo::engine::TeamMember;
    kelo::engine::setSolverThreads(blasThreads, ompThreads);
    if (P <= 0 || n <= 0) return;
    const std::size_t rows = static_cast<std::size_t>(std::max(m, 0));
    const std::size_t columns = static_cast<std::size_t>(n);
    if (rows == 0) {
        std::fill(X, X + static_cast<std::size_t>(P) * columns, 0.0);
        return;
    }

    // One team per calling thread: a user-interface thread and an
    // acquisition thread never share a solver.
    thread_local std::vector<TeamMember> callerTeam;
    std::vector<TeamMember>& team = callerTeam;  // the caller's, seen by every team thread
    const std::size_t teamSize = static_cast<std::size_t>(omp_get_max_threads());
    if (team.size() < teamSize) team.resize(teamSize);

#pragma omp parallel for schedule(static)
    for (int p = 0; p < P; ++p) {
        TeamMember& member = team[static_cast<std::size_t>(omp_get_thread_num())];
        const double* a = A + static_cast<std::size_t>(p) * rows * columns;
        if (rowMajor) a = kelo::engine::columnMajorCopy(a, rows, columns, member.columnMajor);
        member.solver.prepare(a, rows, columns);
        member.solver.solve(B + static_cast<std::size_t>(p) * rows,
                            X + static_cast<std::size_t>(p) * columns, maxOuter, maxPasses,
                            tolerance);
    }
}
