# Front door of the build. `make test` is what CI runs on a clean clone.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

.PHONY: all build deps test demo clean

all: build

deps:
	./scripts/install-deps

build:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: deps
	$(MAKE) build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# The main job: build a sample deal, save it, read it back and show it.
demo: deps
	$(MAKE) build
	./$(BUILD_DIR)/velmora demo

clean:
	rm -rf $(BUILD_DIR)
