# Front door: `make run` and `make test`. Everything else is CMake.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: run test build deps configure clean bench fuzz test-asan install uninstall deb test-package

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

run: configure
	@cmake --build $(BUILD) -j $(JOBS) --target sorvel
	@scripts/run.sh $(BUILD)

# `make install PREFIX=/usr DESTDIR=/tmp/pkg`: the program, help page, desktop entry and icons.
PREFIX ?= /usr/local
install: configure
	@cmake --build $(BUILD) -j $(JOBS) --target sorvel
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# Removes what the last `make install` from this build put in place (give the same DESTDIR).
uninstall:
	@DESTDIR="$(DESTDIR)" scripts/uninstall.sh $(BUILD)/install_manifest.txt

# The Debian package: build/sorvel_<version>_amd64.deb (`sudo apt install ./build/sorvel_*.deb`).
deb: deps
	@scripts/build-deb.sh $(BUILD) $(JOBS)

# Builds the package, checks it (lintian, appstreamcli, desktop-file-validate), installs it on this
# machine with apt-get (as root), starts the installed program on Xvfb and purges it again.
test-package: deps
	e2e/package.sh $(BUILD) $(JOBS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done; bench/startup.sh $(BUILD)

# Fuzzing with libFuzzer: `make fuzz FUZZ_SECONDS=300 FUZZ_RUNS=10000000` (per target; default
# 60 seconds and no limit on executions; whichever limit comes first ends a target).
FUZZ_SECONDS ?= 60
FUZZ_RUNS ?= -1
fuzz: deps
	@scripts/fuzz.sh $(FUZZ_SECONDS) "" $(FUZZ_RUNS)

# The whole test suite under AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer.
# tests/lsan.supp names the toolkit's and font libraries' own allocations, each with its reason.
test-asan: deps
	@cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DSORVEL_SANITIZE=ON -DSORVEL_BENCH=OFF >/dev/null
	@cmake --build build-asan -j $(JOBS)
	cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
		UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS) -LE e2e

clean:
	rm -rf $(BUILD) build-fuzz build-asan
