# Zelvara: cross-built with MinGW-w64, run and tested under Wine.
#   make build   builds build/zelvara.exe
#   make run     starts Zelvara under Wine against the local stand-in site
#   make test    builds and runs the unit and end-to-end tests
#   make bench   measures the client against bare programs into bench/REPORT.md
#   make pictures  remakes the README's pictures in docs/ from make run's headless mode
#   make lint    builds with clang for Windows, warnings as errors, and runs clang-tidy
#   make dist    packs the tested exe into build/dist/zelvara-<version>-win64.zip
BUILD ?= build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: build run test bench lint dist pictures deps-build deps-run deps-test deps-lint clean

build: deps-build
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j2

run: deps-run build
	ZELVARA_BUILD=$(abspath $(BUILD)) scripts/run.sh

# The dist test unpacks the zip, so make test packs it first.
test: deps-test dist
	ZELVARA_BUILD=$(abspath $(BUILD)) tests/run.sh

bench: deps-test build
	ZELVARA_BUILD=$(abspath $(BUILD)) tests/env/session.sh -- /usr/bin/python3 bench/bench.py

pictures: deps-test build
	env -u DISPLAY ZELVARA_BUILD=$(abspath $(BUILD)) scripts/run.sh --pictures $(abspath docs)

dist: build
	/usr/bin/python3 scripts/dist.py $(abspath $(BUILD))

lint: deps-lint
	scripts/lint.sh

deps-build:
	@scripts/deps.sh build
deps-run:
	@scripts/deps.sh run
deps-test:
	@scripts/deps.sh test
deps-lint:
	@scripts/deps.sh lint

clean:
	rm -rf $(BUILD)
