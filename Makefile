# Shortcuts for developers; the scripts do the work and need nothing but /bin/sh.
BUILD_DIR ?= build

.PHONY: all test demo fuzz bench clean

all:
	./scripts/build $(BUILD_DIR)

test:
	./scripts/test $(BUILD_DIR)

demo:
	./scripts/demo $(BUILD_DIR)

fuzz:
	./scripts/fuzz

bench: all
	$(BUILD_DIR)/tools/bench-load/elsetry-bench-load

clean:
	rm -rf $(BUILD_DIR) build-fuzz build-asan demo-run
