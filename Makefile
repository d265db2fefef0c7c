# The two commands of the README, and the builds behind them.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps build build-asan test test-normal test-asan demo screenshots bench clean

all: build

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE=ON -DCORVANE_BUILD_GUI=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# Every test twice: a normal build, then one with AddressSanitizer and
# UndefinedBehaviorSanitizer.
test: test-normal test-asan

test-normal: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-asan: build-asan
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

demo: build
	scripts/demo $(BUILD)

# Pictures of the window (under Xvfb) into docs/screenshots/.
screenshots: build
	scripts/screenshots $(BUILD)

# The benchmarks and the budget table, from a Release build of their own.
bench: deps
	JOBS=2 scripts/bench build-bench

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-bench
