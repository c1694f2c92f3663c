# The two commands a newcomer runs: `make demo` and `make test`.
# Each installs what is missing, configures and builds.

JOBS ?= $(shell nproc 2>/dev/null || echo 2)
DEMO_DB ?= demo/demo.db

.PHONY: all deps build demo test test-dev test-asan bench clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev -j $(JOBS)

demo: build
	@scripts/demo build/dev $(DEMO_DB)

test: test-dev test-asan

test-dev: deps
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev -j $(JOBS)
	@ctest --preset dev -j $(JOBS)

test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan -j $(JOBS)
	@ctest --preset asan -j $(JOBS)

bench: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS)
	@scripts/bench build/release

clean:
	rm -rf build demo
