// Batch non-negative least squares: P independent problems solved in one
// call, spread over an OpenMP team.
#pragma once

// A holds P matrices of m x n doubles one after another (column-major when
// rowMajor is 0, row-major when 1), B P right-hand sides of m values, X
// receives P solutions of n values, each computed from x = 0. maxOuter and
// maxPasses cap the outer iterations and inner passes of each problem. The
// BLAS library's and OpenMP's thread counts are set to blasThreads and
// ompThreads for the process, and stay so afterwards. Each calling thread
// keeps one solver per team thread, with the products of the matrices it
// saw last, so repeated calls with the same matrices allocate nothing.
void lsqnSolve(const double* A, const double* B, double* X, int rowMajor, int maxOuter,
               int maxPasses, int P, int m, int n, int blasThreads, int ompThreads,
               double tolerance);

namespace kelo::engine {

// The thread counts lsqnSolve sets, for callers that solve one problem at a
// time without it. One BLAS thread suits the engine's sizes: a solve is a
// chain of small dependent steps that a second thread only slows down.
void setSolverThreads(int blasThreads, int ompThreads);

}  // namespace kelo::engine
