# Zelvara: cross-built with MinGW-w64, run and tested under Wine.
#   make build   builds build/zelvara.exe (x64)
#   make build-x86  builds build/x86/zelvara.exe (x86)
#   make run     starts Zelvara under Wine against the local stand-in site
#   make test    builds both, checks that they build reproducibly, and runs
#                the unit and end-to-end tests against each (x64's also
#                under Wine 10)
#   make fuzz    runs each fuzz target of the native core for FUZZ_SECONDS (60)
#   make kill-loop  kills the client during saves ZELVARA_KILLS (100) times
#   make bench   measures the client against bare programs into bench/REPORT.md,
#                then soaks it (below)
#   make soak    500 pages in a row, the process's resources sampled, into bench/SOAK.md
#   make pictures  remakes the README's pictures in docs/ from make run's headless mode
#   make lint    builds with clang for Windows, warnings as errors, and runs clang-tidy
#   make dist    packs the tested exes into build/dist/zelvara-<version>-win32.zip
#                and -win64.zip, with their SHA256SUMS
#   make repro   builds both again elsewhere and compares the exes and zips
BUILD ?= build
BUILD32 = $(BUILD)/x86
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release
NATIVE = $(BUILD)/native
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = settings accounts address placement

.PHONY: build build-x86 repro run test bench soak kill-loop native native-test fuzz lint dist pictures deps-build deps-run deps-test deps-lint clean

build: deps-build
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j2

build-x86: deps-build
	cmake -S . -B $(BUILD32) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake $(CMAKE_FLAGS)
	cmake --build $(BUILD32) -j2

run: deps-run build
	ZELVARA_BUILD=$(abspath $(BUILD)) scripts/run.sh

# The dist test unpacks the zips, so make test packs them first. Both
# sizes' suites run side by side, each in sessions of its own. x86's need
# Wine's 32-bit side: on a kernel without IA-32 emulation it runs under the
# CPU emulator that deps.sh registers, and where none could be, x86's suites
# are reported as not run. The x64 exe's suites also run under Wine 10, in
# the Debian 13 root deps.sh makes (tests/env/wine10.sh), with a scaled
# screen's scenarios; without that root they are reported as not run.
test: deps-test dist native
	$(MAKE) native-test FUZZ_SECONDS=20
	$(MAKE) repro
	ZELVARA_DIST=$(abspath $(BUILD))/dist tests/sizes.sh $(abspath $(BUILD)) $(abspath $(BUILD32))

# The functional core built natively with clang, sanitised, with its fuzzers.
native: deps-test
	cmake -S tests/native -B $(NATIVE) -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14
	cmake --build $(NATIVE) -j2

native-test: native fuzz
	$(NATIVE)/core_tests

# Each target starts from the seeds in tests/fuzz/corpus and keeps what it
# finds in build/native/corpus_<target>.
fuzz: native
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(NATIVE)/corpus_$$t && \
	  $(NATIVE)/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -max_len=8192 -artifact_prefix=$(NATIVE)/ \
	    $(NATIVE)/corpus_$$t tests/fuzz/corpus/$$t >$(NATIVE)/fuzz_$$t.log 2>&1 \
	    || { tail -n 40 $(NATIVE)/fuzz_$$t.log; exit 1; }; \
	  echo "fuzz_$$t: $$(grep -o 'Done [0-9]* runs' $(NATIVE)/fuzz_$$t.log)"; \
	done

bench: deps-test build
	ZELVARA_BUILD=$(abspath $(BUILD)) tests/env/session.sh -- /usr/bin/python3 bench/bench.py
	ZELVARA_BUILD=$(abspath $(BUILD)) tests/env/session.sh -- /usr/bin/python3 bench/soak.py

soak: deps-test build
	ZELVARA_BUILD=$(abspath $(BUILD)) tests/env/session.sh -- /usr/bin/python3 bench/soak.py

kill-loop: deps-test build
	ZELVARA_BUILD=$(abspath $(BUILD)) tests/env/session.sh -- /usr/bin/python3 bench/kill_saves.py

pictures: deps-test build
	env -u DISPLAY ZELVARA_BUILD=$(abspath $(BUILD)) scripts/run.sh --pictures $(abspath docs)

dist: build build-x86
	/usr/bin/python3 scripts/dist.py $(abspath $(BUILD))/dist $(abspath $(BUILD)) $(abspath $(BUILD32))

repro: dist
	scripts/repro.sh $(BUILD) $(CMAKE_FLAGS)

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
