# Front door of the build. `make test` is what CI runs on a clean clone.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

.PHONY: all build deps test demo windows bench bench-smoke sanitize fuzz clean

all: build

deps:
	./scripts/install-deps

build:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The DLLs and their packages are built too, and CTest runs the Wine suites
# and installer tests on them (tests/wine/); a host that runs no 32-bit
# programs skips the 32-bit ones.
test: deps
	$(MAKE) build
	$(MAKE) windows
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# Velmora.dll and velmora.exe for 64-bit and 32-bit hosts, cross-compiled
# into build-windows/x64/ and build-windows/x86/.
windows: build
	BUILD_DIR=$(BUILD_DIR) ./scripts/build-windows
	for arch in x64 x86; do \
		BUILD_DIR=$(BUILD_DIR) ./scripts/build-msi $$arch build-windows/$$arch build-windows/ || exit 1; \
	done

# Speed against pugixml and scaling, in a Release build (-O2).
BENCH_DIR ?= build-bench
bench: deps
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O2
	cmake --build $(BENCH_DIR) -j $(JOBS) --target velmora_bench velmora_cli
	./$(BENCH_DIR)/velmora_bench --benchmark_min_time=0.2

# Every benchmark once with tiny inputs, so that the benchmark code cannot rot.
bench-smoke: build
	VELMORA_BENCH_SMOKE=1 ./$(BUILD_DIR)/velmora_bench --benchmark_min_time=0.001

# The main job: build a sample deal, save it, read it back and show it.
demo: deps
	$(MAKE) build
	./$(BUILD_DIR)/velmora demo

# The unit tests under ASan and UBSan, leaks counted as failures, and the
# concurrency test under TSan, each build in its own folder. Not run under
# the sanitizers: the Wine suites and installer tests (Windows binaries from
# MinGW, nothing this compiler builds) and the install check (it links a plain consumer against
# the installed library, which holds instrumented code and cannot link).
# clang, because gcc's -Wmaybe-uninitialized misfires on instrumented
# library code (std::regex) and warnings are errors.
ASAN_DIR ?= build-asan
TSAN_DIR ?= build-tsan
SANITIZE_CXX ?= clang++
SANITIZE_EXCLUDED = ^(WineComSuite\..*|WineInstaller\..*|InstalledTreeServesAConsumer)$$
sanitize: deps
	cmake -S . -B $(ASAN_DIR) -DCMAKE_CXX_COMPILER=$(SANITIZE_CXX) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
		-DVELMORA_SANITIZE=address,undefined
	cmake --build $(ASAN_DIR) -j $(JOBS) --target velmora_tests
	cd $(ASAN_DIR) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure -j $(JOBS) -E '$(SANITIZE_EXCLUDED)'
	cmake -S . -B $(TSAN_DIR) -DCMAKE_CXX_COMPILER=$(SANITIZE_CXX) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
		-DVELMORA_SANITIZE=thread
	cmake --build $(TSAN_DIR) -j $(JOBS) --target velmora_tests
	TSAN_OPTIONS=halt_on_error=1 ./$(TSAN_DIR)/velmora_tests --gtest_filter='ProviderConcurrency.*'

# The libFuzzer targets (fuzz/), built with clang, ASan and UBSan, each run
# for FUZZ_SECONDS; FUZZ_FLAGS go to libFuzzer (e.g. -jobs=1).
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_FLAGS ?=
fuzz: deps
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
		-DVELMORA_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	./scripts/run-fuzz $(FUZZ_DIR) $(FUZZ_SECONDS) $(FUZZ_FLAGS)

clean:
	rm -rf $(BUILD_DIR) build-windows $(BENCH_DIR) $(ASAN_DIR) $(TSAN_DIR) $(FUZZ_DIR)
