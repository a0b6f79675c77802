# The two commands of the quick start, over CMake:
#   make run    set up, build, prepare build/run and start the program there
#   make test   set up, build and run the whole test suite
BUILD_DIR := build
MAKEFLAGS += --no-print-directory
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all setup build run test clean

all: build

setup:
	@sh tools/setup/install-packages.sh

$(BUILD_DIR)/CMakeCache.txt: | setup
	cmake -S . -B $(BUILD_DIR)

build: setup $(BUILD_DIR)/CMakeCache.txt
	@cmake --build $(BUILD_DIR) --parallel $(JOBS)

# Without a display the application cannot show itself: the live check of
# the same camera and unit runs instead, so the instrument is seen working.
run: build
	@cmake --build $(BUILD_DIR) --target workdir
	@cd $(BUILD_DIR)/run && if [ -n "$${DISPLAY}$${WAYLAND_DISPLAY}" ]; then \
	  exec ../bin/KeloViewApp; \
	else \
	  echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): running kelo live --seconds 5 instead of the window."; \
	  exec ../bin/kelo live --seconds 5; \
	fi

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure --parallel $(JOBS)

clean:
	rm -rf $(BUILD_DIR)

# make bench: the benchmarks, then SciPy's NNLS timed on the engine's own
# problems (Debian's python3-scipy, installed when missing). Not part of
# make test; take figures on a quiet machine.
.PHONY: bench
bench: build
	@/usr/bin/python3 -c "import scipy" 2>/dev/null || { \
	  as_root=""; [ "$$(id -u)" -eq 0 ] || as_root=sudo; \
	  $$as_root apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $$as_root apt-get install -y --no-install-recommends python3-scipy; }
	@$(BUILD_DIR)/bin/sim_camera_bench
	@$(BUILD_DIR)/bin/spectrum_plot_bench --benchmark_repetitions=10 \
	  --benchmark_report_aggregates_only=true
	@$(BUILD_DIR)/bin/engine_bench --benchmark_repetitions=10 \
	  --benchmark_report_aggregates_only=true \
	  --benchmark_out=$(BUILD_DIR)/engine_bench.json --benchmark_out_format=json
	@/usr/bin/python3 bench/compare_scipy.py $(BUILD_DIR)/bin/nnls_problem_export \
	  $(BUILD_DIR)/engine_bench.json

# make test-tsan: the acquisition tests, built with ThreadSanitizer in a
# folder of their own, only what they need. OpenBLAS keeps to one thread
# there: its own threads are not instrumented and would show their
# hand-over as races. Qt's library is not instrumented either; the
# suppressions name only its internals, and the longest history keeps the
# stacks of both sides of a report, so that they can be matched.
TSAN_DIR := build-tsan
.PHONY: test-tsan
test-tsan: setup
	@[ -f $(TSAN_DIR)/CMakeCache.txt ] || \
	  cmake -S . -B $(TSAN_DIR) -DKELO_SANITIZE_THREAD=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	@cmake --build $(TSAN_DIR) --parallel $(JOBS) --target acquisition_tests
	@cd $(TSAN_DIR) && OPENBLAS_NUM_THREADS=1 \
	  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 history_size=7 suppressions=$(CURDIR)/tests/acquisition/tsan-suppressions.txt" \
	  ctest --output-on-failure --parallel $(JOBS) -R '^(LiveLoop|SingleAcquisition|Recording)\.'

# make test-asan: the whole suite built with AddressSanitizer and
# UndefinedBehaviorSanitizer in a folder of its own. Leaks are reported,
# except those the suppressions name (libraries of the system that keep
# their caches until exit). The programs the build runs itself (the unit,
# the manual's pictures) run instrumented too.
ASAN_DIR := build-asan
SANITIZER_ENV := \
  ASAN_OPTIONS="detect_leaks=1 abort_on_error=0 strict_string_checks=1 detect_stack_use_after_return=1" \
  UBSAN_OPTIONS="print_stacktrace=1 halt_on_error=1" \
  LSAN_OPTIONS="suppressions=$(CURDIR)/tests/lsan-suppressions.txt print_suppressions=0"
.PHONY: test-asan
test-asan: setup
	@[ -f $(ASAN_DIR)/CMakeCache.txt ] || \
	  cmake -S . -B $(ASAN_DIR) -DKELO_SANITIZE_ADDRESS=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	@$(SANITIZER_ENV) cmake --build $(ASAN_DIR) --parallel $(JOBS)
	@cd $(ASAN_DIR) && $(SANITIZER_ENV) ctest --output-on-failure --parallel $(JOBS)

# make fuzz: the fuzz targets of tests/fuzz, built with clang's libFuzzer
# (installed when missing) in a folder of their own, each run for
# FUZZ_SECONDS (default 60) on its corpus, or for FUZZ_RUNS inputs when set,
# as many at a time as there are cores.
# The corpora grow in build-fuzz/corpus/; findings land in build-fuzz/findings/.
FUZZ_DIR := build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_RUNS ?= 0
FUZZ_TARGETS := system_file user_file calibration colour_data colour_chart \
  reflectance cell_file frame_file
.PHONY: fuzz
fuzz:
	@sh tools/setup/install-packages.sh clang libclang-rt-14-dev
	@[ -f $(FUZZ_DIR)/CMakeCache.txt ] || CC=clang CXX=clang++ \
	  cmake -S . -B $(FUZZ_DIR) -DKELO_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	@cmake --build $(FUZZ_DIR) --parallel $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	@sh tests/fuzz/run-fuzzers.sh $(FUZZ_DIR) $(CURDIR) $(FUZZ_SECONDS) $(FUZZ_RUNS) $(JOBS) \
	  $(FUZZ_TARGETS)

# make soak: the fault soak on the simulated camera, 100 unplug and plug-in
# cycles with settings changes every 100 ms, cancelled trigger waits,
# aborted recordings and saves that must fail cleanly (several minutes).
# Not part of make test. Its figures replace the "## Fault soak" section of
# docs/reliability.md. As root it mounts two small tmpfs folders for the
# read-only and the full filesystem; otherwise the write failure is injected.
.PHONY: soak
soak: setup $(BUILD_DIR)/CMakeCache.txt
	@cmake --build $(BUILD_DIR) --parallel $(JOBS) --target kelo_soak
	@$(BUILD_DIR)/bin/kelo_soak --cycles 100 --report docs/reliability.md
