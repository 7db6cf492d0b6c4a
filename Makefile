# The two commands a fresh clone needs: `make run` and `make test`. Each first installs what it
# is missing (scripts/install-deps): `make run` only what the window needs, `make web` what the
# page needs, and the rest everything; then they build with CMake's presets.
PRESET ?= $(if $(CI),ci,dev)
BUILD_DIR := build-$(PRESET)

FUZZ_SECONDS ?= 60
FUZZERS := number_reading_fuzzer calculation_run_fuzzer
FUZZ_DIR := build-fuzz

.PHONY: all deps deps-window deps-page build test run web screenshot bench bench-web package format format-check tidy asan tsan libcxx wasm-core fuzz fuzz-merge clean

all: build

deps:
	scripts/install-deps all

deps-window:
	scripts/install-deps window

deps-page:
	scripts/install-deps page

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

# Every test of both trees, the window's and the page's, in one ctest run, as many at once as the
# machine has cores. The reproducibility test's two builds keep the cores busy for a minute and
# start first; the other tests, which mostly wait for windows and browsers, run beside them.
test: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)
	cmake --preset web
	cmake --build --preset web
	mkdir -p build-tests
	echo 'subdirs("../$(BUILD_DIR)" "../build-web")' >build-tests/CTestTestfile.cmake
	ctest --test-dir build-tests --output-on-failure --parallel $(shell nproc)

# The calculator as its users get it: an optimised build, whose sweeps run four to five times
# as fast as the tests' debug build. It needs a desktop to open on; without one, say so rather
# than let Qt abort.
run: deps-window
	cmake --preset release
	cmake --build --preset release
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY$$QT_QPA_PLATFORM" ]; then \
		echo "make run: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are unset)"; \
		exit 1; \
	fi
	build-release/app/lmx2330a-calc

# The calculator as one web page that opens from disk in a browser, with nothing else to install:
# build-web/lmx2330a-calc.html, built by Debian's emscripten. Its browser tests are make test's.
web: deps-page
	cmake --preset web
	cmake --build --preset web --target web_page
	sha256sum build-web/lmx2330a-calc.html

# docs/screenshot.png: the window after "Calculate RF" with the start-up settings, drawn on a
# virtual X server. SCALE=2 draws it as a high-DPI screen does, with twice the pixels each way,
# into docs/screenshot@2x.png.
SCALE ?= 1
SCREENSHOT := docs/screenshot$(if $(filter-out 1,$(SCALE)),@$(SCALE)x).png
screenshot: build
	mkdir -p docs
	QT_SCALE_FACTOR=$(SCALE) xvfb-run -a -s "-screen 0 1280x1024x24" \
		$(BUILD_DIR)/tests/ui/form1_screenshot $(SCREENSHOT)

# Times the sweep in the core and in the window (Release build), and prints a table.
bench: deps
	cmake --preset bench
	cmake --build --preset bench
	build-bench/bench/pll_bench $(BENCH_ARGS)

# Times the web page in headless Chromium, from the web preset's build, and prints a table:
# BENCH_WEB_REPEATS runs of each timing, the best (or the median) kept. It opens the test page,
# whose hook times the core alone; the page users get is the same but for the hooks.
BENCH_WEB_REPEATS ?= 3
bench-web: deps
	cmake --preset web
	cmake --build --preset web
	/usr/bin/python3 bench/web_bench.py build-web/lmx2330a-calc-test.html $(BENCH_WEB_REPEATS)

# The Debian package, from an optimised build: build-release/lmx2330a-calc_<version>_<arch>.deb,
# and its SHA-256. The same commit gives the same bytes wherever and whenever it is built; the
# package's files carry SOURCE_DATE_EPOCH if set, else the last commit's time.
package: deps
	cmake --workflow --preset package

# Every C++ source, formatted by .clang-format; format-check fails on any that is not.
CLANG_FORMAT ?= clang-format-14
CLANG_TIDY ?= run-clang-tidy-14
CXX_SOURCES = $(shell find $(wildcard app bench calc form fuzz tests ui web) -name '*.cpp' -o -name '*.h')

