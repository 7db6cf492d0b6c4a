# The two commands a fresh clone needs: `make run` and `make test`. Both install what is missing
# (scripts/install-deps), then build with CMake's presets.
PRESET ?= $(if $(CI),ci,dev)
BUILD_DIR := build-$(PRESET)

.PHONY: all deps build test run screenshot bench package format format-check tidy clean

all: build

deps:
	scripts/install-deps

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

test: deps
	cmake --workflow --preset $(PRESET)

# The calculator needs a desktop to open on; without one, say so rather than let Qt abort.
run: build
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY$$QT_QPA_PLATFORM" ]; then \
		echo "make run: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are unset)"; \
		exit 1; \
	fi
	$(BUILD_DIR)/app/lmx2330a-calc

# docs/screenshot.png: the window after "Calculate RF" with the start-up settings, drawn on a
# virtual X server.
screenshot: build
	mkdir -p docs
	xvfb-run -a -s "-screen 0 1280x1024x24" $(BUILD_DIR)/tests/ui/form1_screenshot docs/screenshot.png

# Times the sweep in the core and in the window (Release build), and prints a table.
bench: deps
	cmake --preset bench
	cmake --build --preset bench
	build-bench/bench/pll_bench $(BENCH_ARGS)

# The Debian package, from an optimised build: build-release/lmx2330a-calc_<version>_<arch>.deb.
package: deps
	cmake --workflow --preset package

# Every C++ source, formatted by .clang-format; format-check fails on any that is not.
CLANG_FORMAT ?= clang-format-14
CLANG_TIDY ?= run-clang-tidy-14
CXX_SOURCES = $(shell find $(wildcard app bench calc fuzz tests ui) -name '*.cpp' -o -name '*.h')

format: deps
	$(CLANG_FORMAT) -i $(CXX_SOURCES)

format-check: deps
	$(CLANG_FORMAT) --dry-run --Werror $(CXX_SOURCES)

# clang-tidy over the program's own code (.clang-tidy), with the build's compile commands.
tidy: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)
	$(CLANG_TIDY) -p $(BUILD_DIR) -j 2 -quiet -header-filter='^$(CURDIR)/(calc|ui|app)/' \
		'^$(CURDIR)/(calc|ui|app)/'

clean:
	rm -rf build-*
