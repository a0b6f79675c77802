// Writes the benchmark's solver problems into a folder for other solvers:
// NAME-A.f64 (n x n, column-major), NAME-b.f64 and NAME-x.f64 (this
// engine's solution), all little-endian doubles, and problems.txt with one
// "NAME n frames" line per problem. A stream of live frames has `frames`
// right-hand sides and solutions one after another (solved warm from its
// second frame on); a single problem has 1.
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

// Solves `problems` (one matrix) in order, the first cold and the others as
// `later` says, and writes them under `name`; false when a file fails.
bool exportProblems(const std::string& folder, const std::string& name,
                    const std::vector<const kelo::reference::SolverProblem*>& problems,
                    kelo::engine::SolveStart later, std::ostream& list) {
    const std::size_t n = problems.front()->n;
    const int cap = kelo::engine::iterationCap(n);
    kelo::engine::NnlsSolver solver;
    solver.prepare(problems.front()->a, n, n);
    std::vector<double> b, x(problems.size() * n);
    for (std::size_t frame = 0; frame < problems.size(); ++frame) {
        const std::vector<double>& rhs = problems[frame]->b;
        b.insert(b.end(), rhs.begin(), rhs.end());
        solver.solve(rhs.data(), x.data() + frame * n, cap, cap, kelo::engine::kSolverTolerance,
                     frame == 0 ? kelo::engine::SolveStart::cold : later);
    }
    const std::string base = folder + "/" + name;
    if (!writeDoubles(base + "-A.f64", problems.front()->a, n * n) ||
        !writeDoubles(base + "-b.f64", b.data(), b.size()) ||
        !writeDoubles(base + "-x.f64", x.data(), x.size())) {
        std::cerr << "cannot write " << base << "\n";
        return false;
    }
    list << name << ' ' << n << ' ' << problems.size() << '\n';
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: nnls_problem_export FOLDER\n";
        return 2;
    }
    const std::string folder = argv[1];
    std::ofstream list(folder + "/problems.txt");
    for (const kelo::bench::ProblemKind kind : kelo::bench::kProblemKinds)
        if (!exportProblems(folder, kelo::bench::problemName(kind),
                            {&kelo::bench::problemFor(kind)}, kelo::engine::SolveStart::cold,
                            list))
            return 1;
    for (const kelo::bench::StreamKind kind : kelo::bench::kStreamKinds) {
        std::vector<const kelo::reference::SolverProblem*> frames;
        for (const auto& problem : kelo::bench::streamFor(kind)) frames.push_back(&problem);
        if (!exportProblems(folder, kelo::bench::streamName(kind), frames,
                            kelo::engine::SolveStart::warm, list))
            return 1;
    }
    return list ? 0 : 1;
}
