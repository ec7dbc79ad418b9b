# Set-up, build, run and test on a Debian machine.
#   make run    install what is missing, build, run the main program
#   make test   install what is missing, build, run the whole test suite
#   make asan / make tsan   the suite under ASan+UBSan / TSan
#   make examples   install what is missing, build the Python package, draw
#                   the gallery of examples/python into $(BUILD)/examples
#   make fuzz   the fuzzer over every export (clang, libFuzzer, ASan+UBSan) for
#               FUZZ_SECONDS (default 600), then its thread phase under TSan
#   make windows      cross-build the Windows version (MinGW-w64) into
#                     build-windows; make windows-test runs its suite under Wine
BUILD ?= build
JOBS ?= $(shell nproc)
PYTHON ?= /usr/bin/python3
CMAKE_FLAGS ?=
FUZZ_SECONDS ?= 600

.PHONY: deps build run test asan tsan examples fuzz windows windows-test install clean

deps:
	@sh tools/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	sh tools/run-main.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

asan:
	$(MAKE) test BUILD=build-asan CMAKE_FLAGS="-DQM_SANITIZE=address -DQM_BUILD_BENCH=OFF"

tsan:
	$(MAKE) test BUILD=build-tsan CMAKE_FLAGS="-DQM_SANITIZE=thread -DQM_BUILD_BENCH=OFF"

examples:
	@sh tools/install-deps.sh --examples
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target qmanlys_python
	PYTHONPATH=$(BUILD)/python $(PYTHON) examples/python/run_all.py $(BUILD)/examples

fuzz:
	sh tests/fuzz/run.sh $(FUZZ_SECONDS) long
	sh tests/fuzz/run.sh --threads 10

windows:
	@sh tools/install-deps.sh --windows
	cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DQM_BUILD_BENCH=OFF -DQM_BUILD_PYTHON=OFF $(CMAKE_FLAGS)
	cmake --build build-windows -j $(JOBS)

windows-test: windows
	cd build-windows && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf build build-asan build-tsan build-fuzz build-fuzz-tsan build-windows
