#!/bin/sh
# Runs each fuzz target of the fuzz build for a while on its own copy of its
# seed corpus, JOBS targets at a time, and prints one line per target:
# inputs run, seconds, inputs per second, corpus size, findings.
#   run-fuzzers.sh BUILD_DIR SOURCE_DIR SECONDS RUNS JOBS TARGET...
# RUNS, when not 0, runs each target for that many inputs instead of SECONDS.
# An input that crashes a target, or runs over 10 s, or takes over 2 GB, is
# kept in BUILD_DIR/findings/TARGET/; replay it with the target's program.
set -u
# The targets work in folders of their own: every path is made absolute.
build=$(cd "$1" && pwd) source=$(cd "$2" && pwd) seconds=$3 runs=$4 jobs=$5
shift 5

scratch=/tmp
[ -d /dev/shm ] && [ -w /dev/shm ] && scratch=/dev/shm
mkdir -p "$build/logs"

# One target: its run, then its line in logs/TARGET.line.
fuzz() {
    target=$1
    corpus=$build/corpus/$target findings=$build/findings/$target log=$build/logs/$target.log
    mkdir -p "$corpus" "$findings"
    if [ "$runs" -gt 0 ]; then limit="-runs=$runs"; else limit="-max_total_time=$seconds"; fi
    # Standard output closed: the engine's timing lines would drown the log.
    # A small quarantine of freed memory and short allocation stacks keep the
    # inputs per second up (use after free is still caught within 16 MB);
    # the working folders go to memory where the machine has /dev/shm.
    ASAN_OPTIONS="quarantine_size_mb=16 malloc_context_size=10" TMPDIR=$scratch \
    OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 "$build/fuzz/fuzz_$target" "$limit" \
        -close_fd_mask=1 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" "$source/tests/fuzz/corpus/$target" \
        > "$log" 2>&1
    done_line=$(grep '^Done ' "$log" | tail -1)
    inputs=$(grep 'stat::number_of_executed_units' "$log" | awk '{print $2}')
    elapsed=$(echo "$done_line" | sed -n 's/.* in \([0-9]*\) second.*/\1/p')
    [ -n "$elapsed" ] || elapsed=0
    rate=$( [ "$elapsed" -gt 0 ] && echo $(( ${inputs:-0} / elapsed )) || echo -)
    found=$(ls "$findings" | wc -l)
    [ -n "$done_line" ] || found="crashed"
    printf '%-14s %10s %8s %10s %8s %9s\n' "$target" "${inputs:--}" "$elapsed" "$rate" \
        "$(ls "$corpus" | wc -l)" "$found" > "$build/logs/$target.line"
}

running=0
for target in "$@"; do
    rm -f "$build/logs/$target.line"
    fuzz "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait
        running=0
    fi
done
wait

summary=$build/fuzz-summary.txt
printf '%-14s %10s %8s %10s %8s %9s\n' target inputs seconds 'inputs/s' corpus findings > "$summary"
status=0
for target in "$@"; do
    line=$(cat "$build/logs/$target.line" 2>/dev/null || echo "$target (no result)")
    echo "$line" >> "$summary"
    [ "$(echo "$line" | awk '{print $NF}')" = 0 ] || status=1
done
cat "$summary"
exit $status