format: deps
	$(CLANG_FORMAT) -i $(CXX_SOURCES)

format-check: deps
	$(CLANG_FORMAT) --dry-run --Werror $(CXX_SOURCES)

# clang-tidy over the program's own code (.clang-tidy), with the build's compile commands.
tidy: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)
	$(CLANG_TIDY) -p $(BUILD_DIR) -quiet -header-filter='^$(CURDIR)/(calc|form|ui|app)/' \
		'^$(CURDIR)/(calc|form|ui|app)/'

# The whole test suite again, built by clang with address and undefined-behaviour sanitizers.
asan: deps
	cmake --workflow --preset asan

# The core and its tests again under the thread sanitizer, which watches the sweep's threads.
# Without address randomisation where the machine allows it: clang 14's sanitizer cannot map its
# shadow memory on kernels that randomise more address bits than it knows.
TSAN_RUN := $(shell setarch -R true 2>/dev/null && echo setarch -R)
tsan: deps
	$(TSAN_RUN) cmake --workflow --preset tsan

# The core and its tests again with the other standard libraries it must build with: clang's
# libc++ (the family of macOS's), and emscripten's, compiled to WebAssembly and run under node.
libcxx: deps
	cmake --workflow --preset libcxx

wasm-core: deps
	cmake --workflow --preset wasm-core

# Builds the libFuzzer targets and runs each for FUZZ_SECONDS, starting from its kept corpus in
# fuzz/corpus/ (which is only read; what a run finds goes to build-fuzz/corpus/). A crash, a
# broken property, a leak or a hang fails the target, and libFuzzer saves the input that did it
# under build-fuzz/artifacts/.
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	@set -e; for fuzzer in $(FUZZERS); do \
	    mkdir -p $(FUZZ_DIR)/corpus/$$fuzzer $(FUZZ_DIR)/artifacts; \
	    echo "fuzz: $$fuzzer for $(FUZZ_SECONDS) s"; \
	    $(FUZZ_DIR)/fuzz/$$fuzzer -max_total_time=$(FUZZ_SECONDS) -timeout=25 -max_len=1024 \
	        -print_final_stats=1 -artifact_prefix=$(FUZZ_DIR)/artifacts/$$fuzzer- \
	        $(FUZZ_DIR)/corpus/$$fuzzer fuzz/corpus/$$fuzzer; \
	done

# Replaces the inputs fuzzing found in each kept corpus (files named by their SHA-1) with the
# smallest set of them, and of those found since, that adds to the edges the named inputs cover
# (edges, not hit counts, so that the kept corpus stays a few hundred small files); named inputs
# (hand-written seeds, inputs that once failed) always stay.
SHA1_NAME := -regextype egrep -regex '.*/[0-9a-f]{40}'
fuzz-merge:
	@set -e; for fuzzer in $(FUZZERS); do \
	    rm -rf $(FUZZ_DIR)/merged/$$fuzzer; mkdir -p $(FUZZ_DIR)/merged/$$fuzzer; \
	    find fuzz/corpus/$$fuzzer -type f ! $(SHA1_NAME) -exec cp {} $(FUZZ_DIR)/merged/$$fuzzer/ \; ; \
	    $(FUZZ_DIR)/fuzz/$$fuzzer -merge=1 -use_counters=0 -max_len=1024 $(FUZZ_DIR)/merged/$$fuzzer \
	        fuzz/corpus/$$fuzzer $(FUZZ_DIR)/corpus/$$fuzzer; \
	    find fuzz/corpus/$$fuzzer -type f $(SHA1_NAME) -delete; \
	    find $(FUZZ_DIR)/merged/$$fuzzer -type f $(SHA1_NAME) -exec cp {} fuzz/corpus/$$fuzzer/ \; ; \
	done

clean:
	rm -rf build-*
