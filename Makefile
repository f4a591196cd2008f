# The two commands: `make run` and `make test`. Both install what is missing first.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=
# Rebuilds are faster through ccache where it is installed; nothing needs it.
CCACHE_FLAG := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
ARGS ?=
FUZZ_SECONDS ?= 60

.PHONY: deps configure build run test test-sanitize fuzz bench format clean package package-check \
	check-fresh-debian test-share mutants

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CCACHE_FLAG) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/src/app/Veskard $(ARGS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Test lines against code lines; the project keeps it at 0.40 or below.
test-share:
	@scripts/test-share

# Plants the faults of scripts/mutants.toml one at a time in build-mutants/ and
# counts those the tests catch (see scripts/mutants); MUTANTS='id-* ...' picks some.
# Not part of `make test`: a whole run takes a long time.
mutants: deps
	@JOBS=$(JOBS) scripts/mutants $(MUTANTS)

# The libFuzzer targets in their own clang build, each run for FUZZ_SECONDS.
fuzz:
	@scripts/install-deps --fuzz
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DVESKARD_FUZZ=ON -DVESKARD_GUI=OFF -DBUILD_TESTING=OFF \
		"-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer" \
		>/dev/null
	@cmake --build build-fuzz -j $(JOBS)
	@build-fuzz/fuzz/MakeSeeds build-fuzz/corpus
	@fuzz/run-fuzzers.sh build-fuzz $(FUZZ_SECONDS)

# Times the command line's lock and unlock against dd on files of BENCH_SIZES
# (default "1M 64M 1G") in a Release build of its own; see bench/run-bench.
# Then the main window's longest stall while it locks and unlocks a 1 GiB
# file in $(BUILD), offscreen; see bench/WindowStall.cpp.
bench: configure
	@scripts/install-deps --bench
	@cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVESKARD_GUI=OFF \
		-DBUILD_TESTING=OFF >/dev/null
	@cmake --build build-bench -j $(JOBS) --target veskard-cli
	@bench/run-bench build-bench
	@cmake --build $(BUILD) -j $(JOBS) --target WindowStallBench
	@$(BUILD)/bench/WindowStallBench $(BUILD)

# The whole program and its tests cross-built for Windows with mingw-w64 and
# a static Qt (scripts/build-qt-windows builds it into the user's cache), and
# run under Wine, in a Wine prefix of their own inside the build folder
# (created once; Mono and Gecko are not wanted, so nothing prompts). The
# native veskard-cli is built first in $(BUILD), configured as `make build`
# would if it is not yet, for the test of records crossing between the
# systems. Wine hands a Windows program only the variables named with a WINE
# prefix, which it takes off: the offscreen platform finds its fonts in
# Debian's Noto folder, and Qt writes its warnings to standard error rather
# than to a debugger that is not there. The engine links the static libsodium
# built into the same cache.
# The toolchain file counts only when the folder is first configured; later
# runs pass it again, and CMake is told not to warn that it went unused.
WINDOWS_BUILD ?= build-windows
WINDOWS_QT ?= $(HOME)/.cache/veskard/qt-6.4.2-mingw-static
WINE_ENV = WINEPREFIX=$(CURDIR)/$(WINDOWS_BUILD)/wineprefix WINEDEBUG=-all \
	WINEDLLOVERRIDES="mscoree,mshtml=" \
	WINEQT_QPA_FONTDIR=Z:/usr/share/fonts/opentype/noto WINEQT_FORCE_STDERR_LOGGING=1
.PHONY: configure-windows build-windows test-windows package-windows
configure-windows:
	@scripts/install-deps --windows
	@cmake -S . -B $(WINDOWS_BUILD) --no-warn-unused-cli \
		-DCMAKE_TOOLCHAIN_FILE=$(WINDOWS_QT)/lib/cmake/Qt6/qt.toolchain.cmake \
		-DQT_CHAINLOAD_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake -DQT_HOST_PATH=/usr \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo $(CCACHE_FLAG) \
		-DVESKARD_NATIVE_CLI=$(CURDIR)/$(BUILD)/src/cli/veskard-cli \
		-DVESKARD_SODIUM_PREFIX="$$(scripts/build-qt-windows --print-prefixes | sed -n 's/^sodium=//p')" \
		$(CMAKE_FLAGS) >/dev/null

build-windows: configure-windows
	@cmake --build $(WINDOWS_BUILD) -j $(JOBS)

test-windows: configure-windows
	@[ -f $(BUILD)/CMakeCache.txt ] || \
		cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CCACHE_FLAG) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target veskard-cli
	@cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	@if [ ! -f $(WINDOWS_BUILD)/wineprefix/system.reg ]; then \
		echo "Creating the Wine prefix in $(WINDOWS_BUILD)/wineprefix"; \
		$(WINE_ENV) wineboot -i >/dev/null 2>&1 && $(WINE_ENV) wineserver -w; \
	fi
	@# One server and Wine's own services for the whole run, started here with
	@# nowhere to write, so that no test inherits them and none has to wait for
	@# a server that is still shutting down after the previous test.
	@$(WINE_ENV) wineserver -p 2>/dev/null || true # one may be running already
	@$(WINE_ENV) /usr/lib/wine/wine64 wineboot >/dev/null 2>&1 </dev/null
	@cd $(WINDOWS_BUILD) && $(WINE_ENV) ctest --output-on-failure -j $(JOBS); \
		status=$$?; $(WINE_ENV) wineserver -k; exit $$status

