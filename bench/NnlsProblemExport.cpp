// Writes the benchmark's solver problems into a folder for other solvers:
// NAME-A.f64 (n x n, column-major), NAME-b.f64 and NAME-x.f64 (this
// engine's solution), all little-endian doubles, and problems.txt with one
// "NAME n" line per problem.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "NnlsProblems.h"
#include "NnlsSolver.h"
#include "SolverSettings.h"

namespace {

bool writeDoubles(const std::string& path, const double* values, std::size_t count) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(values),
              static_cast<std::streamsize>(count * sizeof(double)));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: nnls_problem_export FOLDER\n";
        return 2;
    }
    const std::string folder = argv[1];
    std::ofstream list(folder + "/problems.txt");
    for (const kelo::bench::ProblemKind kind : kelo::bench::kProblemKinds) {
        const auto& p = kelo::bench::problemFor(kind);
        kelo::engine::NnlsSolver solver;
        std::vector<double> x(p.n);
        const int cap = kelo::engine::iterationCap(p.n);
        solver.prepare(p.a, p.n, p.n);
        solver.solve(p.b.data(), x.data(), cap, cap, kelo::engine::kSolverTolerance);
        const std::string base = folder + "/" + kelo::bench::problemName(kind);
        if (!writeDoubles(base + "-A.f64", p.a, p.n * p.n) ||
            !writeDoubles(base + "-b.f64", p.b.data(), p.n) ||
            !writeDoubles(base + "-x.f64", x.data(), p.n)) {
            std::cerr << "cannot write " << base << "\n";
            return 1;
        }
        list << kelo::bench::problemName(kind) << ' ' << p.n << '\n';
    }
    return list ? 0 : 1;
}
