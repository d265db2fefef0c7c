# The two commands of the README, and the builds behind them.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
TSAN_BUILD ?= build-tsan
# Seconds each fuzz target runs under `make fuzz`, and how many run at once.
FUZZ_SECONDS  ?= 600
FUZZ_PARALLEL ?= 1
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps build build-asan build-fuzz build-tsan test test-normal test-asan test-fuzz fuzz tsan demo screenshots bench clean

all: build

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)

# The sanitizer build compiles the sources in batches (a unity build): the
# normal build has already compiled each file on its own, and this one
# builds in half the time.
build-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE=ON -DCORVANE_BUILD_GUI=OFF -DCORVANE_WERROR=ON \
	  -DCMAKE_UNITY_BUILD=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# clang with libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer: the
# fuzz targets only.
build-fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_FUZZ=ON \
	  -DCORVANE_BUILD_GUI=OFF -DCORVANE_BUILD_TESTS=OFF
	cmake --build $(FUZZ_BUILD) --target fuzzers -j $(JOBS)

build-tsan: deps
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCORVANE_TSAN=ON -DCORVANE_BUILD_GUI=OFF -DCORVANE_WERROR=ON
	cmake --build $(TSAN_BUILD) --target app_tests core_tests download_tests corvane_bundle -j $(JOBS)

# Every test twice: a normal build, then one with AddressSanitizer and
# UndefinedBehaviorSanitizer; then every fuzz target a few seconds over its
# seed corpus.
test: test-normal test-asan test-fuzz

test-normal: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-asan: build-asan
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

test-fuzz: build-fuzz
	ctest --test-dir $(FUZZ_BUILD) --output-on-failure -j $(JOBS)

# Every fuzz target for FUZZ_SECONDS; prints the executions of each.
fuzz: build-fuzz
	scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_PARALLEL)

# The tests that run threads (the line check's download thread and the
# controller that waits for it) under ThreadSanitizer.
tsan: build-tsan
	TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 $(TSAN_BUILD)/tests/app/app_tests
	TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 $(TSAN_BUILD)/tests/core/core_tests
	TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 $(TSAN_BUILD)/tests/core/download_tests

demo: build
	scripts/demo $(BUILD)

# Pictures of the window (under Xvfb) into docs/screenshots/.
screenshots: build
	scripts/screenshots $(BUILD)

# The benchmarks and the budget table, from a Release build of their own
# (valgrind besides, for the readers' instruction counts).
bench: deps
	CORVANE_BENCH=1 scripts/install-deps
	JOBS=2 scripts/bench build-bench

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(TSAN_BUILD) build-bench
