# Zelvara: cross-built with MinGW-w64, run and tested under Wine.
#   make build   builds build/zelvara.exe
#   make run     starts Zelvara under Wine against the local stand-in site
#   make test    builds and runs the unit and end-to-end tests
#   make bench   measures the client against bare programs into bench/REPORT.md,
#                then soaks it (below)
#   make soak    500 pages in a row, the process's resources sampled, into bench/SOAK.md
BUILD ?= build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: build run test bench soak deps-build deps-run deps-test clean

build: deps-build
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j2

run: deps-run build
	ZELVARA_BUILD=$(abspath $(BUILD)) scripts/run.sh

test: deps-test build
	ZELVARA_BUILD=$(abspath $(BUILD)) tests/run.sh

bench: deps-test build
	ZELVARA_BUILD=$(abspath $(BUILD)) tests/env/session.sh -- /usr/bin/python3 bench/bench.py
	ZELVARA_BUILD=$(abspath $(BUILD)) tests/env/session.sh -- /usr/bin/python3 bench/soak.py

soak: deps-test build
	ZELVARA_BUILD=$(abspath $(BUILD)) tests/env/session.sh -- /usr/bin/python3 bench/soak.py

deps-build:
	@scripts/deps.sh build
deps-run:
	@scripts/deps.sh run
deps-test:
	@scripts/deps.sh test

clean:
	rm -rf $(BUILD)
