# The two commands a newcomer runs: `make demo` and `make test`; `make gui`
# opens the remittance screen on the demo store. Each installs what is
# missing, configures and builds.

JOBS ?= $(shell nproc 2>/dev/null || echo 2)
DEMO_DB ?= demo/demo.db
# The desktop works on a copy of the demo store, made once and kept between
# sessions, so `make demo` always starts from the store as shipped.
GUI_DB ?= demo/gui.db

.PHONY: all deps build demo gui test test-dev test-asan fuzz bench clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev -j $(JOBS)

demo: build
	@scripts/demo build/dev $(DEMO_DB)

# The remittance screen in its window (host-app loading the package), on
# the demo day and clock, as operator ANA of company 01. Without a display
# host-app describes the screen instead.
gui: build
	@mkdir -p $(dir $(DEMO_DB)) demo/relatorios demo/out
	@test -f $(DEMO_DB) || { build/dev/cli/pag00100 init --db $(DEMO_DB) --demo >/dev/null && \
	  echo "created the demo store $(DEMO_DB)"; }
	@test -f $(GUI_DB) || { cp $(DEMO_DB) $(GUI_DB) && echo "copied the demo store to $(GUI_DB)"; }
	@build/dev/package/host-app --db $(GUI_DB) --company 01 --operator ANA \
	  --clock 2026-12-06T10:00:00 --date 2026-12-06 --report-dir demo/relatorios

# The two test passes, then a short fuzz run (15 s a target, scripts/fuzz-short).
test: test-dev test-asan
	@JOBS=$(JOBS) scripts/fuzz-short 15 build/fuzz

test-dev: deps
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev -j $(JOBS)
	@ctest --preset dev -j $(JOBS)

test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan -j $(JOBS)
	@ctest --preset asan -j $(JOBS)

# A longer fuzz run: 5 minutes a target.
fuzz: deps
	@JOBS=$(JOBS) scripts/fuzz-short 300 build/fuzz

bench: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS)
	@scripts/bench build/release

clean:
	rm -rf build demo
