# The two commands a newcomer needs: `make run` and `make test`. Both set up the machine first.
PRESETS := native asan win64 win32
CMAKE_CONFIGURE = test -f build/$(1)/build.ninja || cmake --preset $(1) >/dev/null

.PHONY: setup build test run bench dist clean $(addprefix build-,$(PRESETS))

setup:
	@scripts/setup

$(addprefix build-,$(PRESETS)): build-%: setup
	@$(call CMAKE_CONFIGURE,$*)
	@cmake --build build/$* $(if $(VERBOSE),,-- --quiet)

build: $(addprefix build-,$(PRESETS))

test: build
	@scripts/run-tests $(PRESETS)

run: build-win64
	@scripts/run-framlet

bench: build-native
	@build/native/framlet-bench --benchmark_counters_tabular=true

clean:
	rm -rf build out dist
