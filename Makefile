# The two commands: `make run` and `make test`. Both install what is missing first.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=
ARGS ?=
FUZZ_SECONDS ?= 60

.PHONY: deps configure build run test fuzz bench format clean

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/startup/Veskard $(ARGS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

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

format: configure
	@cmake --build $(BUILD) --target format

clean:
	rm -rf $(BUILD)
