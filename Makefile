# Set-up, build, run and test on a Debian machine.
#   make run    install what is missing, build, run the main program
#   make test   install what is missing, build, run the whole test suite
#   make asan / make tsan   the suite under ASan+UBSan / TSan
#   make windows      cross-build the Windows version (MinGW-w64) into
#                     build-windows; make windows-test runs its suite under Wine
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: deps build run test asan tsan windows windows-test install clean

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

windows:
	@sh tools/install-deps.sh --windows
	cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DQM_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build build-windows -j $(JOBS)

windows-test: windows
	cd build-windows && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf build build-asan build-tsan build-windows
