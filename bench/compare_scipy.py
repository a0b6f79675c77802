#!/usr/bin/python3
"""SciPy's NNLS on the engine benchmark's problems, next to the engine.

usage: compare_scipy.py EXPORT_TOOL [BENCH_JSON]

EXPORT_TOOL is nnls_problem_export; it writes the problems (the synthetic
unit's normal matrices with a halogen lamp and a laser line) into a scratch
folder. BENCH_JSON is engine_bench's --benchmark_out file; its medians of
the fast and plain solvers (one BLAS thread) are printed beside SciPy's.
"""
import json
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import numpy as np
from scipy.optimize import nnls

REPEATS = 15


def load(folder, name, n):
    def read(suffix):
        return np.fromfile(folder / f"{name}-{suffix}.f64", dtype="<f8")

    a = read("A").reshape((n, n), order="F")
    return a, read("b"), read("x")


def scipy_median_ms(a, b):
    times = []
    for _ in range(REPEATS):
        start = time.perf_counter()
        nnls(a, b, maxiter=3 * a.shape[1])
        times.append((time.perf_counter() - start) * 1e3)
    return statistics.median(times)


def engine_medians(json_path):
    if json_path is None:
        return {}
    data = json.loads(Path(json_path).read_text())
    medians = {}
    for run in data["benchmarks"]:
        name = run["name"]
        if run.get("aggregate_name") != "median" or "blas_threads:1" not in name:
            continue
        # BM_Nnls/restricted_broadband/blas_threads:1_median
        kind, problem = name.split("/")[0], name.split("/")[1]
        medians[(kind, problem)] = run["real_time"]
    return medians


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    ours = engine_medians(sys.argv[2] if len(sys.argv) == 3 else None)
    with tempfile.TemporaryDirectory(prefix="kelo-nnls-") as scratch:
        folder = Path(scratch)
        subprocess.run([sys.argv[1], str(folder)], check=True)
        print(f"{'problem':22} {'n':>4} {'SciPy ms':>9} {'fast ms':>8} {'plain ms':>9}"
              f" {'SciPy/fast':>11} {'max|x - x_SciPy|/peak':>22}"
              f" {'residual':>9} {'SciPy res.':>10}")
        for line in (folder / "problems.txt").read_text().split("\n"):
            if not line:
                continue
            name, n = line.split()
            a, b, x = load(folder, name, int(n))
            reference, _ = nnls(a, b, maxiter=3 * a.shape[1])
            scipy_ms = scipy_median_ms(a, b)
            fast = ours.get(("BM_Nnls", name))
            plain = ours.get(("BM_NnlsPlain", name))
            ratio = f"{scipy_ms / fast:11.1f}" if fast else f"{'-':>11}"
            spread = np.max(np.abs(x - reference)) / np.max(np.abs(reference))
            residual = np.linalg.norm(a @ x - b) / np.linalg.norm(b)
            scipy_residual = np.linalg.norm(a @ reference - b) / np.linalg.norm(b)
            print(f"{name:22} {n:>4} {scipy_ms:9.2f} "
                  f"{fast if fast else float('nan'):8.2f} {plain if plain else float('nan'):9.2f}"
                  f" {ratio} {spread:22.2e} {residual:9.1e} {scipy_residual:10.1e}")


if __name__ == "__main__":
    main()
