# The two commands a newcomer needs: `make run` and `make test`. Both set up the machine first.
PRESETS := native asan win64 win32 fuzz
CMAKE_CONFIGURE = test -f build/$(1)/build.ninja || cmake --preset $(1) >/dev/null

.PHONY: setup build test run bench bench-wine fuzz dist clean $(addprefix build-,$(PRESETS))

setup:
	@scripts/setup

$(addprefix build-,$(PRESETS)): build-%: setup
	@$(call CMAKE_CONFIGURE,$*)
	@cmake --build build/$* $(if $(VERBOSE),,-- --quiet)

build: $(addprefix build-,$(PRESETS))

test: build
	@scripts/run-tests $(PRESETS)

# The shipped 32-bit program; `make run PRESET=win64` runs the 64-bit build instead.
PRESET ?= win32
run: build-$(PRESET)
	@scripts/run-framlet $(PRESET)

bench: build-native
	@build/native/framlet-bench --benchmark_counters_tabular=true

# The Save and capture of the real program under Wine on a 4K screen, both Windows builds.
bench-wine: build-win64 build-win32
	@bench/wine-save build/win64 build/win32

# Every libFuzzer harness for FUZZ_SECONDS (default 60) each; `make test` runs them a few seconds.
fuzz: build-fuzz
	@scripts/fuzz

# The release: the 32-bit program (the one shipped) and the 64-bit one, each in its own zip.
dist: build-win32 build-win64
	@for preset in win32 win64; do scripts/make-dist build/$$preset $$preset dist || exit 1; done

clean:
	rm -rf build out dist