# Veskard-VERSION-win64.zip and Veskard-VERSION-setup.exe in this folder (see
# scripts/package-windows), then the installer tried under Wine: installed,
# used and uninstalled silently, as the user (tests/cross/installer.sh).
package-windows: build-windows
	@scripts/install-deps --windows --package-windows
	@scripts/package-windows $(WINDOWS_BUILD)
	@$(WINE_ENV) xvfb-run -a -s "-screen 0 1024x768x24" sh tests/cross/installer.sh \
		/usr/lib/wine/wine64 Veskard-$$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' \
		$(WINDOWS_BUILD)/CMakeCache.txt)-setup.exe; \
		status=$$?; $(WINE_ENV) wineserver -k; exit $$status

# The engine, the platform layer, the command line and their tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, with warnings as errors.
SANITIZE_BUILD ?= build-sanitize
test-sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVESKARD_GUI=OFF \
		-DVESKARD_SANITIZE=ON -DVESKARD_WERROR=ON $(CCACHE_FLAG) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	@# The sparse 4 GiB round trip (label slow) runs natively only: under the
	@# sanitizers it would take many minutes and find nothing the small files do not.
	cd $(SANITIZE_BUILD) && ctest --output-on-failure -j $(JOBS) -LE slow

# The Debian package veskard_VERSION-REVISION_ARCH.deb, copied into this folder:
# a build of its own under /usr with Debian's build flags (hardened, and
# -ffile-prefix-map so that the build folder leaves no trace), made by CPack.
PACKAGE_BUILD ?= build-package
package:
	@scripts/install-deps --package
	@export DEB_BUILD_MAINT_OPTIONS=hardening=+all && \
	cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
		-DBUILD_TESTING=OFF $(CCACHE_FLAG) \
		"-DCMAKE_CXX_FLAGS=$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
		"-DCMAKE_EXE_LINKER_FLAGS=$$(dpkg-buildflags --get LDFLAGS)" $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	@rm -f $(PACKAGE_BUILD)/veskard_*.deb
	@cd $(PACKAGE_BUILD) && cpack -G DEB
	@cp $(PACKAGE_BUILD)/veskard_*.deb .

# The package checked as Debian checks one: lintian, see scripts/check-package.
package-check: package
	@scripts/check-package $(PACKAGE_BUILD)/veskard_*.deb

# The README's first commands, run as a newcomer would on a fresh minimal
# Debian 12 made with debootstrap; see scripts/check-fresh-debian. As root.
check-fresh-debian:
	@scripts/install-deps --fresh
	@scripts/check-fresh-debian

format: configure
	@cmake --build $(BUILD) --target format

clean:
	rm -rf $(BUILD)
