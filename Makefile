# Front door of the build. `make test` is what CI runs on a clean clone.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

.PHONY: all build deps test demo windows bench bench-smoke clean

all: build

deps:
	./scripts/install-deps

build:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)
	cmake --build $(BUILD_DIR) -j $(JOBS)

# With the cross toolchain and Wine present, the DLL is built too and CTest
# runs the Wine suite on it (tests/wine/).
test: deps
	$(MAKE) build
	if command -v x86_64-w64-mingw32-g++-posix >/dev/null && command -v wine >/dev/null; then \
		$(MAKE) windows; \
	fi
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# Velmora.dll and velmora.exe, cross-compiled into build-windows/.
windows: build
	BUILD_DIR=$(BUILD_DIR) ./scripts/build-windows

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

clean:
	rm -rf $(BUILD_DIR) build-windows $(BENCH_DIR)
