# Set-up, build, run and test on a Debian machine.
#   make run    install what is missing, build, run the main program
#   make test   install what is missing, build, run the whole test suite
#   make asan / make tsan   the suite under ASan+UBSan / TSan
#   make examples   install what is missing, build the Python package, draw
#                   the gallery of examples/python into $(BUILD)/examples
BUILD ?= build
JOBS ?= $(shell nproc)
PYTHON ?= /usr/bin/python3
CMAKE_FLAGS ?=

.PHONY: deps build run test asan tsan examples install clean

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

clean:
	rm -rf build build-asan build-tsan
