// Speed of the spectral engine's costly steps on the synthetic unit: the
// blur of a camera frame, the spectrum solve (fast and plain side by side,
// with one or two BLAS threads), a stream of live frames solved each from
// the previous one and each from nothing, two solves at once over an OpenMP
// team, and a frame's cell values.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "BlasFortran.h"
#include "GaussianBlur.h"
#include "NnlsProblems.h"
#include "NnlsSolver.h"
#include "PlainBlur.h"
#include "PlainNnls.h"
#include "SolverSettings.h"
#include "SyntheticProblems.h"
#include "engine/LeastSquares.h"
#include "engine/SpectralProcessor.h"

namespace {

using kelo::bench::problemFor;
using kelo::bench::ProblemKind;
using kelo::bench::streamFor;
using kelo::bench::StreamKind;
using kelo::engine::SolveStart;

constexpr int kFrameWidth = 1280;
constexpr int kFrameHeight = 670;

std::vector<double> cameraFrame() {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> pixel(0, 4095);
    std::vector<double> frame(static_cast<std::size_t>(kFrameWidth) * kFrameHeight);
    for (double& value : frame) value = pixel(random);
    return frame;
}

void BM_GaussianBlur(benchmark::State& state) {
    std::vector<double> frame = cameraFrame();
    kelo::engine::GaussianBlur blur(kFrameWidth, kFrameHeight, 50.0);
    for (auto _ : state) {
        blur.apply(frame.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_GaussianBlur)->Unit(benchmark::kMillisecond);

void BM_GaussianBlurPlain(benchmark::State& state) {
    std::vector<double> frame = cameraFrame();
    for (auto _ : state) {
        kelo::reference::plainGaussBlur(frame, kFrameWidth, kFrameHeight, 50.0);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_GaussianBlurPlain)->Unit(benchmark::kMillisecond);

void BM_Nnls(benchmark::State& state, ProblemKind kind) {
    const kelo::reference::SolverProblem& p = problemFor(kind);
    openblas_set_num_threads(static_cast<int>(state.range(0)));
    const int cap = kelo::engine::iterationCap(p.n);
    kelo::engine::NnlsSolver solver;
    std::vector<double> x(p.n);
    solver.prepare(p.a, p.n, p.n);
    for (auto _ : state) {
        solver.solve(p.b.data(), x.data(), cap, cap, kelo::engine::kSolverTolerance);
        benchmark::DoNotOptimize(x.data());
    }
    state.counters["passes"] = solver.diagnostics().passes;
    openblas_set_num_threads(1);
}
BENCHMARK_CAPTURE(BM_Nnls, restricted_broadband, ProblemKind::restrictedBroadband)
    ->ArgName("blas_threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Nnls, full_broadband, ProblemKind::fullBroadband)
    ->ArgName("blas_threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Nnls, restricted_line, ProblemKind::restrictedLine)
    ->ArgName("blas_threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond);

// One iteration solves the whole stream of live frames; the first solve of
// each pass starts cold, as the first spectrum of a live run does.
void BM_NnlsStream(benchmark::State& state, StreamKind kind, SolveStart start) {
    const std::vector<kelo::reference::SolverProblem>& stream = streamFor(kind);
    const std::size_t n = stream.front().n;
    const int cap = kelo::engine::iterationCap(n);
    kelo::engine::NnlsSolver solver;
    std::vector<double> x(n);
    solver.prepare(stream.front().a, n, n);
    for (auto _ : state) {
        for (std::size_t frame = 0; frame < stream.size(); ++frame) {
            solver.solve(stream[frame].b.data(), x.data(), cap, cap,
                         kelo::engine::kSolverTolerance, frame == 0 ? SolveStart::cold : start);
            benchmark::DoNotOptimize(x.data());
        }
    }
    state.counters["frames"] = static_cast<double>(stream.size());
    state.counters["spectra_per_s"] = benchmark::Counter(
        static_cast<double>(stream.size()), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK_CAPTURE(BM_NnlsStream, restricted_broadband_stream_warm, StreamKind::restrictedBroadband,
                  SolveStart::warm)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NnlsStream, restricted_broadband_stream_cold, StreamKind::restrictedBroadband,
                  SolveStart::cold)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NnlsStream, full_broadband_stream_warm, StreamKind::fullBroadband,
                  SolveStart::warm)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NnlsStream, full_broadband_stream_cold, StreamKind::fullBroadband,
                  SolveStart::cold)
    ->Unit(benchmark::kMillisecond);

void BM_NnlsPlain(benchmark::State& state, ProblemKind kind) {
    const kelo::reference::SolverProblem& p = problemFor(kind);
    openblas_set_num_threads(static_cast<int>(state.range(0)));
    const int n = static_cast<int>(p.n);
    const int cap = kelo::engine::iterationCap(p.n);
    std::vector<double> x(p.n);
    int passes = 0;
    for (auto _ : state) {
        passes = kelo::reference::plainNnls(p.a, p.b.data(), x.data(), n, n, cap, cap,
                                            kelo::engine::kSolverTolerance)
                     .passes;
        benchmark::DoNotOptimize(x.data());
    }
    state.counters["passes"] = passes;
    openblas_set_num_threads(1);
}
BENCHMARK_CAPTURE(BM_NnlsPlain, restricted_broadband, ProblemKind::restrictedBroadband)
    ->ArgName("blas_threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NnlsPlain, full_broadband, ProblemKind::fullBroadband)
    ->ArgName("blas_threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NnlsPlain, restricted_line, ProblemKind::restrictedLine)
    ->ArgName("blas_threads")
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

// Forming A^T A for a new matrix: once per calibration set and mode.
void BM_NnlsPrepare(benchmark::State& state, ProblemKind kind) {
    const kelo::reference::SolverProblem& p = problemFor(kind);
    for (auto _ : state) {
        kelo::engine::NnlsSolver solver;
        solver.prepare(p.a, p.n, p.n);
        benchmark::ClobberMemory();
    }
}
BENCHMARK_CAPTURE(BM_NnlsPrepare, restricted, ProblemKind::restrictedBroadband)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NnlsPrepare, full, ProblemKind::fullBroadband)->Unit(benchmark::kMillisecond);

// Two restricted broadband solves in one call, on one or two OpenMP threads.
void BM_LsqnSolvePair(benchmark::State& state) {
    const kelo::reference::SolverProblem& p = problemFor(ProblemKind::restrictedBroadband);
    const int n = static_cast<int>(p.n);
    const int cap = kelo::engine::iterationCap(p.n);
    std::vector<double> a(p.a, p.a + p.n * p.n);
    a.insert(a.end(), p.a, p.a + p.n * p.n);
    std::vector<double> b = p.b;
    b.insert(b.end(), p.b.begin(), p.b.end());
    std::vector<double> x(2 * p.n);
    const int threads = static_cast<int>(state.range(0));
    for (auto _ : state) {
        lsqnSolve(a.data(), b.data(), x.data(), 0, cap, cap, 2, n, n, 1, threads,
                  kelo::engine::kSolverTolerance);
        benchmark::DoNotOptimize(x.data());
    }
    state.counters["spectra_per_s"] =
        benchmark::Counter(2.0 * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LsqnSolvePair)
    ->ArgName("omp_threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A frame to cell values without the blur normalisation.
void BM_ComputeCellValues(benchmark::State& state) {
    std::ostream quiet(nullptr);
    SpectralProcessor processor(quiet);
    {
        kelo::reference::ScratchUnitFolder unit;
        processor.setGaussBlurMode(0);
        if (!processor.initialize(kelo::reference::ScratchUnitFolder::unitId())) {
            state.SkipWithError("the synthetic unit does not initialise");
            return;
        }
    }
    const std::vector<double> pixels = cameraFrame();
    const Frame frame(pixels.begin(), pixels.end());
    std::vector<double> cells;
    for (auto _ : state) {
        state.PauseTiming();
        Frame copy = frame;
        state.ResumeTiming();
        if (!processor.computeCellValues(std::move(copy), cells)) {
            state.SkipWithError("computeCellValues refused the frame");
            break;
        }
        benchmark::DoNotOptimize(cells.data());
    }
}
BENCHMARK(BM_ComputeCellValues)->Unit(benchmark::kMillisecond);

}  // namespace
