# Two entry points for users: `make demo` runs the program's main job on a built-in example,
# `make test` builds everything and runs every test. Both install missing Debian packages first.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test demo bench clean

all: build

deps:
	./scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DELSETRY_WERROR=ON

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

demo: build
	./scripts/demo $(BUILD_DIR)

bench: build
	./scripts/bench $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR)
