# The one entry point: make run, make test, make bench, make fuzz.
.PHONY: deps configure build run install package test test-normal test-asan test-windows windows bench fuzz fuzz-coverage soak killtest clean

BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
WIN_BUILD ?= build-win
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
PREFIX ?= /usr/local

deps:
	@scripts/deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run.sh $(BUILD)

# Installs under PREFIX, inside DESTDIR when that is given, without the
# debugging information of the RelWithDebInfo build.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix $(PREFIX) --strip

# The Debian package, build/skinshell_<version>_<arch>.deb.
package: build
	cd $(BUILD) && cpack -G DEB

test: test-normal test-asan test-windows

# The desktop tests wait on a real X server and window manager; on a loaded
# machine one of them can miss its moment, so a failed test gets one more
# run. A test that fails twice fails the suite.
CTEST = ctest --output-on-failure --repeat until-pass:2

test-normal: build
	cd $(BUILD) && $(CTEST)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSKINSHELL_SANITIZE=ON -DSKINSHELL_GTK=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 $(CTEST)

# Long runs, kept out of `make test`: the program driven for SOAK_MINUTES
# (10) under Xvfb and openbox, and the kill test with KILLS (1000) kills.
soak: build
	nice -n 10 python3 scripts/soak.py $(BUILD) $(or $(SOAK_MINUTES),10)

killtest: build
	cd $(BUILD) && SKINSHELL_KILLS=$(or $(KILLS),1000) nice -n 10 bin/functional_tests --gtest_filter='KillTest.*'

# The Windows program, cross-built with MinGW-w64; its tests run under Wine.
windows: configure
	@scripts/deps.sh windows
	cmake --build $(BUILD) -j $(JOBS) --target dist_skins
	cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw.cmake -DSKINSHELL_HOST_DIST=$(abspath $(BUILD))/dist
	cmake --build $(WIN_BUILD) -j $(JOBS)

test-windows: windows
	cmake --build $(WIN_BUILD) -j $(JOBS) --target unit_tests
	@scripts/wine-tests.sh $(WIN_BUILD)

# The Google Benchmark programs on the headless desktop, then the real
# desktop's figures against a bare WebKitGTK window (Xvfb and openbox).
bench: build
	$(BUILD)/bin/skinshell_bench
	scripts/startup-bench.py $(BUILD) 7
	scripts/idle-bench.py $(BUILD)
	scripts/resize-bench.py $(BUILD)

# The fuzz targets need only the skin layer, and their seed corpora made
# from the shipped skins; one target per fuzz/*.cpp. FUZZ_RUNS=N stops each
# target after N executions or FUZZ_SECONDS (then an hour by default); FUZZ_TARGET=fuzz_x runs
# only that one.
FUZZ_TARGETS = $(basename $(notdir $(wildcard fuzz/*.cpp)))

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKINSHELL_FUZZ=ON -DSKINSHELL_SANITIZE=ON -DSKINSHELL_GTK=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_seeds $(FUZZ_TARGETS)
	@scripts/fuzz.sh $(FUZZ_BUILD) $(or $(FUZZ_SECONDS),$(if $(FUZZ_RUNS),3600,60)) $(FUZZ_RUNS)

# Lines and branches of each target's code under test that its corpus
# reaches, from a separate clang coverage build.
fuzz-coverage: deps
	@scripts/fuzz-coverage.sh $(FUZZ_BUILD) $(FUZZ_BUILD)-coverage

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(FUZZ_BUILD)-coverage $(WIN_BUILD)
