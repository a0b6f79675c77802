#!/usr/bin/python3
"""SciPy's NNLS on the engine benchmark's problems, next to the engine.

usage: compare_scipy.py EXPORT_TOOL [BENCH_JSON]

EXPORT_TOOL is nnls_problem_export; it writes the problems (the synthetic
unit's normal matrices with a halogen lamp and a laser line, and streams of
live frames of a drifting halogen lamp) into a scratch folder. BENCH_JSON is
engine_bench's --benchmark_out file; its medians of the engine (one BLAS
thread) are printed beside SciPy's, per spectrum. SciPy solves every frame
of a stream from nothing; the engine cold, and warm from the previous frame.
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

REPEATS = 15          # single problems
STREAM_REPEATS = 3    # passes over a whole stream


def load(folder, name, n, frames):
    def read(suffix):
        return np.fromfile(folder / f"{name}-{suffix}.f64", dtype="<f8")

    a = read("A").reshape((n, n), order="F")
    return a, read("b").reshape((frames, n)), read("x").reshape((frames, n))


def scipy_ms_per_spectrum(a, rhs, repeats):
    """Median over the repeats of the mean time per right-hand side."""
    times = []
    for _ in range(repeats):
        start = time.perf_counter()
        for b in rhs:
            nnls(a, b, maxiter=3 * a.shape[1])
        times.append((time.perf_counter() - start) * 1e3 / len(rhs))
    return statistics.median(times)


def engine_medians(json_path):
    """Median real time of each benchmark, keyed by (function, problem)."""
    if json_path is None:
        return {}
    data = json.loads(Path(json_path).read_text())
    medians = {}
    for run in data["benchmarks"]:
        if run.get("aggregate_name") != "median":
            continue
        # BM_Nnls/restricted_broadband/blas_threads:1_median,
        # BM_NnlsStream/restricted_broadband_stream_warm_median
        parts = run["run_name"].split("/")
        if len(parts) < 2 or (len(parts) > 2 and parts[2] != "blas_threads:1"):
            continue
        medians[(parts[0], parts[1])] = run["real_time"]
    return medians


def ratio(scipy_ms, ours_ms):
    return f"{scipy_ms / ours_ms:7.1f}x" if ours_ms else f"{'-':>8}"


def number(value):
    return f"{value:9.2f}" if value else f"{'-':>9}"


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    ours = engine_medians(sys.argv[2] if len(sys.argv) == 3 else None)
    with tempfile.TemporaryDirectory(prefix="kelo-nnls-") as scratch:
        folder = Path(scratch)
        subprocess.run([sys.argv[1], str(folder)], check=True)
        print("milliseconds per spectrum (streams: mean over their frames)")
        print(f"{'problem':28} {'n':>4} {'frames':>6} {'SciPy':>9} {'cold':>9} {'warm':>9}"
              f" {'plain':>9} {'SciPy/cold':>10} {'SciPy/warm':>10}"
              f" {'max|x - x_SciPy|/peak':>22} {'residual':>9} {'SciPy res.':>10}")
        for line in (folder / "problems.txt").read_text().split("\n"):
            if not line:
                continue
            name, n, frames = line.split()
            n, frames = int(n), int(frames)
            a, rhs, xs = load(folder, name, n, frames)
            stream = frames > 1
            scipy_ms = scipy_ms_per_spectrum(a, rhs, STREAM_REPEATS if stream else REPEATS)
            if stream:
                cold = ours.get(("BM_NnlsStream", f"{name}_cold"))
                warm = ours.get(("BM_NnlsStream", f"{name}_warm"))
                cold, warm = (v / frames if v else None for v in (cold, warm))
                plain = None
            else:
                cold = ours.get(("BM_Nnls", name))
                warm = None
                plain = ours.get(("BM_NnlsPlain", name))
            spread = residual = scipy_residual = 0.0
            for b, x in zip(rhs, xs):
                reference, _ = nnls(a, b, maxiter=3 * a.shape[1])
                spread = max(spread, np.max(np.abs(x - reference)) / np.max(np.abs(reference)))
                residual = max(residual, np.linalg.norm(a @ x - b) / np.linalg.norm(b))
                scipy_residual = max(scipy_residual,
                                     np.linalg.norm(a @ reference - b) / np.linalg.norm(b))
            print(f"{name:28} {n:>4} {frames:>6} {scipy_ms:9.2f} {number(cold)} {number(warm)}"
                  f" {number(plain)} {ratio(scipy_ms, cold):>10} {ratio(scipy_ms, warm):>10}"
                  f" {spread:22.2e} {residual:9.1e} {scipy_residual:10.1e}")


if __name__ == "__main__":
    main()
