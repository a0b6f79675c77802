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

run: build
	@cmake --build $(BUILD_DIR) --target workdir
	@cd $(BUILD_DIR)/run && ../bin/kelo info K3S00042

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure --parallel $(JOBS)

clean:
	rm -rf $(BUILD_DIR)
