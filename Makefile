# Front door: `make run` and `make test`. Everything else is CMake.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: run test build deps configure clean bench

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

run: build
	@scripts/run.sh $(BUILD)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done; bench/startup.sh $(BUILD)

clean:
	rm -rf $(BUILD)
